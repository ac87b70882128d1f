#include "bridges/cluster/core/node_session.h"

#include <algorithm>
#include <array>
#include <stdexcept>

#include "base/text.h"
#include "bridges/cluster/core/spot_age.h"

namespace cluster {

namespace {

// Node lines shown on the console while logging in: the greeting, enough to see a refusal.
constexpr int kGreetingLines = 20;
constexpr std::size_t kShownLength = 120;
// Unreadable spot lines shown on the console for each login; later ones are only counted.
constexpr int kUnreadableShown = 3;
// Live spots in a row that are old by this computer's clock before its clock is doubted.
constexpr int kStaleRunDoubt = 20;

bool Contains(std::string_view text, std::string_view word) {
    return base::Lower(text).find(word) != std::string::npos;
}

template <std::size_t N>
bool ContainsAny(std::string_view text, const std::array<std::string_view, N>& words) {
    const std::string lower = base::Lower(text);
    return std::any_of(words.begin(), words.end(), [&](std::string_view word) {
        return lower.find(word) != std::string::npos;
    });
}

// A node's refusal of a login: "Sorry W1ABC/P is an invalid callsign", "login refused", ...
bool IsRefusal(std::string_view text) {
    static constexpr std::array<std::string_view, 6> kWords = {
        "sorry", "invalid", "not allowed", "refused", "denied", "not permitted"};
    return ContainsAny(text, kWords);
}

// A node's own line that the call is used by another login: DXSpider's "Reconnected as N0ABC
// at ..., this instance is disconnected" to the older login, or a refusal of the newer one.
bool SaysCallInUse(std::string_view text) {
    static constexpr std::array<std::string_view, 6> kWords = {
        "already connected",   "already logged in",      "logged in elsewhere",
        "connected elsewhere", "logged in from another", "connected from another"};
    return base::Lower(text).starts_with("reconnected as") || ContainsAny(text, kWords);
}

std::string Shown(std::string_view text) {
    return base::Shortened(text, kShownLength);
}

std::string Said(std::string_view text) {
    return base::Quoted(Shown(text));
}

}  // namespace

NodeSession::NodeSession(NodeConnection& connection, SessionOutput& output,
                         std::vector<NodeAddress> nodes, Login login, SessionTimes times,
                         UtcClock utc)
    : connection_(connection),
      output_(output),
      nodes_(std::move(nodes)),
      login_(std::move(login)),
      times_(times),
      utc_(std::move(utc)),
      pause_(times.firstPause),
      callInUsePause_(times.callInUsePause) {
    if (nodes_.empty()) throw std::invalid_argument("a node session needs a node");
}

void NodeSession::Leave() {
    if (phase_ != Phase::Down) {
        connection_.Send("bye\r\n");
        output_.Say("left " + Node().Text());
    }
    connection_.Close();
    phase_ = Phase::Down;
}

void NodeSession::Report(SessionState state, Clock::time_point nextAttempt) {
    output_.Status(
        {state, Node(), nextAttempt, state == SessionState::Waiting ? lastProblem_ : ""});
}

Clock::time_point NodeSession::Step(Clock::time_point now) {
    if (phase_ == Phase::Down) {
        if (now < nextAttempt_) return nextAttempt_;
        Connect(now);
        return phase_ == Phase::Down ? nextAttempt_ : now;
    }
    const std::optional<std::string> bytes = connection_.Receive();
    if (!bytes) {
        Closed(now);
        return nextAttempt_;
    }
    if (!bytes->empty()) {
        lastHeard_ = now;
        reader_.Feed(*bytes);
        if (const std::string replies = reader_.TakeReplies(); !replies.empty()) {
            if (!connection_.Send(replies)) {
                Closed(now);
                return nextAttempt_;
            }
        }
    }
    while (phase_ != Phase::Down) {
        const std::optional<ReceivedLine> line = reader_.TakeLine();
        if (!line) break;
        HandleLine(line->text, line->cut, now);
    }
    // A prompt comes without a line end; the rest of its line, if any comes, is a line of its own.
    if (phase_ != Phase::Down && now - lastHeard_ >= times_.promptQuiet &&
        IsPrompt(reader_.Partial()))
        HandleLine(reader_.TakePartial(), false, now);
    if (phase_ != Phase::Down) CheckTimes(now);
    return phase_ == Phase::Down ? nextAttempt_ : now;
}

void NodeSession::Connect(Clock::time_point now) {
    Report(SessionState::Connecting);
    if (lastProblem_.empty()) output_.Say("connecting to the node at " + Node().Text());
    if (!connection_.Open(Node())) {
        Drop(now, "cannot reach the node at " + Node().Text() + ": " + connection_.LastError());
        return;
    }
    reader_ = LineReader();
    refusal_.clear();
    callInUse_.clear();
    callAnswered_ = saidSinceCall_ = false;
    phase_ = Phase::AwaitingPrompt;
    phaseSince_ = lastHeard_ = lastSent_ = now;
    linesShown_ = unreadableShown_ = staleRun_ = 0;
    clockSaid_ = false;
    commands_.clear();
    commandSent_.reset();
    Report(SessionState::LoggingIn);
    if (lastProblem_.empty())
        output_.Say("connected to " + Node().Text() + "; logging in as " + login_.callsign);
}

void NodeSession::Closed(Clock::time_point now) {
    // A node closes the connection after it has said why.
    if (!callInUse_.empty()) {
        Drop(now, "the node says " + callInUse_ + ": " + CallInUseAdvice(), Fault::CallInUse);
    } else if (!refusal_.empty()) {
        Drop(now, "the node refused the login: " + refusal_);
    } else {
        Drop(now, "lost the node: " + connection_.LastError(),
             phase_ == Phase::Online ? Fault::LostAfterLogin : Fault::OfTheNode);
    }
}

std::string NodeSession::CallInUseAdvice() const {
    const std::string plain = login_.callsign.substr(0, login_.callsign.find('-'));
    const std::string ssid = plain + (login_.callsign == plain + "-2" ? "-3" : "-2");
    return "the call " + login_.callsign +
           " is logged in elsewhere (your logging program?) and the node lets one login have "
           "it. Not fighting for it: the bridge waits " +
           base::SecondsText(callInUsePause_) + " before trying again. Give the bridge an SSID " +
           "of its own, such as " + ssid + " (CALLSIGN=" + ssid + "), and both stay logged in";
}

void NodeSession::Drop(Clock::time_point now, const std::string& problem, Fault fault) {
    connection_.Close();
    phase_ = Phase::Down;
    // A node lost after a login is tried once more, as a node restarts; a node at fault gives
    // way to the next one, and a round of them all that failed to a growing pause. A call
    // taken elsewhere is given time: the same node, much later.
    Clock::duration pause = times_.firstPause;
    if (fault == Fault::CallInUse) {
        pause = callInUsePause_;
        callInUsePause_ = std::min(callInUsePause_ * 2, times_.longestCallInUsePause);
    } else if (fault == Fault::OfTheNode) {
        current_ = (current_ + 1) % nodes_.size();
        if (current_ == roundStart_) {
            pause = pause_;
            pause_ = std::min(pause_ * 2, times_.longestPause);
        }
    }
    nextAttempt_ = now + pause;
    if (problemsSaid_.insert(problem).second) {
        std::string next;  // the advice of a call in use says when
        if (fault != Fault::CallInUse)
            next = "; trying " +
                   (nodes_.size() > 1 ? "the node at " + Node().Text() : std::string("again")) +
                   " in " + base::SecondsText(pause);
        output_.Say(problem + next);
    }
    lastProblem_ = problem;
    Report(SessionState::Waiting, nextAttempt_);
}

bool NodeSession::IsPrompt(std::string_view text) const {
    const LineKind kind = ClassifyLine(text).kind;
    if (kind == LineKind::LoginPrompt || kind == LineKind::PasswordPrompt) return true;
    // "W1ABC de GB7XYZ 7-Dec-2026 0824Z dxspider >", "W1ABC de K1XX-3 12-Jul 1855Z arc >"
    const std::string_view trimmed = text.substr(0, text.find_last_not_of(' ') + 1);
    return phase_ != Phase::AwaitingPrompt && trimmed.ends_with(">") && Contains(trimmed, " de ");
}

void NodeSession::HandleLine(std::string_view text, bool cut, Clock::time_point now) {
    if (cut) {
        // An over-long line is no line of a node, but a spot's line is counted.
        if (text.starts_with("DX de ")) output_.UnreadableSpot();
        return;
    }
    const ClusterLine line = ClassifyLine(text);
    switch (line.kind) {
        case LineKind::Spot:
            // A node sends spots to a login it has taken.
            if (phase_ == Phase::AwaitingWelcome) GoOnline(now);
            HandleSpot(*line.spot, now);
            return;
        case LineKind::BacklogSpot:
            output_.BacklogSpot();
            return;
        case LineKind::UnreadableSpot:
            output_.UnreadableSpot();
            if (unreadableShown_++ < kUnreadableShown)
                output_.Say("a spot line the bridge cannot read: " + Said(text));
            return;
        default:
            break;
    }
    if (phase_ != Phase::Online) {
        HandleLoginLine(text, line, now);
        return;
    }
    if (text.empty()) return;
    // Only the node's own lines say that the call was taken: never an announcement or a talk.
    callInUse_ = line.kind == LineKind::Other && SaysCallInUse(text) ? Said(text) : "";
    if (IsPrompt(text) && commandSent_) SendNextCommand(now);
}

void NodeSession::HandleSpot(const Spot& spot, Clock::time_point now) {
    const auto utcNow = utc_(now);
    const int age = SpotAgeMinutes(spot.time, utcNow);
    if (age <= times_.freshSpot.count() && age >= -times_.clockSlack.count()) {
        staleRun_ = 0;
        output_.LiveSpot(spot);
        return;
    }
    output_.BacklogSpot();
    if (phase_ != Phase::Online || ++staleRun_ < kStaleRunDoubt || clockSaid_) return;
    clockSaid_ = true;
    output_.Say("the last " + std::to_string(kStaleRunDoubt) + " spots were all " +
                (age < 0 ? "ahead of" : "older than") + " this computer's clock (UTC now " +
                UtcTimeText(utcNow) + ", the last spot " + spot.time +
                "Z), and are counted as backlog: if the computer's clock or time zone is set "
                "wrong, set it right");
}

void NodeSession::HandleLoginLine(std::string_view text, const ClusterLine& line,
                                  Clock::time_point now) {
    switch (line.kind) {
        case LineKind::LoginPrompt:
            if (!callAnswered_) {
                output_.Say("the node asks " + Said(text) + ": sending " + login_.callsign);
                SendCall(now);
            } else if (saidSinceCall_) {
                Drop(now, "the node refused the login: it asked for the call again" +
                              (refusal_.empty() ? "" : " after " + refusal_));
            }
            // Asked again before anything else: the same question, answered already.
            return;
        case LineKind::PasswordPrompt:
            if (login_.password.empty()) {
                Drop(now, "the node asks for a password: set PASSWORD");
                return;
            }
            output_.Say("the node asks for the password: sending it");
            SendLine(login_.password, now);
            saidSinceCall_ = true;
            phase_ = Phase::AwaitingWelcome;
            phaseSince_ = now;
            return;
        default:
            break;
    }
    if (text.empty()) return;
    if (callAnswered_) saidSinceCall_ = true;
    if (line.kind == LineKind::Other && SaysCallInUse(text)) callInUse_ = Said(text);
    if (IsRefusal(text)) refusal_ = Said(text);
    if (IsPrompt(text)) {
        GoOnline(now);
    } else if (linesShown_ < kGreetingLines) {
        ++linesShown_;
        output_.Say("node: " + Shown(text));
    }
}

void NodeSession::CheckTimes(Clock::time_point now) {
    switch (phase_) {
        case Phase::AwaitingPrompt:
            if (now - phaseSince_ < times_.loginWait) return;
            output_.Say("no login prompt in " + base::SecondsText(times_.loginWait) + ": sending " +
                        login_.callsign + " anyway");
            SendCall(now);
            return;
        case Phase::AwaitingWelcome:
            if (now - phaseSince_ < times_.confirmWait) return;
            output_.Say("no prompt from the node in " + base::SecondsText(times_.confirmWait) +
                        ": taking the login as accepted");
            GoOnline(now);
            return;
        case Phase::Online:
            if (commandSent_ && now - *commandSent_ >= times_.commandWait) SendNextCommand(now);
            if (phase_ != Phase::Online) return;
            if (now - onlineSince_ >= times_.longestCallInUsePause)
                callInUsePause_ = times_.callInUsePause;  // long enough: nobody else wants it
            if (now - lastHeard_ >= 3 * times_.keepAlive) {
                Drop(now, "the node has said nothing for " + base::SecondsText(now - lastHeard_));
            } else if (now - lastSent_ >= times_.keepAlive) {
                SendLine("", now);  // nodes answer an empty line with their prompt
            }
            return;
        case Phase::Down:
            return;
    }
}

void NodeSession::SendLine(const std::string& text, Clock::time_point now) {
    lastSent_ = now;
    if (!connection_.Send(text + "\r\n")) Closed(now);
}

void NodeSession::SendCall(Clock::time_point now) {
    phase_ = Phase::AwaitingWelcome;
    phaseSince_ = now;
    callAnswered_ = true;
    saidSinceCall_ = false;
    SendLine(login_.callsign, now);
}

void NodeSession::SendNextCommand(Clock::time_point now) {
    commandSent_.reset();
    if (commands_.empty()) return;
    const std::string command = std::move(commands_.front());
    commands_.pop_front();
    output_.Say("to the node: " + command);
    commandSent_ = now;
    SendLine(command, now);
}

void NodeSession::GoOnline(Clock::time_point now) {
    phase_ = Phase::Online;
    refusal_.clear();
    callInUse_.clear();
    lastHeard_ = onlineSince_ = now;
    pause_ = times_.firstPause;
    roundStart_ = current_;
    lastProblem_.clear();
    problemsSaid_.clear();
    output_.Say("logged in to " + Node().Text() + " as " + login_.callsign);
    Report(SessionState::Online);
    commands_.assign(login_.commands.begin(), login_.commands.end());
    SendNextCommand(now);
}

}  // namespace cluster
