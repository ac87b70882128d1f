#pragma once
// A telnet DX cluster node on 127.0.0.1, for the cluster bridge's tests and demo: the login
// dialogue in the variants real nodes have (telnet negotiation, a prompt without a line end, a
// password, LF CR line ends, BELs, a refused login), the backlog sent on login, the node's
// prompt line, and spots sent when asked. One client at a time; it serves on a thread of its
// own, every wait limited, so that the caller can stop it, restart it, silence it or drop its
// client at any moment.
#include <winsock2.h>

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace tools {

struct NodeStyle {
    bool telnet = true;              // asks WILL ECHO, DO TTYPE, WILL SGA first
    bool bells = false;              // two BELs before each spot's line end, as nodes beep
    bool lfcr = false;               // lines end in LF CR instead of CR LF
    std::string prompt = "login: ";  // the login prompt, sent without a line end
    std::string password;            // asked for after the call when not empty
    std::string refusal;  // when not empty: this line after the call, and the connection closed
    std::vector<std::string> backlog;  // lines sent on login, before the node's prompt line
};

class NodeSimulator {
  public:
    // Listens on the port (0: any free one). Throws std::runtime_error when it cannot.
    explicit NodeSimulator(NodeStyle style, int port = 0);
    ~NodeSimulator();
    NodeSimulator(const NodeSimulator&) = delete;
    NodeSimulator& operator=(const NodeSimulator&) = delete;

    int Port() const { return port_; }
    void SetStyle(const NodeStyle& style);  // for the next logins

    // A live spot line: "DX de SPOTTER:  FREQ  CALL  COMMENT  TIMEZ".
    static std::string SpotLine(const std::string& spotter, const std::string& kHz,
                                const std::string& call, const std::string& comment,
                                const std::string& time);

    // Sends the line (with the style's line end) to the logged-in client; dropped when none.
    void SendLine(const std::string& line);
    // Sends the bytes as they are.
    void SendBytes(const std::string& bytes);
    // Logins so far, and the calls they gave.
    int Logins();
    std::vector<std::string> Calls();
    // Waits until `count` logins have happened (any limit, milliseconds).
    bool WaitForLogins(int count, unsigned limitMs);
    // Lines the clients sent after logging in (empty lines included).
    std::size_t LinesHeard();

    // Sends nothing more and answers nothing, until spoken to again.
    void Silence(bool silent) { silent_ = silent; }
    // Closes the client's connection, as a node does that drops a user.
    void DropClient() { dropWanted_ = true; }
    // Stops listening and drops the client, as a node that is killed; Start listens again on
    // the same port.
    void Stop();
    void Start();

  private:
    void Serve();
    void ServeClient(SOCKET client);
    bool Login(SOCKET client, std::string& pending);
    std::optional<std::string> ReadLine(SOCKET client, std::string& pending);
    void Write(SOCKET client, const std::string& bytes);
    std::string LineEnd() const;
    void Listen();

    std::mutex mutex_;
    std::condition_variable changed_;
    NodeStyle style_;
    int port_;
    SOCKET listener_ = INVALID_SOCKET;
    std::deque<std::string> outgoing_;
    int logins_ = 0;
    std::vector<std::string> calls_;
    std::size_t linesHeard_ = 0;
    std::atomic<bool> silent_{false};
    std::atomic<bool> dropWanted_{false};
    std::atomic<bool> killed_{false};
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};

}  // namespace tools
