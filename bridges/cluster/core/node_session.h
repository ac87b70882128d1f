#pragma once
// The bridge's side of a telnet DX cluster node: connecting, the login dialogue, the spots, and
// reconnecting with a growing pause. One thread calls it; each call may wait on the node for as
// long as the connection's limits allow, never longer.
//
// The login: a prompt that ends in ": " comes without a line end, so a partial line that reads as
// a login or password prompt is answered once the node has been quiet for a moment. After the
// call (and the password, when the node asks for one) the node's prompt line ("CALL de NODE ...
// >") says the login is done; spots before it are the node's backlog and are never published.
// A node that says nothing of the kind is taken at its word after a while. A node that refuses a
// login says why and closes the connection: the bridge names that line, and says the same problem
// only once until it is logged in again. (A greeting line that merely sounds like a refusal ends
// nothing.)
#include <optional>
#include <string>
#include <string_view>

#include "bridges/cluster/core/clock.h"
#include "bridges/cluster/core/cluster_line.h"
#include "bridges/cluster/core/line_reader.h"

namespace cluster {

// One TCP connection to the node. Every call returns within a bounded time.
class NodeConnection {
  public:
    virtual ~NodeConnection() = default;

    // Connects afresh; false when the node cannot be reached.
    virtual bool Open() = 0;
    virtual void Close() = 0;
    // False when the connection is broken.
    virtual bool Send(std::string_view bytes) = 0;
    // What the node sent within a short wait: an empty text when nothing came, nothing when the
    // connection is closed or broken.
    virtual std::optional<std::string> Receive() = 0;
    // Why the last call failed, in a few words.
    virtual std::string LastError() const = 0;
};

enum class SessionState { Connecting, LoggingIn, Online, Waiting };

// Where the session's results go; called on its thread.
class SessionOutput {
  public:
    virtual ~SessionOutput() = default;
    virtual void Say(const std::string& line) = 0;
    virtual void State(SessionState state) = 0;
    virtual void LiveSpot(const Spot& spot) = 0;
    virtual void BacklogSpot() = 0;
};

struct SessionTimes {
    Clock::duration promptQuiet = std::chrono::milliseconds(300);
    Clock::duration loginWait = std::chrono::seconds(15);    // no prompt: the call is sent anyway
    Clock::duration confirmWait = std::chrono::seconds(15);  // no node prompt: logged in anyway
    // Nothing sent this long: an empty line, for nodes that drop a silent client. A node that
    // says nothing for three times this long is taken as gone.
    Clock::duration keepAlive = std::chrono::minutes(2);
    Clock::duration firstPause = std::chrono::seconds(3);  // doubled after each failed attempt
    Clock::duration longestPause = std::chrono::seconds(60);
};

struct Login {
    std::string callsign;
    std::string password;  // empty: none
};

class NodeSession {
  public:
    // `where` names the node in messages ("dxc.example.org:7300").
    NodeSession(NodeConnection& connection, SessionOutput& output, std::string where, Login login,
                SessionTimes times = {});

    // Does what is due; returns the time it wants to be called again.
    Clock::time_point Step(Clock::time_point now);
    void Stop() { connection_.Close(); }

  private:
    enum class Phase { Down, AwaitingPrompt, AwaitingWelcome, Online };

    void Connect(Clock::time_point now);
    void Drop(Clock::time_point now, const std::string& problem);
    void HandleLine(std::string_view text, Clock::time_point now);
    void HandleLoginLine(std::string_view text, const ClusterLine& line, Clock::time_point now);
    void CheckTimes(Clock::time_point now);
    void SendLine(const std::string& text, Clock::time_point now);
    void SendCall(Clock::time_point now);
    void GoOnline(Clock::time_point now);
    bool IsPrompt(std::string_view text) const;

    NodeConnection& connection_;
    SessionOutput& output_;
    std::string where_;
    Login login_;
    SessionTimes times_;

    Phase phase_ = Phase::Down;
    LineReader reader_;
    Clock::time_point nextAttempt_{};
    Clock::duration pause_;
    std::string lastProblem_;  // said once until the next login
    std::string refusal_;      // the last line of this login that sounded like a refusal
    Clock::time_point phaseSince_{};
    Clock::time_point lastHeard_{};
    Clock::time_point lastSent_{};
    int linesShown_ = 0;  // of the node's greeting
};

}  // namespace cluster
