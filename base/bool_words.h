#pragma once
// The words of an on/off value in a settings file: what reads as true, and what is written.
#include <string_view>

namespace base {

// "YES", "TRUE", "1" or "ON", in any case; anything else is false.
bool IsTrueWord(std::string_view text);

// "TRUE" or "FALSE".
constexpr const char* TrueFalseWord(bool value) {
    return value ? "TRUE" : "FALSE";
}

}  // namespace base
