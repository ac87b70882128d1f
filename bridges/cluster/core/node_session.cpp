#include "bridges/cluster/core/node_session.h"

#include <algorithm>
#include <array>

namespace cluster {

namespace {

// Node lines shown on the console while logging in: the greeting, enough to see a refusal.
constexpr int kGreetingLines = 20;
constexpr std::size_t kShownLength = 120;

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

bool Contains(std::string_view text, std::string_view word) {
    return Lower(text).find(word) != std::string::npos;
}

// A node's refusal of a login: "Sorry W1ABC/P is an invalid callsign", "login refused", ...
bool IsRefusal(std::string_view text) {
    static constexpr std::array<std::string_view, 6> kWords = {
        "sorry", "invalid", "not allowed", "refused", "denied", "not permitted"};
    return std::any_of(kWords.begin(), kWords.end(),
                       [&](std::string_view word) { return Contains(text, word); });
}

std::string Shown(std::string_view text) {
    if (text.size() <= kShownLength) return std::string(text);
    return std::string(text.substr(0, kShownLength)) + "...";
}

std::string SecondsText(Clock::duration duration) {
    const auto seconds = std::chrono::duration_cast<std::chrono::milliseconds>(duration).count();
    return std::to_string(std::max<long long>(1, (seconds + 500) / 1000)) + " s";
}

}  // namespace

NodeSession::NodeSession(NodeConnection& connection, SessionOutput& output, std::string where,
                         Login login, SessionTimes times)
    : connection_(connection),
      output_(output),
      where_(std::move(where)),
      login_(std::move(login)),
      times_(times),
      pause_(times.firstPause) {}

Clock::time_point NodeSession::Step(Clock::time_point now) {
    if (phase_ == Phase::Down) {
        if (now < nextAttempt_) return nextAttempt_;
        Connect(now);
        return phase_ == Phase::Down ? nextAttempt_ : now;
    }
    const std::optional<std::string> bytes = connection_.Receive();
    if (!bytes) {
        // A node closes the connection after it has refused a login, saying why.
        Drop(now, refusal_.empty() ? "lost the node: " + connection_.LastError()
                                   : "the node refused the login: \"" + refusal_ + "\"");
        return nextAttempt_;
    }
    if (!bytes->empty()) {
        lastHeard_ = now;
        reader_.Feed(*bytes);
        if (const std::string replies = reader_.TakeReplies(); !replies.empty()) {
            if (!connection_.Send(replies)) {
                Drop(now, "lost the node: " + connection_.LastError());
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
    output_.State(SessionState::Connecting);
    if (lastProblem_.empty()) output_.Say("connecting to the node at " + where_);
    if (!connection_.Open()) {
        Drop(now, "cannot reach the node at " + where_ + ": " + connection_.LastError());
        return;
    }
    reader_ = LineReader();
    refusal_.clear();
    phase_ = Phase::AwaitingPrompt;
    phaseSince_ = lastHeard_ = lastSent_ = now;
    linesShown_ = 0;
    output_.State(SessionState::LoggingIn);
    if (lastProblem_.empty())
        output_.Say("connected to " + where_ + "; logging in as " + login_.callsign);
}

void NodeSession::Drop(Clock::time_point now, const std::string& problem) {
    connection_.Close();
    phase_ = Phase::Down;
    nextAttempt_ = now + pause_;
    if (problem != lastProblem_) output_.Say(problem + "; trying again in " + SecondsText(pause_));
    lastProblem_ = problem;
    pause_ = std::min(pause_ * 2, times_.longestPause);
    output_.State(SessionState::Waiting);
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
            output_.Say("no login prompt in " + SecondsText(times_.loginWait) + ": sending " +
                        login_.callsign + " anyway");
            SendCall(now);
            return;
        case Phase::AwaitingWelcome:
            if (now - phaseSince_ < times_.confirmWait) return;
            output_.Say("no prompt from the node in " + SecondsText(times_.confirmWait) +
                        ": taking the login as accepted");
            GoOnline(now);
            return;
        case Phase::Online:
            if (now - lastHeard_ >= 3 * times_.keepAlive) {
                Drop(now, "the node has said nothing for " + SecondsText(now - lastHeard_));
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
    if (!connection_.Send(text + "\r\n")) Drop(now, "lost the node: " + connection_.LastError());
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
    lastProblem_.clear();
    output_.Say("logged in to " + where_ + " as " + login_.callsign);
    output_.State(SessionState::Online);
}

}  // namespace cluster
