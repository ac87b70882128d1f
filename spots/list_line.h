#pragma once
// A line of the station list: four columns side by side, 32 characters in all, shown in a
// fixed-pitch font under the column captions. The rotator command reads the heading back out of
// characters 21 to 25.
//
//   characters  content    alignment  a longer text shows
//   1 to 10     callsign   left       its first 10 characters
//   11 to 20    frequency  right      its last 10
//   21 to 25    heading    right      its last 5
//   26 to 32    distance   right      its last 7
#include <cstddef>
#include <string>
#include <string_view>

namespace spots {

inline constexpr std::size_t kListLineLength = 32;

std::string ListLine(std::string_view callsign, std::string_view frequency,
                     std::string_view heading, std::string_view distance);

}  // namespace spots
