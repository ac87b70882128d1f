#pragma once
// Where a node is: its host and its telnet port.
#include <optional>
#include <string>
#include <string_view>

namespace cluster {

inline constexpr const char* kDefaultNodePort = "7300";

struct NodeAddress {
    std::string host;
    std::string port = kDefaultNodePort;

    // "dxc.example.org:7300"
    std::string Text() const { return host + ":" + port; }
    friend bool operator==(const NodeAddress&, const NodeAddress&) = default;
};

// "host:port", or "host" for the default port; nothing when the text is neither (blanks in the
// host, a port that is not 1 to 65535).
std::optional<NodeAddress> ReadNodeAddress(std::string_view text);

}  // namespace cluster
