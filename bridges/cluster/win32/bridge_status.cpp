#include "bridges/cluster/win32/bridge_status.h"

#include "base/text.h"

namespace clusterbridge {

namespace {
std::string StateText(const cluster::SessionStatus& session, cluster::Clock::time_point now) {
    switch (session.state) {
        case cluster::SessionState::Connecting:
            return "connecting";
        case cluster::SessionState::LoggingIn:
            return "logging in";
        case cluster::SessionState::Online:
            return "online";
        case cluster::SessionState::Waiting:
            break;
    }
    const auto left = std::max(session.nextAttempt - now, cluster::Clock::duration::zero());
    return "waiting " + base::SecondsText(left);
}

std::string Count(std::uint64_t count, const std::string& what) {
    return std::to_string(count) + " " + what;
}
}  // namespace

const std::vector<std::string>& StatusLabels() {
    static const std::vector<std::string> labels{
        "Node:", "Login:", "Vantro32:", "Spots:", "Not published:", "Ignored:"};
    return labels;
}

void ShowStatus(win32io::CompanionOutput& output, const StatusFacts& facts,
                cluster::Clock::time_point now) {
    const std::string state = StateText(facts.session, now);
    const std::string node = facts.session.node.Text();
    const cluster::RelayCounts& c = facts.counts;
    const std::string link = facts.linked ? "holds the spot link (" + facts.service + ")"
                                          : "not linked (offering " + facts.service + ")";
    output.Status({node + ", " + state, facts.callsign, link,
                   Count(c.received, "received") + ", " + Count(c.published, "published"),
                   Count(c.filtered, "filtered") + ", " + Count(c.duplicates, "duplicates") + ", " +
                       Count(c.tooOld, "too old") + ", " + Count(c.noCountry, "no place"),
                   Count(c.backlog, "backlog") + ", " + Count(c.unreadable, "unreadable lines")},
                  state + " at " + node + ", Vantro32 " + (facts.linked ? "linked" : "not linked") +
                      ", " + std::to_string(c.published) + " of " + std::to_string(c.received) +
                      " spots published");
}

}  // namespace clusterbridge
