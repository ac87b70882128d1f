#pragma once
// The TCP connection to rotctld over Winsock. The socket is non-blocking and every wait has a
// limit, so that a rotctld that is gone, hung or unreachable costs seconds, never a hang.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <string>

#include "tools/rotctld_bridge/core/address.h"
#include "tools/rotctld_bridge/core/rotctld_connection.h"
#include "tools/rotctld_bridge/core/rotctld_protocol.h"

namespace rotbridge {

// Winsock for the life of the program.
class WinsockSession {
  public:
    WinsockSession();  // throws base::Failure
    ~WinsockSession();
    WinsockSession(const WinsockSession&) = delete;
    WinsockSession& operator=(const WinsockSession&) = delete;
};

class Socket {
  public:
    Socket() = default;
    explicit Socket(SOCKET s) : s_(s) {}
    ~Socket() { Reset(); }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;

    SOCKET Get() const { return s_; }
    bool Valid() const { return s_ != INVALID_SOCKET; }
    void Reset(SOCKET s = INVALID_SOCKET);

  private:
    SOCKET s_ = INVALID_SOCKET;
};

class WinsockConnection : public RotctldConnection {
  public:
    WinsockConnection(RotctldAddress address, DWORD connectLimitMs, DWORD answerLimitMs);

    bool Open() override;
    void Close() override;
    bool SendLine(const std::string& line) override;
    std::optional<std::string> ReadLine() override;
    std::string LastError() const override { return error_; }

  private:
    bool ConnectTo(const addrinfo& candidate);
    // Waits until the socket can be read (or written); false, with the reason, when it cannot.
    bool Wait(bool write, DWORD limitMs);
    bool Fail(const std::string& reason);

    RotctldAddress address_;
    DWORD connectLimitMs_;
    DWORD answerLimitMs_;
    Socket socket_;
    LineBuffer received_;
    std::string error_;
};

}  // namespace rotbridge
