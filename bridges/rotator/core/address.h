#pragma once
// Where rotctld listens, as given on the bridge's command line: "host", "host:port",
// "[IPv6 address]:port" or ":port". Missing parts default to 127.0.0.1 and 4533.
#include <optional>
#include <string>
#include <string_view>

namespace rotbridge {

struct RotctldAddress {
    std::string host = "127.0.0.1";
    std::string port = "4533";

    // "127.0.0.1:4533", "[::1]:4533"
    std::string Text() const;
};

// Nothing when the text is not an address (a port that is no number from 1 to 65535, an
// unclosed bracket, an empty host in brackets).
std::optional<RotctldAddress> ParseAddress(std::string_view text);

}  // namespace rotbridge
