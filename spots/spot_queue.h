#pragma once
// The text the host sent and the intake has not yet cut into lines: a first-in, first-out queue of
// characters. Text is added only at the end and taken only from the front, and taking a line off
// the front does not copy what stays behind it.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

class SpotQueue {
public:
    void Append(std::string_view text);
    bool Empty() const { return Size() == 0; }
    std::size_t Size() const { return text_.size() - front_; }
    std::string_view View() const { return std::string_view(text_).substr(front_); }
    // Position of the first `lineEnd` in the waiting text, or npos.
    std::size_t Find(std::string_view lineEnd) const;
    // Takes the first `count` characters and the `skip` characters after them off the front.
    std::string TakeFront(std::size_t count, std::size_t skip);

private:
    std::string text_;
    std::size_t front_ = 0;  // characters before it are already taken
};
