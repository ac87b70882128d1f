#pragma once
// The bridge's side of a telnet DX cluster node: connecting, the login dialogue as each family
// of node programs has it, the spots, and reconnecting with a growing pause. One thread calls
// it; each call may wait on the node for as long as the connection's limits allow, never longer.
//
// The login: a prompt that ends in ": " comes without a line end, so a partial line that reads
// as a login or password prompt is answered once the node has been quiet for a moment. A login
// prompt repeated before the node has said anything else ("Please enter your call: ", an empty
// line and "login: " in one go) is the same question, answered once. After the call (and the
// password, when the node asks for one) the node's prompt line ("CALL de NODE ... >") or its
// first spot says the login is done; a node that says nothing of the kind is taken at its word
// after a while. Then the login commands are sent, one at a time, each after the node has
// answered the one before (its prompt line) or after a while.
//
// A spot is live or backlog by its own time, whenever it comes: one older than a few minutes of
// UTC now is an old spot sent again, never published.
//
// A node that refuses a login says why and closes the connection: the bridge names that line,
// and says the same problem only once until it is logged in again (a greeting line that merely
// sounds like a refusal ends nothing). A node that gives the call to another login says so in a
// line of its own ("Reconnected as ...", never inside an announcement, a talk or a spot) and
// closes the connection: the call is logged in elsewhere, and the bridge does not fight for it.
// It says so plainly, with the advice of an SSID, and waits long before trying again.
#include <chrono>
#include <deque>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "bridges/cluster/core/clock.h"
#include "bridges/cluster/core/cluster_line.h"
#include "bridges/cluster/core/line_reader.h"
#include "bridges/cluster/core/node_address.h"

namespace cluster {

// One TCP connection to the node. Every call returns within a bounded time.
class NodeConnection {
  public:
    virtual ~NodeConnection() = default;

    // Connects afresh to the node; false when it cannot be reached.
    virtual bool Open(const NodeAddress& node) = 0;
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

// What a status line shows of the session.
struct SessionStatus {
    SessionState state = SessionState::Connecting;
    NodeAddress node;                 // the node tried or in use
    Clock::time_point nextAttempt{};  // Waiting: when the next attempt is due
    std::string problem;              // Waiting: why, as the session said it
    friend bool operator==(const SessionStatus&, const SessionStatus&) = default;
};

// Where the session's results go; called on its thread.
class SessionOutput {
  public:
    virtual ~SessionOutput() = default;
    virtual void Say(const std::string& line) = 0;
    virtual void Status(const SessionStatus& status) = 0;
    virtual void LiveSpot(const Spot& spot) = 0;
    virtual void BacklogSpot() = 0;
    // A "DX de" line that could not be read as a spot.
    virtual void UnreadableSpot() = 0;
};

struct SessionTimes {
    Clock::duration promptQuiet = std::chrono::milliseconds(300);
    Clock::duration loginWait = std::chrono::seconds(15);    // no prompt: the call is sent anyway
    Clock::duration confirmWait = std::chrono::seconds(15);  // no node prompt: logged in anyway
    Clock::duration commandWait = std::chrono::seconds(5);   // no answer: the next command anyway
    // Nothing sent this long: an empty line, for nodes that drop a silent client. A node that
    // says nothing for three times this long is taken as gone.
    Clock::duration keepAlive = std::chrono::minutes(2);
    Clock::duration firstPause = std::chrono::seconds(3);  // doubled after each failed round
    Clock::duration longestPause = std::chrono::seconds(60);
    // The call logged in elsewhere: the wait, doubled each time, and its longest.
    Clock::duration callInUsePause = std::chrono::minutes(10);
    Clock::duration longestCallInUsePause = std::chrono::minutes(60);
    // A spot older than this by its own time is backlog; one ahead by more than the slack too.
    std::chrono::minutes freshSpot{5};
    std::chrono::minutes clockSlack{2};
};

struct Login {
    std::string callsign;
    std::string password;               // empty: none
    std::vector<std::string> commands;  // sent one by one after each login
};

// UTC now, for the session's clock time now.
using UtcClock = std::function<std::chrono::system_clock::time_point(Clock::time_point)>;

class NodeSession {
  public:
    // The nodes are tried in turn, the first first: when one cannot be reached, refuses the
    // login, or is lost or silent after a login, the next one is tried soon; once each has
    // failed, the first again after a pause that grows with every round.
    NodeSession(NodeConnection& connection, SessionOutput& output, std::vector<NodeAddress> nodes,
                Login login, SessionTimes times = {}, UtcClock utc = SystemUtc);

    // Does what is due; returns the time it wants to be called again.
    Clock::time_point Step(Clock::time_point now);
    // Ends the session in order: a node it is connected to is told "bye" and the connection
    // closed. Not while Step runs.
    void Leave();

    static std::chrono::system_clock::time_point SystemUtc(Clock::time_point) {
        return std::chrono::system_clock::now();
    }

  private:
    enum class Phase { Down, AwaitingPrompt, AwaitingWelcome, Online };
    enum class Fault { OfTheNode, LostAfterLogin, CallInUse };

    void Connect(Clock::time_point now);
    void Drop(Clock::time_point now, const std::string& problem, Fault fault = Fault::OfTheNode);
    void Closed(Clock::time_point now);  // the node closed the connection, or it broke
    void Report(SessionState state, Clock::time_point nextAttempt = {});
    const NodeAddress& Node() const { return nodes_[current_]; }
    void HandleLine(std::string_view text, bool cut, Clock::time_point now);
    void HandleSpot(const Spot& spot, Clock::time_point now);
    void HandleLoginLine(std::string_view text, const ClusterLine& line, Clock::time_point now);
    void CheckTimes(Clock::time_point now);
    void SendLine(const std::string& text, Clock::time_point now);
    void SendCall(Clock::time_point now);
    void SendNextCommand(Clock::time_point now);
    void GoOnline(Clock::time_point now);
    bool IsPrompt(std::string_view text) const;
    std::string CallInUseAdvice() const;

    NodeConnection& connection_;
    SessionOutput& output_;
    std::vector<NodeAddress> nodes_;
    Login login_;
    SessionTimes times_;
    UtcClock utc_;

    Phase phase_ = Phase::Down;
    LineReader reader_;
    std::size_t current_ = 0;     // the node tried or in use
    std::size_t roundStart_ = 0;  // the node the round of attempts began with
    Clock::time_point nextAttempt_{};
    Clock::duration pause_;               // after the next round that fails
    Clock::duration callInUsePause_;      // after the next time the call is taken elsewhere
    std::string lastProblem_;             // of the last attempt; empty once logged in
    std::set<std::string> problemsSaid_;  // each said once until the next login

    // This connection's.
    std::string refusal_;    // the last line of the login that sounded like a refusal
    std::string callInUse_;  // the node's line that the call is taken elsewhere
    bool callAnswered_ = false;
    bool saidSinceCall_ = false;  // the node said something since the call was sent
    Clock::time_point phaseSince_{};
    Clock::time_point lastHeard_{};
    Clock::time_point lastSent_{};
    Clock::time_point onlineSince_{};
    int linesShown_ = 0;  // of the node's greeting
    int unreadableShown_ = 0;
    std::deque<std::string> commands_;              // not sent yet
    std::optional<Clock::time_point> commandSent_;  // the one awaiting the node's answer
    int staleRun_ = 0;  // live spots in a row that were old by this computer's clock
    bool clockSaid_ = false;
};

}  // namespace cluster
