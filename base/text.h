#pragma once
// Text helpers shared by the whole program. Text is 8-bit; byte 0xFF is an ordinary character.
#include <cstdint>
#include <string>
#include <string_view>

namespace base {

// Removes the space character (only ' ', not tabs or other white space) at both ends.
std::string TrimSpaces(std::string_view text);

// Plain decimal text of a whole number: optional '-', digits, no leading zeros, blanks or
// separators.
std::string DecimalText(std::int64_t value);

}  // namespace base
