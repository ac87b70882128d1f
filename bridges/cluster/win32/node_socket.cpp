#include "bridges/cluster/win32/node_socket.h"

namespace clusterbridge {

namespace {
// A little under the five seconds Windows gives a closed console to clean up, which may have
// to wait for a connection attempt in progress.
constexpr DWORD kConnectLimitMs = 4000;
constexpr DWORD kSendLimitMs = 3000;
// Short, so that a prompt without a line end is answered soon after it comes.
constexpr DWORD kReceiveWaitMs = 100;
}  // namespace

NodeSocket::NodeSocket(const std::string& host, const std::string& port)
    : connection_("the node", host, port, kConnectLimitMs) {}

bool NodeSocket::Open() {
    return connection_.Open();
}

bool NodeSocket::Send(std::string_view bytes) {
    return connection_.Send(bytes, kSendLimitMs);
}

std::optional<std::string> NodeSocket::Receive() {
    return connection_.Receive(kReceiveWaitMs);
}

}  // namespace clusterbridge
