#include "tools/cluster_sim/node_simulator.h"

#include <ws2tcpip.h>

#include <algorithm>
#include <chrono>
#include <stdexcept>

namespace tools {

namespace {
constexpr long kPollUs = 20000;
constexpr int kLoginLimitPolls = 500;  // 10 s for the client's answers
constexpr std::size_t kLongestLine = 4096;

bool Readable(SOCKET s) {
    fd_set ready;
    FD_ZERO(&ready);
    FD_SET(s, &ready);
    timeval limit{0, kPollUs};
    return select(0, &ready, nullptr, nullptr, &limit) > 0;
}
}  // namespace

NodeSimulator::NodeSimulator(NodeStyle style, int port) : style_(std::move(style)), port_(port) {
    Listen();
    thread_ = std::thread([this] { Serve(); });
}

NodeSimulator::~NodeSimulator() {
    stopping_ = true;
    thread_.join();
    const std::lock_guard lock(mutex_);
    if (listener_ != INVALID_SOCKET) closesocket(listener_);
}

void NodeSimulator::Listen() {
    // Not inherited: the programs a test starts would keep the port open after Stop.
    const SOCKET s = WSASocketW(AF_INET, SOCK_STREAM, IPPROTO_TCP, nullptr, 0,
                                WSA_FLAG_OVERLAPPED | WSA_FLAG_NO_HANDLE_INHERIT);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<u_short>(port_));
    if (bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(s, 4) != 0) {
        const int error = WSAGetLastError();
        closesocket(s);
        throw std::runtime_error("the node simulator cannot listen on port " +
                                 std::to_string(port_) + " (Winsock error " +
                                 std::to_string(error) + ")");
    }
    // Accepting never waits: a connection aborted after select is simply not there.
    u_long nonBlocking = 1;
    ioctlsocket(s, FIONBIO, &nonBlocking);
    int size = sizeof address;
    getsockname(s, reinterpret_cast<sockaddr*>(&address), &size);
    port_ = ntohs(address.sin_port);
    const std::lock_guard lock(mutex_);
    listener_ = s;
}

void NodeSimulator::Stop() {
    // The serving thread closes the listener itself: it may be waiting on it.
    std::unique_lock lock(mutex_);
    killed_ = true;
    dropWanted_ = true;
    changed_.wait(lock, [&] { return listener_ == INVALID_SOCKET; });
}

void NodeSimulator::Start() {
    killed_ = false;
    dropWanted_ = false;
    // The port of the listener just closed may take a moment to be free again.
    for (int attempt = 1;; ++attempt) {
        try {
            Listen();
            return;
        } catch (const std::runtime_error&) {
            if (attempt == 50) throw;
            Sleep(100);
        }
    }
}

void NodeSimulator::SetStyle(const NodeStyle& style) {
    const std::lock_guard lock(mutex_);
    style_ = style;
}

std::string NodeSimulator::SpotLine(const std::string& spotter, const std::string& kHz,
                                    const std::string& call, const std::string& comment,
                                    const std::string& time) {
    // Blanks up to the column, at least one: the columns of a node, as far as the words allow.
    const auto padTo = [](std::string& line, std::size_t column) {
        line.append(line.size() + 1 < column ? column - line.size() : 1, ' ');
    };
    std::string line = "DX de " + spotter + ":";
    padTo(line, 24 - std::min<std::size_t>(kHz.size(), 23));
    line += kHz;
    padTo(line, 26);
    line += call;
    padTo(line, 39);
    line += comment;
    padTo(line, 70);
    return line + time + "Z";
}

void NodeSimulator::SendLine(const std::string& line) {
    const std::lock_guard lock(mutex_);
    outgoing_.push_back(line + (style_.bells ? "\a\a" : "") + LineEnd());
}

void NodeSimulator::SendBytes(const std::string& bytes) {
    const std::lock_guard lock(mutex_);
    outgoing_.push_back(bytes);
}

int NodeSimulator::Logins() {
    const std::lock_guard lock(mutex_);
    return logins_;
}

std::vector<std::string> NodeSimulator::Calls() {
    const std::lock_guard lock(mutex_);
    return calls_;
}

std::size_t NodeSimulator::LinesHeard() {
    const std::lock_guard lock(mutex_);
    return linesHeard_;
}

bool NodeSimulator::WaitForLogins(int count, unsigned limitMs) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(limitMs),
                             [&] { return logins_ >= count; });
}

std::string NodeSimulator::LineEnd() const {
    return style_.lfcr ? "\n\r" : "\r\n";
}

void NodeSimulator::Write(SOCKET client, const std::string& bytes) {
    send(client, bytes.data(), static_cast<int>(bytes.size()), 0);
}

void NodeSimulator::Serve() {
    while (!stopping_) {
        SOCKET listener;
        {
            const std::lock_guard lock(mutex_);
            if (killed_ && listener_ != INVALID_SOCKET) {
                closesocket(listener_);
                listener_ = INVALID_SOCKET;
                changed_.notify_all();
            }
            listener = listener_;
        }
        if (listener == INVALID_SOCKET) {
            Sleep(kPollUs / 1000);
            continue;
        }
        if (!Readable(listener)) continue;
        const SOCKET client = accept(listener, nullptr, nullptr);
        if (client == INVALID_SOCKET) continue;
        SetHandleInformation(reinterpret_cast<HANDLE>(client), HANDLE_FLAG_INHERIT, 0);
        // A client that takes no data holds up the node for a moment at most.
        u_long blocking = 0;
        ioctlsocket(client, FIONBIO, &blocking);
        const DWORD sendLimitMs = 2000;
        setsockopt(client, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&sendLimitMs),
                   sizeof sendLimitMs);
        dropWanted_ = false;
        ServeClient(client);
        if (killed_) {
            // Reset, as a killed node's system does: no TIME_WAIT keeps the port from Start.
            const linger abort{1, 0};
            setsockopt(client, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&abort),
                       sizeof abort);
        }
        closesocket(client);
    }
}

std::optional<std::string> NodeSimulator::ReadLine(SOCKET client, std::string& pending) {
    for (int polls = 0; polls < kLoginLimitPolls && !stopping_ && !dropWanted_; ++polls) {
        const std::size_t end = pending.find_first_of("\r\n");
        if (end != std::string::npos) {
            std::string line = pending.substr(0, end);
            const std::size_t next = pending.find_first_not_of("\r\n", end);
            pending.erase(0, next == std::string::npos ? pending.size() : next);
            return line;
        }
        if (!Readable(client)) continue;
        char chunk[512];
        const int got = recv(client, chunk, sizeof chunk, 0);
        if (got <= 0) return std::nullopt;
        // Telnet answers (IAC and two bytes) are no text.
        for (int i = 0; i < got; ++i) {
            if (static_cast<unsigned char>(chunk[i]) == 0xFF) {
                i += 2;
                continue;
            }
            pending += chunk[i];
        }
        if (pending.size() > kLongestLine) return std::nullopt;
    }
    return std::nullopt;
}

bool NodeSimulator::Login(SOCKET client, std::string& pending) {
    NodeStyle style;
    {
        const std::lock_guard lock(mutex_);
        style = style_;
    }
    if (style.telnet) Write(client, "\xFF\xFB\x01\xFF\xFD\x18\xFF\xFB\x03");
    Write(client, "\aWelcome to the Vantro32 test node" + LineEnd() + LineEnd() + style.prompt);
    const std::optional<std::string> call = ReadLine(client, pending);
    if (!call) return false;
    if (!style.refusal.empty()) {
        Write(client, style.refusal + LineEnd());
        return false;
    }
    if (!style.password.empty()) {
        Write(client, "password: ");
        const std::optional<std::string> password = ReadLine(client, pending);
        if (!password || *password != style.password) {
            Write(client, "Sorry, wrong password" + LineEnd());
            return false;
        }
    }
    Write(client, "Hello " + *call + ", this is SIM1 in Testland" + LineEnd());
    for (const std::string& line : style.backlog) Write(client, line + LineEnd());
    Write(client, *call + " de SIM1  7-Dec-2026 0824Z dxspider >" + LineEnd());
    {
        const std::lock_guard lock(mutex_);
        ++logins_;
        calls_.push_back(*call);
        outgoing_.clear();  // what was sent while nobody was logged in is lost, as on a node
    }
    changed_.notify_all();
    return true;
}

void NodeSimulator::ServeClient(SOCKET client) {
    std::string pending;
    if (!Login(client, pending)) return;
    while (!stopping_ && !dropWanted_) {
        std::deque<std::string> outgoing;
        {
            const std::lock_guard lock(mutex_);
            outgoing.swap(outgoing_);
        }
        if (!silent_) {
            std::string bytes;
            for (const std::string& text : outgoing) bytes += text;
            if (!bytes.empty()) Write(client, bytes);
        }
        if (!Readable(client)) continue;
        char chunk[512];
        const int got = recv(client, chunk, sizeof chunk, 0);
        if (got <= 0) return;
        pending.append(chunk, static_cast<std::size_t>(got));
        // Every line heard is answered with the prompt, as a node answers an empty line.
        for (std::size_t end; (end = pending.find("\r\n")) != std::string::npos;) {
            pending.erase(0, end + 2);
            {
                const std::lock_guard lock(mutex_);
                ++linesHeard_;
            }
            if (!silent_) Write(client, "SIM1 >" + LineEnd());
        }
        if (pending.size() > kLongestLine) return;
    }
}

}  // namespace tools
