#pragma once
// Cutting the host's text into lines: what the intake does with the text in SpotBuffer.
//
// Line positions in the buffer are 16-bit signed values, so a first line end at position 32,766
// or beyond (counted from 1) lies outside what the intake handles: a line of more than
// kLongestLine characters. Such a line is dropped when its line end is found, which costs the tick
// as an empty line does, and the text after it is taken as usual. Its text is not even kept: as
// soon as the line leads the buffer with more than kLongestLine characters and no line end, it is
// known to be too long, and only its last characters are kept, enough for the line end that ends
// it to be found beyond the limit still. So a host that never ends a line cannot make the buffer
// grow (while complete lines wait before such a line, as when the host link is down, it is kept
// whole until it leads). Every line of kLongestLine characters or fewer is taken, in order;
// nothing else is lost.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "spots/spot_queue.h"

namespace spots {

inline constexpr std::size_t kLongestLine = 32764;

// Appends text as it arrives, letting go of the front of a line already known to be too long.
void ReceiveText(SpotQueue& queue, std::string_view text, std::string_view lineEnd);

// Takes the first complete line off the front of the queue and returns it without its line end.
// Returns nothing when the queue holds no complete line, or when the line was too long and has
// been dropped.
std::optional<std::string> TakeLine(SpotQueue& queue, std::string_view lineEnd);

}  // namespace spots
