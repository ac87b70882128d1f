#pragma once
// 16-bit booleans: -1 for true, 0 for false, and never any other value.
#include <cstdint>

namespace base {

using Bool16 = std::int16_t;
inline constexpr Bool16 kTrue = -1;
inline constexpr Bool16 kFalse = 0;

constexpr Bool16 ToBool16(bool value) { return value ? kTrue : kFalse; }
constexpr bool IsTrue(Bool16 value) { return value == kTrue; }
constexpr Bool16 Not(Bool16 value) { return value == kTrue ? kFalse : kTrue; }

}  // namespace base
