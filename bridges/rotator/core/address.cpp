#include "bridges/rotator/core/address.h"

#include <charconv>

namespace rotbridge {

namespace {
bool IsPort(std::string_view text) {
    int port = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), port);
    return !text.empty() && text.front() != '+' && error == std::errc() &&
           end == text.data() + text.size() && port >= 1 && port <= 65535;
}
}  // namespace

std::string RotctldAddress::Text() const {
    const bool ipv6 = host.find(':') != std::string::npos;
    return (ipv6 ? "[" + host + "]" : host) + ":" + port;
}

std::optional<RotctldAddress> ParseAddress(std::string_view text) {
    RotctldAddress address;
    std::string_view host = text;
    std::string_view port;
    if (!text.empty() && text.front() == '[') {
        const auto close = text.find(']');
        if (close == std::string_view::npos || close == 1) return std::nullopt;
        host = text.substr(1, close - 1);
        const std::string_view rest = text.substr(close + 1);
        if (!rest.empty()) {
            if (rest.front() != ':') return std::nullopt;
            port = rest.substr(1);
            if (!IsPort(port)) return std::nullopt;
        }
    } else if (const auto colon = text.rfind(':'); colon != std::string_view::npos) {
        // A bare IPv6 address has several colons and no port.
        if (text.find(':') == colon) {
            host = text.substr(0, colon);
            port = text.substr(colon + 1);
            if (!IsPort(port)) return std::nullopt;
        }
    }
    if (host.find_first_of(" \t") != std::string_view::npos) return std::nullopt;
    if (!host.empty()) address.host = std::string(host);
    if (!port.empty()) address.port = std::string(port);
    return address;
}

}  // namespace rotbridge
