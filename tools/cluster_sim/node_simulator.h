#pragma once
// A telnet DX cluster node on 127.0.0.1, for the cluster bridge's tests and demo, playing one
// family of node programs (node_profiles.h): its login dialogue (telnet negotiation, prompts
// without a line end, a password, a refusal, a slow answer), the backlog sent on login, its
// prompt line and answers to commands, its form of spots, skimmer spots only for those who ask
// on the nodes that want it, and a second login with the same call taking the call from the
// first, as every node does. Several clients at once; it serves on a thread of its own, every
// wait limited, so that the caller can stop it, restart it, silence it or drop its clients at
// any moment.
#include <winsock2.h>

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <list>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "tools/cluster_sim/node_profiles.h"

namespace tools {

class NodeSimulator {
  public:
    // Listens on the port (0: any free one). Throws std::runtime_error when it cannot.
    explicit NodeSimulator(NodeStyle style, int port = 0);
    ~NodeSimulator();
    NodeSimulator(const NodeSimulator&) = delete;
    NodeSimulator& operator=(const NodeSimulator&) = delete;

    int Port() const { return port_; }
    void SetStyle(const NodeStyle& style);  // for the next logins

    // A live spot, in the style's form, to every client logged in (skimmer spots only to those
    // who asked for them, on a node that wants that).
    void SendSpot(const SimSpot& spot);
    // Sends the line (with the style's line end) to every client logged in.
    void SendLine(const std::string& line);
    // Sends the bytes as they are.
    void SendBytes(const std::string& bytes);

    // Logins so far, and the calls they gave.
    int Logins();
    std::vector<std::string> Calls();
    // Logins that lost their call to a later login with the same call.
    int Bumps();
    // Waits until `count` logins have happened (any limit, milliseconds).
    bool WaitForLogins(int count, unsigned limitMs);
    // Lines the clients sent after logging in (empty lines included), and their texts.
    std::size_t LinesHeard();
    std::vector<std::string> Heard();

    // Sends nothing more and answers nothing, until spoken to again.
    void Silence(bool silent) { silent_ = silent; }
    // Closes the clients' connections, as a node does that drops its users.
    void DropClient() { dropWanted_ = true; }
    // Stops listening and drops the clients, as a node that is killed; Start listens again on
    // the same port.
    void Stop();
    void Start();

  private:
    struct Client {
        SOCKET socket;
        enum class Stage { Call, Password, Answering, LoggedIn } stage = Stage::Call;
        std::string pending;  // received, not yet a line
        std::string call;
        bool skimmer = false;
        ULONGLONG since = 0;     // connected, for the limit on the login
        ULONGLONG answerAt = 0;  // Answering: when the node answers
        std::deque<std::string> outgoing;
        bool closing = false;
    };

    void Serve();
    void Accept(SOCKET listener);
    void Read(Client& client);
    void HandleLine(Client& client, const std::string& line);
    void Answer(Client& client);
    void Write(Client& client, const std::string& bytes);
    void Close(Client& client, bool reset);
    std::string Text(const std::string& text, const Client& client) const;
    std::string LineEnd() const;
    void Listen();

    std::mutex mutex_;
    std::condition_variable changed_;
    NodeStyle style_;
    int port_;
    SOCKET listener_ = INVALID_SOCKET;
    std::list<Client> clients_;  // the serving thread's, their outgoing under the mutex
    int logins_ = 0;
    int bumps_ = 0;
    std::vector<std::string> calls_;
    std::vector<std::string> heard_;
    std::atomic<bool> silent_{false};
    std::atomic<bool> dropWanted_{false};
    std::atomic<bool> killed_{false};
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};

}  // namespace tools
