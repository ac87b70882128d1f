#include "tools/rotctld_bridge/winsock_connection.h"


#include <memory>

#include "base/failure.h"

namespace rotbridge {

namespace {
std::string WinsockErrorText(int code) {
    switch (code) {
        case WSAECONNREFUSED:
            return "connection refused";
        case WSAECONNRESET:
        case WSAECONNABORTED:
            return "connection reset";
        case WSAETIMEDOUT:
            return "timed out";
        case WSAEHOSTUNREACH:
            return "host unreachable";
        case WSAENETUNREACH:
            return "network unreachable";
        case WSAHOST_NOT_FOUND:
        case WSANO_DATA:
            return "unknown host";
        default:
            return "Winsock error " + std::to_string(code);
    }
}

std::string Seconds(DWORD ms) {
    return std::to_string((ms + 500) / 1000) + " s";
}
}  // namespace

WinsockSession::WinsockSession() {
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) throw base::Failure("Winsock cannot start");
}

WinsockSession::~WinsockSession() {
    WSACleanup();
}

void Socket::Reset(SOCKET s) {
    if (s_ != INVALID_SOCKET) closesocket(s_);
    s_ = s;
}

WinsockConnection::WinsockConnection(RotctldAddress address, DWORD connectLimitMs,
                                     DWORD answerLimitMs)
    : address_(std::move(address)),
      connectLimitMs_(connectLimitMs),
      answerLimitMs_(answerLimitMs) {}

bool WinsockConnection::Fail(const std::string& reason) {
    error_ = reason;
    return false;
}

bool WinsockConnection::Open() {
    Close();
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* found = nullptr;
    if (const int code = getaddrinfo(address_.host.c_str(), address_.port.c_str(), &hints, &found))
        return Fail(WinsockErrorText(code));
    const std::unique_ptr<addrinfo, decltype(&freeaddrinfo)> list(found, &freeaddrinfo);
    for (const addrinfo* candidate = found; candidate; candidate = candidate->ai_next)
        if (ConnectTo(*candidate)) return true;
    Close();
    return false;
}

bool WinsockConnection::ConnectTo(const addrinfo& candidate) {
    socket_.Reset(socket(candidate.ai_family, candidate.ai_socktype, candidate.ai_protocol));
    if (!socket_.Valid()) return Fail(WinsockErrorText(WSAGetLastError()));
    u_long nonBlocking = 1;
    ioctlsocket(socket_.Get(), FIONBIO, &nonBlocking);
    const BOOL noDelay = TRUE;  // one short command at a time: send it now
    setsockopt(socket_.Get(), IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay),
               sizeof noDelay);
    if (connect(socket_.Get(), candidate.ai_addr, static_cast<int>(candidate.ai_addrlen)) == 0)
        return true;
    if (WSAGetLastError() != WSAEWOULDBLOCK) return Fail(WinsockErrorText(WSAGetLastError()));
    if (!Wait(true, connectLimitMs_)) return false;
    int code = 0;
    int size = sizeof code;
    getsockopt(socket_.Get(), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&code), &size);
    return code == 0 || Fail(WinsockErrorText(code));
}

void WinsockConnection::Close() {
    socket_.Reset();
    received_.Clear();
}

bool WinsockConnection::Wait(bool write, DWORD limitMs) {
    fd_set ready;
    fd_set failed;
    FD_ZERO(&ready);
    FD_ZERO(&failed);
    FD_SET(socket_.Get(), &ready);
    FD_SET(socket_.Get(), &failed);
    timeval limit{static_cast<long>(limitMs / 1000), static_cast<long>(limitMs % 1000 * 1000)};
    const int count =
        select(0, write ? nullptr : &ready, write ? &ready : nullptr, &failed, &limit);
    if (count == 0) return Fail("no answer within " + Seconds(limitMs));
    if (count < 0) return Fail(WinsockErrorText(WSAGetLastError()));
    if (FD_ISSET(socket_.Get(), &failed)) {
        int code = 0;
        int size = sizeof code;
        getsockopt(socket_.Get(), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&code), &size);
        return Fail(WinsockErrorText(code != 0 ? code : WSAECONNRESET));
    }
    return true;
}

bool WinsockConnection::SendLine(const std::string& line) {
    if (!socket_.Valid()) return Fail("not connected");
    const std::string data = line + "\n";
    std::size_t done = 0;
    while (done < data.size()) {
        const int sent =
            send(socket_.Get(), data.data() + done, static_cast<int>(data.size() - done), 0);
        if (sent > 0) {
            done += static_cast<std::size_t>(sent);
        } else if (WSAGetLastError() != WSAEWOULDBLOCK) {
            return Fail(WinsockErrorText(WSAGetLastError()));
        } else if (!Wait(true, answerLimitMs_)) {
            return false;
        }
    }
    return true;
}

std::optional<std::string> WinsockConnection::ReadLine() {
    if (!socket_.Valid()) {
        Fail("not connected");
        return std::nullopt;
    }
    const ULONGLONG deadline = GetTickCount64() + answerLimitMs_;
    for (;;) {
        if (auto line = received_.TakeLine()) return line;
        if (received_.Overflowed()) {
            Fail("an over-long answer line");
            return std::nullopt;
        }
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline || !Wait(false, static_cast<DWORD>(deadline - now))) {
            if (GetTickCount64() >= deadline) Fail("no answer within " + Seconds(answerLimitMs_));
            return std::nullopt;
        }
        char chunk[512];
        const int got = recv(socket_.Get(), chunk, sizeof chunk, 0);
        if (got > 0) {
            received_.Append(std::string_view(chunk, static_cast<std::size_t>(got)));
        } else if (got == 0) {
            Fail("rotctld closed the connection");
            return std::nullopt;
        } else if (WSAGetLastError() != WSAEWOULDBLOCK) {
            Fail(WinsockErrorText(WSAGetLastError()));
            return std::nullopt;
        }
    }
}

}  // namespace rotbridge
