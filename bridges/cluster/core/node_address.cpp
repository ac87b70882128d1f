#include "bridges/cluster/core/node_address.h"

#include "bridges/common/setting_words.h"

namespace cluster {

std::optional<NodeAddress> ReadNodeAddress(std::string_view text) {
    const std::size_t colon = text.rfind(':');
    NodeAddress node;
    node.host = std::string(text.substr(0, colon));
    if (colon != std::string_view::npos) node.port = std::string(text.substr(colon + 1));
    if (node.host.empty() || node.host.find_first_of(" \t:") != std::string::npos ||
        !bridges::IsPortNumber(node.port))
        return std::nullopt;
    return node;
}

}  // namespace cluster
