#include "spots/spot_queue.h"

#include <algorithm>
#include <cstring>

std::size_t SpotQueue::Capacity() const {
    return blocks_.size() * kBlockSize + (spare_ ? kBlockSize : 0);
}

SpotQueue::Block SpotQueue::NewBlock() {
    if (spare_) return std::move(spare_);
    return std::make_unique_for_overwrite<char[]>(kBlockSize);
}

void SpotQueue::Append(std::string_view text) {
    while (!text.empty()) {
        const std::size_t end = head_ + size_;
        if (end == blocks_.size() * kBlockSize) blocks_.push_back(NewBlock());
        const std::size_t offset = end % kBlockSize;
        const std::size_t count = std::min(text.size(), kBlockSize - offset);
        std::memcpy(blocks_[end / kBlockSize].get() + offset, text.data(), count);
        size_ += count;
        text.remove_prefix(count);
    }
}

char SpotQueue::At(std::size_t index) const {
    const std::size_t at = head_ + index;
    return blocks_[at / kBlockSize][at % kBlockSize];
}

bool SpotQueue::MatchesAt(std::size_t index, std::string_view pattern) const {
    if (size_ - index < pattern.size()) return false;
    for (std::size_t i = 1; i < pattern.size(); ++i)
        if (At(index + i) != pattern[i]) return false;
    return true;
}

std::size_t SpotQueue::Find(std::string_view pattern) const {
    if (pattern.empty()) return std::string::npos;
    if (pattern != searched_) {
        searched_ = pattern;
        clear_ = 0;
    }
    // Block by block from where an occurrence may start: the first character is searched for at
    // once, and a match that fits in the block is compared there; only one that straddles two
    // blocks goes character by character.
    std::size_t index = clear_;  // of the first character searched in the block
    std::size_t offset = (head_ + index) % kBlockSize;
    for (auto block = blocks_.begin() + static_cast<std::ptrdiff_t>((head_ + index) / kBlockSize);
         index < size_; ++block, index += kBlockSize - offset, offset = 0) {
        const char* const begin = block->get() + offset;
        const char* const end = begin + std::min(kBlockSize - offset, size_ - index);
        for (const char* at = begin;; ++at) {
            at = static_cast<const char*>(
                std::memchr(at, pattern.front(), static_cast<std::size_t>(end - at)));
            if (!at) break;
            const std::size_t found = index + static_cast<std::size_t>(at - begin);
            const bool fits = pattern.size() <= static_cast<std::size_t>(end - at);
            if (fits ? std::memcmp(at, pattern.data(), pattern.size()) == 0
                     : MatchesAt(found, pattern)) {
                clear_ = found;
                return found;
            }
        }
    }
    // Only the last characters may still begin an occurrence, completed by text yet to come.
    clear_ = size_ - std::min(size_, pattern.size() - 1);
    return std::string::npos;
}

std::string SpotQueue::TakeFront(std::size_t count, std::size_t skip) {
    count = std::min(count, size_);
    std::string taken;
    taken.reserve(count);
    for (std::size_t index = 0; index < count;) {
        const std::size_t at = head_ + index;
        const std::size_t length = std::min(kBlockSize - at % kBlockSize, count - index);
        taken.append(blocks_[at / kBlockSize].get() + at % kBlockSize, length);
        index += length;
    }
    DropFront(count + std::min(skip, size_ - count));
    return taken;
}

void SpotQueue::DropFront(std::size_t count) {
    count = std::min(count, size_);
    head_ += count;
    size_ -= count;
    clear_ -= std::min(clear_, count);
    while (head_ >= kBlockSize) {
        spare_ = std::move(blocks_.front());
        blocks_.pop_front();
        head_ -= kBlockSize;
    }
    if (size_ == 0) head_ = 0;  // an empty queue starts its block afresh
}
