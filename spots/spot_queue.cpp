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
    std::size_t index = 0;
    while (index < size_) {
        // The rest of the block holding `index`: searched for the first character at once.
        const std::size_t at = head_ + index;
        const char* const span = blocks_[at / kBlockSize].get() + at % kBlockSize;
        const std::size_t length = std::min(kBlockSize - at % kBlockSize, size_ - index);
        const void* hit = std::memchr(span, pattern.front(), length);
        if (!hit) {
            index += length;
            continue;
        }
        index += static_cast<std::size_t>(static_cast<const char*>(hit) - span);
        if (MatchesAt(index, pattern)) return index;
        ++index;
    }
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
    while (head_ >= kBlockSize) {
        spare_ = std::move(blocks_.front());
        blocks_.pop_front();
        head_ -= kBlockSize;
    }
    if (size_ == 0) head_ = 0;  // an empty queue starts its block afresh
}
