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

bool NodeSocket::Open(const cluster::NodeAddress& node) {
    connection_.emplace("the node", node.host, node.port, kConnectLimitMs);
    return connection_->Open();
}

void NodeSocket::Close() {
    if (connection_) connection_->Close();
}

bool NodeSocket::Send(std::string_view bytes) {
    return connection_ && connection_->Send(bytes, kSendLimitMs);
}

std::optional<std::string> NodeSocket::Receive() {
    if (!connection_) return std::nullopt;
    return connection_->Receive(kReceiveWaitMs);
}

std::string NodeSocket::LastError() const {
    return connection_ ? connection_->LastError() : "not connected";
}

}  // namespace clusterbridge
