#pragma once
// The host's spot line: one line of its DX-cluster text, a row of fields separated by the byte
// 0xFF. Fields are numbered from 1; these are indexes into the split fields (from 0).
#include <cstddef>

namespace spots {

inline constexpr char kFieldSeparator = '\xFF';
inline constexpr std::size_t kFieldsInSpot = 8;  // fewer: the line is dropped; more: ignored

inline constexpr std::size_t kCallsignField = 1;
inline constexpr std::size_t kFrequencyField = 2;  // kHz, as text
inline constexpr std::size_t kListedField = 3;     // a number: kNotListed keeps the spot out
inline constexpr std::size_t kHeadingField = 5;
inline constexpr std::size_t kDistanceField = 6;
inline constexpr std::size_t kUnitsField = 7;  // exactly "0": kilometres, anything else: miles

inline constexpr double kNotListed = -32768;

}  // namespace spots
