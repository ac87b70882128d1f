#pragma once
// What the cluster bridge's window shows in its status lines, and its tooltip: the node in use
// and the session's state, the login call, whether Vantro32 holds the spot link, and the counts
// of spots. Made from what the session and the relay report.
#include <string>
#include <vector>

#include "bridges/cluster/core/node_session.h"
#include "bridges/cluster/core/spot_relay.h"
#include "win32io/companion.h"

namespace clusterbridge {

struct StatusFacts {
    cluster::SessionStatus session;
    std::string callsign;
    std::string service;
    bool linked = false;
    cluster::RelayCounts counts;
};

// The labels of the status lines, in the order of the values.
const std::vector<std::string>& StatusLabels();

void ShowStatus(win32io::CompanionOutput& output, const StatusFacts& facts,
                cluster::Clock::time_point now);

}  // namespace clusterbridge
