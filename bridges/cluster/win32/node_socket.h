#pragma once
// The connection to a node: a TCP connection whose every wait has a limit.
#include <optional>
#include <string>

#include "bridges/cluster/core/node_session.h"
#include "win32io/tcp_connection.h"

namespace clusterbridge {

class NodeSocket : public cluster::NodeConnection {
  public:
    bool Open(const cluster::NodeAddress& node) override;
    void Close() override;
    bool Send(std::string_view bytes) override;
    std::optional<std::string> Receive() override;
    std::string LastError() const override;

  private:
    std::optional<win32io::TcpConnection> connection_;  // to the node last opened
};

}  // namespace clusterbridge
