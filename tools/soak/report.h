#pragma once
// What the soak found: a row every five minutes and the totals, as a table for people.
#include <cstddef>
#include <string>
#include <vector>

#include "tools/soak/spot_ledger.h"

namespace soak {

struct Row {
    Ms at = 0;
    std::size_t vantro32Bytes = 0, clusterBridgeBytes = 0, rotatorBridgeBytes = 0;
    Ms vantro32Up = 0;  // since its last start
    std::size_t published = 0, listed = 0;
    unsigned long long vantro32WaitMs = 0, clusterWaitMs = 0, rotatorWaitMs = 0;  // this period
};

struct Report {
    int minutes = 0;
    unsigned nodeIntervalMs = 0;
    std::vector<Row> rows;
    SpotTotals spots;
    unsigned nodeSent = 0;
    std::string bridgeCounts;   // the cluster bridge's last "counts:" line, as it ended
    std::string bridgeWaiting;  // its "N spots still waiting" as it ended, if any
    int vantro32Kills = 0, vantro32Starts = 0, nodeKills = 0, nodeStarts = 0;
    int clientGoneSeen = 0;  // the cluster bridge saw a client go without ending its conversation
    int nodeLogins = 0;      // the cluster bridge logged in
    int doubleClicks = 0, turnsReceived = 0, turnsDone = 0;
    unsigned long long vantro32WaitMs = 0, clusterWaitMs = 0, rotatorWaitMs = 0;
    int unansweredProbes = 0;
    int listReadFailures = 0;
    Ms longestReadingGap = 0;
    std::vector<std::string> messages;  // message boxes Vantro32 showed, programs that failed
};

std::string ReportText(const Report& report);

}  // namespace soak
