#pragma once
// Text helpers shared by the whole program. Text is 8-bit; byte 0xFF is an ordinary character.
// Letters and digits are the ASCII ones: peers' names, calls, keys and words of protocols are
// ASCII, and bytes 0x80 to 0xFF are never changed or taken for letters.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace base {

// Removes the space character (only ' ', not tabs or other white space) at both ends.
std::string TrimSpaces(std::string_view text);

// Without the blanks and tabs at both ends: a view into the same text (an all-blank text gives
// the empty view at its end).
std::string_view TrimBlanks(std::string_view text);

// Plain decimal text of a whole number: optional '-', digits, no leading zeros, blanks or
// separators.
std::string DecimalText(std::int64_t value);

constexpr bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
constexpr bool IsLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
constexpr bool IsLetterOrDigit(char c) {
    return IsLetter(c) || IsDigit(c);
}
constexpr char UpperCase(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}
constexpr char LowerCase(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string Upper(std::string_view text);
std::string Lower(std::string_view text);
// Equal but for the case of letters.
bool SameNoCase(std::string_view a, std::string_view b);
bool EndsWithNoCase(std::string_view text, std::string_view ending);

// The text between double quotes: "\"text\"".
std::string Quoted(std::string_view text);

// A span of time in whole seconds, rounded: "3 s", "180 s".
std::string SecondsText(std::chrono::duration<double> span);

// The text as it is when it has at most `limit` bytes; otherwise its first `limit` bytes and
// "...".
std::string Shortened(std::string_view text, std::size_t limit);

// Text from a peer made fit for one line of output: bytes outside printable ASCII become "\xNN",
// and a text longer than `limit` bytes is shortened.
std::string ShownText(std::string_view text, std::size_t limit = 24);

}  // namespace base
