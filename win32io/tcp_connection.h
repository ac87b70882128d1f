#pragma once
// A TCP connection over Winsock whose every wait has a limit: the socket is non-blocking, so a
// peer that is gone, hung or unreachable costs the caller a bounded time, never a hang. For a
// thread of its own (a bridge's network thread); one thread uses a connection at a time.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <optional>
#include <string>
#include <string_view>

namespace win32io {

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

class TcpConnection {
  public:
    // `peer` names the other side in the reasons of failures ("rotctld closed the connection").
    TcpConnection(std::string peer, std::string host, std::string port, DWORD connectLimitMs);

    // Connects afresh, closing any earlier connection; false, with the reason, when the peer
    // cannot be reached. The name's look-up and each of its addresses get the limit each.
    bool Open();
    void Close();
    bool Connected() const { return socket_.Valid(); }

    // Sends all the bytes; false, with the reason, when the connection is broken or the peer
    // takes no data within the limit.
    bool Send(std::string_view bytes, DWORD limitMs);
    // Waits at most the limit for what the peer sends: the bytes that came (at most a few KB),
    // an empty text when nothing came in time, nothing when the connection is broken or closed.
    std::optional<std::string> Receive(DWORD limitMs);

    // Why the last call failed, in a few words.
    const std::string& LastError() const { return error_; }

  private:
    bool ConnectTo(const addrinfo& candidate);
    enum class Ready { Yes, TimedOut, Failed };
    Ready Wait(bool write, DWORD limitMs);
    bool Fail(const std::string& reason);

    std::string peer_;
    std::string host_;
    std::string port_;
    DWORD connectLimitMs_;
    Socket socket_;
    std::string error_;
};

// "no answer within 3 s"
std::string NoAnswerWithin(DWORD limitMs);

}  // namespace win32io
