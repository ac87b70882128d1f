#pragma once
// The connection to rotctld: lines over a TCP connection whose every wait has a limit.
#include <optional>
#include <string>

#include "bridges/rotator/core/address.h"
#include "bridges/rotator/core/rotctld_connection.h"
#include "bridges/rotator/core/rotctld_protocol.h"
#include "win32io/tcp_connection.h"

namespace rotbridge {

class RotctldSocket : public RotctldConnection {
  public:
    RotctldSocket(const RotctldAddress& address, DWORD connectLimitMs, DWORD answerLimitMs);

    bool Open() override;
    void Close() override;
    bool SendLine(const std::string& line) override;
    std::optional<std::string> ReadLine() override;
    std::string LastError() const override { return error_; }

  private:
    bool Fail(const std::string& reason);

    win32io::TcpConnection connection_;
    DWORD answerLimitMs_;
    LineBuffer received_;
    std::string error_;
};

}  // namespace rotbridge
