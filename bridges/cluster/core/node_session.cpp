#include "bridges/cluster/core/node_session.h"

#include <algorithm>
#include <array>
#include <stdexcept>

#include "base/text.h"

namespace cluster {

namespace {

// Node lines shown on the console while logging in: the greeting, enough to see a refusal.
constexpr int kGreetingLines = 20;
constexpr std::size_t kShownLength = 120;

bool Contains(std::string_view text, std::string_view word) {
    return base::Lower(text).find(word) != std::string::npos;
}

// A node's refusal of a login: "Sorry W1ABC/P is an invalid callsign", "login refused", ...
bool IsRefusal(std::string_view text) {
    static constexpr std::array<std::string_view, 6> kWords = {
        "sorry", "invalid", "not allowed", "refused", "denied", "not permitted"};
    return std::any_of(kWords.begin(), kWords.end(),
                       [&](std::string_view word) { return Contains(text, word); });
}

std::string Shown(std::string_view text) {
    return base::Shortened(text, kShownLength);
}

}  // namespace

NodeSession::NodeSession(NodeConnection& connection, SessionOutput& output,
                         std::vector<NodeAddress> nodes, Login login, SessionTimes times)
    : connection_(connection),
      output_(output),
      nodes_(std::move(nodes)),
      login_(std::move(login)),
      times_(times),
      pause_(times.firstPause) {
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

void NodeSession::Lost(Clock::time_point now) {
    Drop(now, "lost the node: " + connection_.LastError(),
         phase_ == Phase::Online ? Fault::LostAfterLogin : Fault::OfTheNode);
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
        // A node closes the connection after it has refused a login, saying why.
        if (!refusal_.empty()) {
            Drop(now, "the node refused the login: \"" + refusal_ + "\"");
        } else {
            Lost(now);
        }
        return nextAttempt_;
    }
    if (!bytes->empty()) {
        lastHeard_ = now;
        reader_.Feed(*bytes);
        if (const std::string replies = reader_.TakeReplies(); !replies.empty()) {
            if (!connection_.Send(replies)) {
                Lost(now);
                return nextAttempt_;
            }
        }
    }
    while (phase_ != Phase::Down) {
        const std::optional<ReceivedLine> line = reader_.TakeLine();
        if (!line) break;
        if (!line->cut) HandleLine(line->text, now);  // an over-long line is no line of a node
    }
    // A prompt comes without a line end; the rest of its line, if any comes, is a line of its own.
    if (phase_ != Phase::Down && now - lastHeard_ >= times_.promptQuiet &&
        IsPrompt(reader_.Partial()))
        HandleLine(reader_.TakePartial(), now);
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
    phase_ = Phase::AwaitingPrompt;
    phaseSince_ = lastHeard_ = lastSent_ = now;
    linesShown_ = 0;
    Report(SessionState::LoggingIn);
    if (lastProblem_.empty())
        output_.Say("connected to " + Node().Text() + "; logging in as " + login_.callsign);
}

void NodeSession::Drop(Clock::time_point now, const std::string& problem, Fault fault) {
    connection_.Close();
    phase_ = Phase::Down;
    // A node lost after a login is tried once more, as a node restarts; a node at fault gives
    // way to the next one, and a round of them all that failed to a growing pause.
    Clock::duration pause = times_.firstPause;
    if (fault == Fault::OfTheNode) {
        current_ = (current_ + 1) % nodes_.size();
        if (current_ == roundStart_) {
            pause = pause_;
            pause_ = std::min(pause_ * 2, times_.longestPause);
        }
    }
    nextAttempt_ = now + pause;
    if (problemsSaid_.insert(problem).second) {
        output_.Say(problem + "; trying " +
                    (nodes_.size() > 1 ? "the node at " + Node().Text() : std::string("again")) +
                    " in " + base::SecondsText(pause));
    }
    lastProblem_ = problem;
    Report(SessionState::Waiting, nextAttempt_);
}

bool NodeSession::IsPrompt(std::string_view text) const {
    const LineKind kind = ClassifyLine(text).kind;
    if (kind == LineKind::LoginPrompt || kind == LineKind::PasswordPrompt) return true;
    // "W1ABC de GB7XYZ 7-Dec-2026 0824Z dxspider >"
    const std::string_view trimmed = text.substr(0, text.find_last_not_of(' ') + 1);
    return phase_ != Phase::AwaitingPrompt && trimmed.ends_with(">") && Contains(trimmed, " de ");
}

void NodeSession::HandleLine(std::string_view text, Clock::time_point now) {
    const ClusterLine line = ClassifyLine(text);
    if (phase_ != Phase::Online) {
        HandleLoginLine(text, line, now);
        return;
    }
    if (line.kind == LineKind::Spot) {
        output_.LiveSpot(*line.spot);
    } else if (line.kind == LineKind::BacklogSpot) {
        output_.BacklogSpot();
    } else if (Contains(text, "reconnected as")) {
        Drop(now, "the node says \"" + Shown(text) +
                      "\": the same call logged in elsewhere took this connection over");
    }
}

void NodeSession::HandleLoginLine(std::string_view text, const ClusterLine& line,
                                  Clock::time_point now) {
    switch (line.kind) {
        case LineKind::Spot:
        case LineKind::BacklogSpot:
            output_.BacklogSpot();
            return;
        case LineKind::LoginPrompt:
            if (phase_ == Phase::AwaitingPrompt) {
                output_.Say("the node asks \"" + Shown(text) + "\": sending " + login_.callsign);
                SendCall(now);
            } else {
                Drop(now, "the node refused the login: it asked for the call again");
            }
            return;
        case LineKind::PasswordPrompt:
            if (login_.password.empty()) {
                Drop(now, "the node asks for a password: set PASSWORD");
                return;
            }
            output_.Say("the node asks for the password: sending it");
            SendLine(login_.password, now);
            phase_ = Phase::AwaitingWelcome;
            phaseSince_ = now;
            return;
        default:
            break;
    }
    if (IsRefusal(text)) refusal_ = Shown(text);
    if (IsPrompt(text)) {
        GoOnline(now);
    } else if (!text.empty() && linesShown_ < kGreetingLines) {
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
    if (!connection_.Send(text + "\r\n")) Lost(now);
}

void NodeSession::SendCall(Clock::time_point now) {
    phase_ = Phase::AwaitingWelcome;
    phaseSince_ = now;
    SendLine(login_.callsign, now);
}

void NodeSession::GoOnline(Clock::time_point now) {
    phase_ = Phase::Online;
    refusal_.clear();
    lastHeard_ = now;
    pause_ = times_.firstPause;
    roundStart_ = current_;
    lastProblem_.clear();
    problemsSaid_.clear();
    output_.Say("logged in to " + Node().Text() + " as " + login_.callsign);
    Report(SessionState::Online);
}

}  // namespace cluster
