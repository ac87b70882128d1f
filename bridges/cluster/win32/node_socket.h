#pragma once
// The connection to the node: a TCP connection whose every wait has a limit.
#include <string>

#include "bridges/cluster/core/node_session.h"
#include "win32io/tcp_connection.h"

namespace clusterbridge {

class NodeSocket : public cluster::NodeConnection {
  public:
    NodeSocket(const std::string& host, const std::string& port);

    bool Open() override;
    void Close() override { connection_.Close(); }
    bool Send(std::string_view bytes) override;
    std::optional<std::string> Receive() override;
    std::string LastError() const override { return connection_.LastError(); }

  private:
    win32io::TcpConnection connection_;
};

}  // namespace clusterbridge
