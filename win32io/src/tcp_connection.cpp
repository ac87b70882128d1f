#include "win32io/tcp_connection.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "base/failure.h"

namespace win32io {

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

int SocketError(SOCKET s) {
    int code = 0;
    int size = sizeof code;
    getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&code), &size);
    return code;
}
// The addresses of a name: what getaddrinfo found, freed with the last owner.
struct Resolution {
    int code = 0;
    addrinfo* list = nullptr;

    ~Resolution() {
        if (list) freeaddrinfo(list);
    }
};

// getaddrinfo has no limit of its own (a name server that does not answer holds it for long), so
// it runs on a thread of its own, which is left to end by itself when it takes longer than the
// limit. Nothing when the limit passes first.
std::shared_ptr<const Resolution> Resolve(const std::string& host, const std::string& port,
                                          DWORD limitMs) {
    struct Shared {
        std::mutex mutex;
        std::condition_variable done;
        std::shared_ptr<Resolution> result;
    };
    const auto shared = std::make_shared<Shared>();
    std::thread([shared, host, port] {
        addrinfo hints{};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_STREAM;
        hints.ai_protocol = IPPROTO_TCP;
        auto result = std::make_shared<Resolution>();
        result->code = getaddrinfo(host.c_str(), port.c_str(), &hints, &result->list);
        const std::lock_guard lock(shared->mutex);
        shared->result = std::move(result);
        shared->done.notify_one();
    }).detach();
    std::unique_lock lock(shared->mutex);
    shared->done.wait_for(lock, std::chrono::milliseconds(limitMs),
                          [&] { return shared->result != nullptr; });
    return shared->result;
}
}  // namespace

std::string NoAnswerWithin(DWORD limitMs) {
    return "no answer within " + std::to_string((limitMs + 500) / 1000) + " s";
}

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

TcpConnection::TcpConnection(std::string peer, std::string host, std::string port,
                             DWORD connectLimitMs)
    : peer_(std::move(peer)),
      host_(std::move(host)),
      port_(std::move(port)),
      connectLimitMs_(connectLimitMs) {}

bool TcpConnection::Fail(const std::string& reason) {
    error_ = reason;
    return false;
}

bool TcpConnection::Open() {
    Close();
    const std::shared_ptr<const Resolution> addresses = Resolve(host_, port_, connectLimitMs_);
    if (!addresses)
        return Fail("the name " + host_ + " is not resolved within " +
                    std::to_string((connectLimitMs_ + 500) / 1000) + " s");
    if (addresses->code != 0) return Fail(WinsockErrorText(addresses->code));
    for (const addrinfo* candidate = addresses->list; candidate; candidate = candidate->ai_next)
        if (ConnectTo(*candidate)) return true;
    Close();
    return false;
}

bool TcpConnection::ConnectTo(const addrinfo& candidate) {
    socket_.Reset(socket(candidate.ai_family, candidate.ai_socktype, candidate.ai_protocol));
    if (!socket_.Valid()) return Fail(WinsockErrorText(WSAGetLastError()));
    u_long nonBlocking = 1;
    ioctlsocket(socket_.Get(), FIONBIO, &nonBlocking);
    const BOOL noDelay = TRUE;  // short commands and answers: send each at once
    setsockopt(socket_.Get(), IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay),
               sizeof noDelay);
    if (connect(socket_.Get(), candidate.ai_addr, static_cast<int>(candidate.ai_addrlen)) == 0)
        return true;
    if (WSAGetLastError() != WSAEWOULDBLOCK) return Fail(WinsockErrorText(WSAGetLastError()));
    if (Wait(true, connectLimitMs_) != Ready::Yes) return false;
    const int code = SocketError(socket_.Get());
    return code == 0 || Fail(WinsockErrorText(code));
}

void TcpConnection::Close() {
    socket_.Reset();
}

TcpConnection::Ready TcpConnection::Wait(bool write, DWORD limitMs) {
    fd_set ready;
    fd_set failed;
    FD_ZERO(&ready);
    FD_ZERO(&failed);
    FD_SET(socket_.Get(), &ready);
    FD_SET(socket_.Get(), &failed);
    timeval limit{static_cast<long>(limitMs / 1000), static_cast<long>(limitMs % 1000 * 1000)};
    const int count =
        select(0, write ? nullptr : &ready, write ? &ready : nullptr, &failed, &limit);
    if (count == 0) {
        Fail(NoAnswerWithin(limitMs));
        return Ready::TimedOut;
    }
    if (count < 0) {
        Fail(WinsockErrorText(WSAGetLastError()));
        return Ready::Failed;
    }
    if (FD_ISSET(socket_.Get(), &failed)) {
        const int code = SocketError(socket_.Get());
        Fail(WinsockErrorText(code != 0 ? code : WSAECONNRESET));
        return Ready::Failed;
    }
    return Ready::Yes;
}

bool TcpConnection::Send(std::string_view bytes, DWORD limitMs) {
    if (!socket_.Valid()) return Fail("not connected");
    std::size_t done = 0;
    while (done < bytes.size()) {
        const int sent =
            send(socket_.Get(), bytes.data() + done, static_cast<int>(bytes.size() - done), 0);
        if (sent > 0) {
            done += static_cast<std::size_t>(sent);
        } else if (WSAGetLastError() != WSAEWOULDBLOCK) {
            return Fail(WinsockErrorText(WSAGetLastError()));
        } else if (Wait(true, limitMs) != Ready::Yes) {
            return false;
        }
    }
    return true;
}

std::optional<std::string> TcpConnection::Receive(DWORD limitMs) {
    if (!socket_.Valid()) {
        Fail("not connected");
        return std::nullopt;
    }
    switch (Wait(false, limitMs)) {
        case Ready::TimedOut:
            return std::string();
        case Ready::Failed:
            return std::nullopt;
        case Ready::Yes:
            break;
    }
    char chunk[4096];
    const int got = recv(socket_.Get(), chunk, sizeof chunk, 0);
    if (got > 0) return std::string(chunk, static_cast<std::size_t>(got));
    if (got == 0) {
        Fail(peer_ + " closed the connection");
        return std::nullopt;
    }
    if (WSAGetLastError() == WSAEWOULDBLOCK) return std::string();
    Fail(WinsockErrorText(WSAGetLastError()));
    return std::nullopt;
}

}  // namespace win32io
