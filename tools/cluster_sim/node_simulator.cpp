#include "tools/cluster_sim/node_simulator.h"

#include <ws2tcpip.h>

#include <algorithm>
#include <chrono>
#include <stdexcept>

namespace tools {

namespace {
constexpr long kPollUs = 20000;
constexpr ULONGLONG kLoginLimitMs = 10000;  // for the client's answers
constexpr std::size_t kLongestLine = 4096;

std::string Replaced(std::string text, const std::string& what, const std::string& with) {
    for (std::size_t at = 0; (at = text.find(what, at)) != std::string::npos; at += with.size())
        text.replace(at, what.size(), with);
    return text;
}

std::string Lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
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
    for (Client& client : clients_) closesocket(client.socket);
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

void NodeSimulator::SendSpot(const SimSpot& spot) {
    const std::lock_guard lock(mutex_);
    const std::string line =
        SpotLine(style_.spotForm, spot) + (style_.bells ? "\a\a" : "") + LineEnd();
    const bool skimmer = spot.spotter.ends_with("-#");
    for (Client& client : clients_)
        if (client.stage == Client::Stage::LoggedIn &&
            (!skimmer || !style_.skimmerNeedsSet || client.skimmer))
            client.outgoing.push_back(line);
}

void NodeSimulator::SendLine(const std::string& line) {
    const std::lock_guard lock(mutex_);
    for (Client& client : clients_)
        if (client.stage == Client::Stage::LoggedIn)
            client.outgoing.push_back(line + (style_.bells ? "\a\a" : "") + LineEnd());
}

void NodeSimulator::SendBytes(const std::string& bytes) {
    const std::lock_guard lock(mutex_);
    for (Client& client : clients_)
        if (client.stage == Client::Stage::LoggedIn) client.outgoing.push_back(bytes);
}

int NodeSimulator::Logins() {
    const std::lock_guard lock(mutex_);
    return logins_;
}

std::vector<std::string> NodeSimulator::Calls() {
    const std::lock_guard lock(mutex_);
    return calls_;
}

int NodeSimulator::Bumps() {
    const std::lock_guard lock(mutex_);
    return bumps_;
}

std::size_t NodeSimulator::LinesHeard() {
    const std::lock_guard lock(mutex_);
    return heard_.size();
}

std::vector<std::string> NodeSimulator::Heard() {
    const std::lock_guard lock(mutex_);
    return heard_;
}

bool NodeSimulator::WaitForLogins(int count, unsigned limitMs) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(limitMs),
                             [&] { return logins_ >= count; });
}

std::string NodeSimulator::LineEnd() const {
    return style_.lfcr ? "\n\r" : "\r\n";
}

std::string NodeSimulator::Text(const std::string& text, const Client& client) const {
    return Replaced(text, "%CALL%", client.call);
}

void NodeSimulator::Write(Client& client, const std::string& bytes) {
    if (!client.closing) send(client.socket, bytes.data(), static_cast<int>(bytes.size()), 0);
}

void NodeSimulator::Close(Client& client, bool reset) {
    if (reset) {
        // As a killed node's system does: no TIME_WAIT keeps the port from Start.
        const linger abort{1, 0};
        setsockopt(client.socket, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&abort),
                   sizeof abort);
    }
    client.closing = true;
}

void NodeSimulator::Serve() {
    while (!stopping_) {
        fd_set ready;
        FD_ZERO(&ready);
        {
            std::unique_lock lock(mutex_);
            if (killed_ && listener_ != INVALID_SOCKET) {
                closesocket(listener_);
                listener_ = INVALID_SOCKET;
                for (Client& client : clients_) Close(client, true);
                changed_.notify_all();
            }
            if (dropWanted_.exchange(false))
                for (Client& client : clients_) Close(client, false);
            // Those closed go; the others' due answers and what waits for them go out.
            for (auto it = clients_.begin(); it != clients_.end();) {
                if (!it->closing && it->stage != Client::Stage::LoggedIn &&
                    GetTickCount64() - it->since > kLoginLimitMs)
                    it->closing = true;
                if (it->closing) {
                    closesocket(it->socket);
                    it = clients_.erase(it);
                    continue;
                }
                if (it->stage == Client::Stage::Answering && GetTickCount64() >= it->answerAt)
                    Answer(*it);
                if (!silent_ && !it->outgoing.empty()) {
                    std::string bytes;
                    for (const std::string& text : it->outgoing) bytes += text;
                    it->outgoing.clear();
                    lock.unlock();
                    Write(*it, bytes);
                    lock.lock();
                }
                FD_SET(it->socket, &ready);
                ++it;
            }
            if (listener_ != INVALID_SOCKET) FD_SET(listener_, &ready);
        }
        if (ready.fd_count == 0) {
            Sleep(kPollUs / 1000);
            continue;
        }
        timeval limit{0, kPollUs};
        if (select(0, &ready, nullptr, nullptr, &limit) <= 0) continue;
        const std::lock_guard lock(mutex_);
        if (listener_ != INVALID_SOCKET && FD_ISSET(listener_, &ready)) Accept(listener_);
        for (Client& client : clients_)
            if (!client.closing && FD_ISSET(client.socket, &ready)) Read(client);
    }
}

void NodeSimulator::Accept(SOCKET listener) {
    const SOCKET s = accept(listener, nullptr, nullptr);
    if (s == INVALID_SOCKET) return;
    SetHandleInformation(reinterpret_cast<HANDLE>(s), HANDLE_FLAG_INHERIT, 0);
    // A client that takes no data holds up the node for a moment at most.
    u_long blocking = 0;
    ioctlsocket(s, FIONBIO, &blocking);
    const DWORD sendLimitMs = 2000;
    setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&sendLimitMs),
               sizeof sendLimitMs);
    Client& client = clients_.emplace_back();
    client.socket = s;
    client.since = GetTickCount64();
    if (style_.telnet) Write(client, "\xFF\xFB\x01\xFF\xFD\x18\xFF\xFB\x03");
    Write(client, Replaced(style_.greeting, "\r\n", LineEnd()) + style_.prompt);
}

void NodeSimulator::Read(Client& client) {
    char chunk[512];
    const int got = recv(client.socket, chunk, sizeof chunk, 0);
    if (got <= 0) {
        client.closing = true;
        return;
    }
    // Telnet answers (IAC and two bytes) are no text.
    for (int i = 0; i < got; ++i) {
        if (static_cast<unsigned char>(chunk[i]) == 0xFF) {
            i += 2;
            continue;
        }
        client.pending += chunk[i];
    }
    for (std::size_t end;
         !client.closing && (end = client.pending.find_first_of("\r\n")) != std::string::npos;) {
        const std::string line = client.pending.substr(0, end);
        // CR LF is one line end; so is a lone CR or LF.
        client.pending.erase(0, end + (client.pending.compare(end, 2, "\r\n") == 0 ? 2 : 1));
        HandleLine(client, line);
    }
    if (client.pending.size() > kLongestLine) client.closing = true;
}

void NodeSimulator::HandleLine(Client& client, const std::string& line) {
    switch (client.stage) {
        case Client::Stage::Call:
            if (line.empty()) return;  // the rest of a line end
            client.call = line;
            if (!style_.refusal.empty() ||
                (style_.refusesSlash && line.find('/') != std::string::npos)) {
                Write(client, (style_.refusal.empty() ? "Sorry " + line + " is an invalid callsign"
                                                      : style_.refusal) +
                                  LineEnd());
                Close(client, false);
                return;
            }
            if (!style_.password.empty()) {
                Write(client, "password: ");
                client.stage = Client::Stage::Password;
                return;
            }
            client.stage = Client::Stage::Answering;
            client.answerAt = GetTickCount64() + style_.answerDelayMs;
            return;
        case Client::Stage::Password:
            if (line != style_.password) {
                Write(client, "Sorry, wrong password" + LineEnd());
                Close(client, false);
                return;
            }
            client.stage = Client::Stage::Answering;
            client.answerAt = GetTickCount64() + style_.answerDelayMs;
            return;
        case Client::Stage::Answering:
            return;  // typed ahead: lost, as on a node that has not read it
        case Client::Stage::LoggedIn:
            break;
    }
    heard_.push_back(line);
    if (silent_) return;
    const std::string command = Lower(line);
    if (command == "bye") {
        Close(client, false);
        return;
    }
    std::string answer;
    if (command.starts_with("set/skim")) {
        client.skimmer = true;
        answer = Text(style_.skimmerSet, client) + LineEnd();
    } else if (command.starts_with("set/noskim")) {
        client.skimmer = false;
    } else if (command == "set/nobeep") {
        answer = "Beeps are now off" + LineEnd();
    }
    if (style_.answersCommands && !style_.promptLine.empty())
        answer += Text(style_.promptLine, client) + LineEnd();
    client.outgoing.push_back(answer);
}

void NodeSimulator::Answer(Client& client) {
    // Every node gives the call to the newest login: the older one is told and dropped.
    for (Client& other : clients_) {
        if (&other == &client || other.closing || other.stage != Client::Stage::LoggedIn ||
            other.call != client.call)
            continue;
        Write(other, "Reconnected as " + other.call +
                         " at 127.0.0.1, this instance is disconnected" + LineEnd());
        Close(other, false);
        ++bumps_;
    }
    std::string bytes;
    for (const std::string& line : style_.welcome) bytes += Text(line, client) + LineEnd();
    for (const std::string& line : style_.backlog) bytes += line + LineEnd();
    if (!style_.promptLine.empty()) bytes += Text(style_.promptLine, client) + LineEnd();
    Write(client, bytes);
    client.stage = Client::Stage::LoggedIn;
    ++logins_;
    calls_.push_back(client.call);
    changed_.notify_all();
}

}  // namespace tools
