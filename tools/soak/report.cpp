#include "tools/soak/report.h"

#include <cstdio>

namespace soak {

namespace {
constexpr std::size_t kLostShown = 50;

std::string Megabytes(std::size_t bytes) {
    if (bytes == 0) return "-";
    char text[16];
    std::snprintf(text, sizeof text, "%.1f", static_cast<double>(bytes) / (1024.0 * 1024.0));
    return text;
}

std::string Column(const std::string& text, int width) {
    char cell[64];
    std::snprintf(cell, sizeof cell, "%*s", width, text.c_str());
    return cell;
}

std::string Line(const std::string& what, const std::string& value) {
    return "  " + what + std::string(what.size() < 44 ? 44 - what.size() : 1, ' ') + value + "\n";
}

std::string Number(unsigned long long n) {
    return std::to_string(n);
}
}  // namespace

std::string ReportText(const Report& r) {
    std::string text = "The soak of the whole road: " + Number(r.minutes) +
                       " minutes, the node sending a spot every " + Number(r.nodeIntervalMs) +
                       " ms\n\n";
    text += "Working sets (MB) and the longest wait of each window (ms), per period\n";
    text +=
        "  time  | Vantro32 (up)  | clusterbridge | rotbridge | published | listed | "
        "wait V32 / cb / rb\n";
    for (const Row& row : r.rows) {
        text += "  " + Column(MinutesText(row.at), 5) + " | " +
                Column(Megabytes(row.vantro32Bytes), 5) + " (" +
                Column(MinutesText(row.vantro32Up), 5) + ") | " +
                Column(Megabytes(row.clusterBridgeBytes), 13) + " | " +
                Column(Megabytes(row.rotatorBridgeBytes), 9) + " | " +
                Column(Number(row.published), 9) + " | " + Column(Number(row.listed), 6) + " | " +
                Number(row.vantro32WaitMs) + " / " + Number(row.clusterWaitMs) + " / " +
                Number(row.rotatorWaitMs) + "\n";
    }
    const SpotTotals& s = r.spots;
    text += "\nSpots\n";
    text += Line("sent by the node, to the end of the drain", Number(r.nodeSent));
    text += Line("the cluster bridge's counts as it ended", r.bridgeCounts);
    text += Line(
        "and still waiting in it",
        r.bridgeWaiting.empty() ? "none" : r.bridgeWaiting.substr(r.bridgeWaiting.find(' ') + 1));
    text += "  (the counts above reach to the end of the drain; those below, to the soak's end)\n";
    text += Line("published by the cluster bridge", Number(s.published));
    text += Line("listed by Vantro32", Number(s.listed));
    text += Line("trimmed by the list (seen first)", Number(s.trimmed));
    text += Line("on the list when Vantro32 was killed", Number(s.onListAtKill));
    text += Line("lost", Number(s.published - s.listed));
    text += Line("  in Vantro32's intake when it was killed", Number(s.inIntakeAtKill));
    text += Line("  published while Vantro32 was dead", Number(s.publishedToDead));
    text += Line("  still on their way at the end", Number(s.onTheWayAtEnd));
    text += Line("  without a reason", Number(s.unexplained));
    text += Line("listed but never published", Number(s.listedUnpublished));
    text += "\nRestarts and turns\n";
    text += Line("Vantro32 killed / started",
                 Number(r.vantro32Kills) + " / " + Number(r.vantro32Starts));
    text += Line("node killed / started", Number(r.nodeKills) + " / " + Number(r.nodeStarts));
    text += Line("the bridge saw a client go without a word", Number(r.clientGoneSeen));
    text += Line("the bridge logged in to the node", Number(r.nodeLogins));
    text += Line(
        "double-clicks / GA: received / turns done",
        Number(r.doubleClicks) + " / " + Number(r.turnsReceived) + " / " + Number(r.turnsDone));
    text += "\nWaits\n";
    text += Line("longest wait, Vantro32's window", Number(r.vantro32WaitMs) + " ms");
    text += Line("longest wait, clusterbridge's window", Number(r.clusterWaitMs) + " ms");
    text += Line("longest wait, rotbridge's window", Number(r.rotatorWaitMs) + " ms");
    text += Line("probes not answered within a minute", Number(r.unansweredProbes));
    text += Line("list readings that failed", Number(r.listReadFailures));
    text += Line("longest time between two list readings", Number(r.longestReadingGap) + " ms");
    if (!r.messages.empty()) {
        text += "\nWhat happened on the way\n";
        for (const std::string& message : r.messages) text += "  " + message + "\n";
    }
    if (!s.lost.empty()) {
        text += "\nSpots published and not listed (time published, call, frequency, why)\n";
        for (std::size_t i = 0; i < s.lost.size() && i < kLostShown; ++i)
            text += "  " + s.lost[i] + "\n";
        if (s.lost.size() > kLostShown)
            text += "  ... and " + Number(s.lost.size() - kLostShown) + " more\n";
    }
    return text;
}

}  // namespace soak
