#pragma once
// Text from a peer, made fit for one line of the bridge's output.
#include <cstddef>
#include <string>
#include <string_view>

namespace rotbridge {

// Bytes outside printable ASCII become "\xNN"; a long text is cut and ends with "...".
std::string ShownText(std::string_view text, std::size_t limit = 24);

}  // namespace rotbridge
