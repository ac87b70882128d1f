#pragma once
// The text the host sent and the intake has not yet cut into lines: a first-in, first-out queue of
// characters. Text is added only at the end and taken only from the front.
//
// The text lives in blocks of fixed size. Taking text off the front only moves the front past it
// and gives back the blocks it empties, so it never copies what stays behind, however long the
// backlog; and memory follows what waits (at most one partly used block at each end).
#include <cstddef>
#include <deque>
#include <memory>
#include <string>
#include <string_view>

class SpotQueue {
  public:
    static constexpr std::size_t kBlockSize = 16 * 1024;

    void Append(std::string_view text);
    bool Empty() const { return size_ == 0; }
    std::size_t Size() const { return size_; }
    // Characters the queue has room for without asking for more memory.
    std::size_t Capacity() const;

    // Position of the first occurrence of `pattern` in the waiting text, or npos (also for an
    // empty pattern). Asked again for the same pattern, it does not search again the text that
    // it already found free of it, so a long line that arrives in many pieces is searched once.
    std::size_t Find(std::string_view pattern) const;
    // Takes the first `count` characters off the front and returns them; the `skip` characters
    // after them are dropped as well. Asking for more than waits takes what waits.
    std::string TakeFront(std::size_t count, std::size_t skip = 0);
    void DropFront(std::size_t count);

  private:
    using Block = std::unique_ptr<char[]>;

    char At(std::size_t index) const;
    bool MatchesAt(std::size_t index, std::string_view pattern) const;
    Block NewBlock();

    std::deque<Block> blocks_;
    Block spare_;           // the last block given back, kept so that a steady flow reuses it
    std::size_t head_ = 0;  // offset of the first waiting character in the first block
    std::size_t size_ = 0;  // waiting characters
    // No occurrence of `searched_` begins in the first `clear_` waiting characters.
    mutable std::string searched_;
    mutable std::size_t clear_ = 0;
};
