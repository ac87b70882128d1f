#include "tools/soak/soak.h"

#include <fstream>
#include <stdexcept>

#include "tools/peer_console.h"
#include "tools/perf/child_process.h"
#include "unix_path.h"

namespace soak {

namespace {
constexpr Ms kMinute = 60000;
constexpr Ms kTickMs = 250;
constexpr Ms kListEveryMs = 2000;
constexpr Ms kClickEveryMs = 20000;
constexpr Ms kRowEveryMs = 5 * kMinute;
constexpr Ms kFirstRowMs = kMinute;  // the programs settled, before any kill
// Each killed every five minutes, Vantro32 first at 2 minutes and the node at 3.5, so that a
// five-minute soak sees both; each is started again after a crash's worth of pause.
constexpr Ms kKillEveryMs = 5 * kMinute;
constexpr Ms kFirstVantro32KillMs = 2 * kMinute;
constexpr Ms kFirstNodeKillMs = 3 * kMinute + kMinute / 2;
constexpr Ms kDeadMs = 10000;
constexpr Ms kDrainMs = 15000;  // after the end, for the last spots published to be listed
constexpr DWORD kStartLimitMs = 30000;

const std::string kPublished = "published ";

std::size_t Count(const std::vector<std::string>& lines, const std::string& text) {
    std::size_t count = 0;
    for (const std::string& line : lines)
        if (line.find(text) != std::string::npos) ++count;
    return count;
}

// The text after a bridge console line's "HH:MM:SS " stamp when it begins with `start`.
bool Says(const std::string& line, const std::string& start, std::string& rest) {
    const std::size_t at = line.find(' ');
    if (at == std::string::npos || line.compare(at + 1, start.size(), start) != 0) return false;
    rest = line.substr(at + 1 + start.size());
    return true;
}
}  // namespace

Soak::Soak(const SoakOptions& options) : options_(options), began_(GetTickCount64()) {
    report_.minutes = options.minutes;
    report_.nodeIntervalMs = options.nodeIntervalMs;
    StartNode();
    clusterBridge_ = std::make_unique<e2e::ConsoleProcess>(
        e2e::WindowsPath(SOAK_CLUSTER_BRIDGE), "--node-host 127.0.0.1 --node-port " +
                                                   std::to_string(nodePort_) +
                                                   " --callsign N0CALL-2 --locator JO62QM");
    if (!clusterBridge_->WaitForLine("logged in to 127.0.0.1:", 0, kStartLimitMs))
        throw std::runtime_error("the cluster bridge did not log in\n" + clusterBridge_->Output());
    clusterWindow_ = clusterBridge_->WaitForWindow("clusterbridge");
    clusterProbe_.Watch(clusterWindow_.Window());
    rotatorBridge_ = std::make_unique<e2e::ConsoleProcess>(e2e::WindowsPath(SOAK_ROTATOR_BRIDGE),
                                                           options.rotctld);
    if (!rotatorBridge_->WaitForLine("connected to rotctld", 0, kStartLimitMs))
        throw std::runtime_error("the rotator bridge did not connect\n" + rotatorBridge_->Output());
    rotatorProbe_.Watch(rotatorBridge_->WaitForWindow("rotbridge").Window());
    StartVantro32();
}

Soak::~Soak() {
    vantro32Probe_.Watch(nullptr);
    clusterProbe_.Watch(nullptr);
    rotatorProbe_.Watch(nullptr);
}

Ms Soak::Now() const {
    return GetTickCount64() - began_;
}

void Soak::StartNode() {
    // A node restarted at once may find its port still held for a moment: it is tried again.
    const std::string program = e2e::WindowsPath(SOAK_NODE);
    for (int attempt = 1;; ++attempt) {
        node_ = std::make_unique<e2e::ConsoleProcess>(
            program, "--profile skimmer-server --port " + std::to_string(nodePort_) +
                         " --interval " + std::to_string(options_.nodeIntervalMs) + " --first " +
                         std::to_string(nodeSent_));
        const std::string offering = "offering a DX cluster node on 127.0.0.1:";
        if (node_->WaitForLine(offering, 0, kStartLimitMs)) {
            for (const std::string& line : node_->LinesFrom(0))
                if (line.starts_with(offering)) nodePort_ = std::stoi(line.substr(offering.size()));
            ++report_.nodeStarts;
            return;
        }
        const std::string said = node_->Output();
        node_.reset();
        if (attempt == 30) throw std::runtime_error("the node simulator did not start\n" + said);
        report_.messages.push_back(MinutesText(Now()) + " the node did not start, tried again: " +
                                   said.substr(said.find('\n') + 1, 200));
        Sleep(2000);
    }
}

void Soak::EndNode() {
    node_->Kill();
    node_->WaitForExit();
    nodeSent_ += static_cast<unsigned>(Count(node_->LinesFrom(0), "send "));
    Keep("node.txt", node_->Output());
    node_.reset();
}

void Soak::KillNode() {
    EndNode();
    ++report_.nodeKills;
    tools::Say(MinutesText(Now()) + " killed the node");
}

void Soak::StartVantro32() {
    vantro32_ = std::make_unique<e2e::Program>();
    ++vantro32Starts_;
    ++report_.vantro32Starts;
    // Only when a bridge is not there: said, answered, and reported.
    while (const std::optional<e2e::MessageBoxSeen> box = vantro32_->WaitForMessageBox(1000)) {
        report_.messages.push_back(MinutesText(Now()) + " Vantro32 said: " + box->text);
        vantro32_->PressOk(*box);
    }
    vantro32Since_ = Now();
    ledger_.Restarted(vantro32Since_);
    vantro32Probe_.Watch(vantro32_->Window());
}

void Soak::KillVantro32() {
    // Everything published and listed up to now is taken first.
    ReadBridges();
    ReadList();
    vantro32Probe_.Watch(nullptr);
    const Ms at = Now();
    vantro32_->Kill();
    ledger_.Killed(at);
    vantro32_.reset();
    ++report_.vantro32Kills;
    tools::Say(MinutesText(at) + " killed Vantro32");
}

void Soak::ReadBridges() {
    const Ms at = Now();
    const std::vector<std::string> cluster = clusterBridge_->LinesFrom(clusterRead_);
    clusterRead_ += cluster.size();
    for (const std::string& line : cluster) {
        std::string rest;
        if (Says(line, kPublished, rest)) ledger_.Published(KeyOfPublished(rest), at);
        if (Says(line, "counts: ", rest)) report_.bridgeCounts = rest;
        if (Says(line, "a client went away without ending its conversation", rest))
            ++report_.clientGoneSeen;
        if (Says(line, "logged in to ", rest)) ++report_.nodeLogins;
        if (line.ends_with(" still waiting, not published")) report_.bridgeWaiting = line;
    }
    const std::vector<std::string> rotator = rotatorBridge_->LinesFrom(rotatorRead_);
    rotatorRead_ += rotator.size();
    report_.turnsReceived += static_cast<int>(Count(rotator, "received GA:"));
    report_.turnsDone += static_cast<int>(Count(rotator, " done: the rotator is at "));
}

void Soak::ReadList() {
    if (!vantro32_) return;
    std::vector<std::string> keys;
    try {
        for (const std::string& line : vantro32_->ListLines(vantro32_->StationList()))
            keys.push_back(KeyOfListLine(line));
    } catch (const std::runtime_error& failure) {
        ++report_.listReadFailures;
        report_.messages.push_back(MinutesText(Now()) +
                                   " the list could not be read: " + failure.what());
        return;
    }
    ledger_.Listed(keys, vantro32Starts_, Now());
}

void Soak::DoubleClick() {
    if (!vantro32_) return;
    try {
        const HWND list = vantro32_->StationList();
        const int lines = static_cast<int>(vantro32_->ListLines(list).size());
        if (lines == 0) return;
        // Now near the bottom, now further up: the headings differ from one click to the next.
        vantro32_->DoubleClickLine(list, lines - 1 - (report_.doubleClicks * 7) % lines);
        ++report_.doubleClicks;
    } catch (const std::runtime_error& failure) {
        report_.messages.push_back(MinutesText(Now()) + " no double-click: " + failure.what());
    }
}

void Soak::Sample(Ms at) {
    Row row;
    row.at = at;
    row.vantro32Bytes = vantro32_ ? perf::WorkingSetOf(vantro32_->ProcessId()) : 0;
    row.clusterBridgeBytes = perf::WorkingSetOf(clusterBridge_->ProcessId());
    row.rotatorBridgeBytes = perf::WorkingSetOf(rotatorBridge_->ProcessId());
    row.vantro32Up = at - vantro32Since_;
    const SpotTotals spots = ledger_.Totals(at);
    row.published = spots.published;
    row.listed = spots.listed;
    row.vantro32WaitMs = vantro32Probe_.TakeLongest();
    row.clusterWaitMs = clusterProbe_.TakeLongest();
    row.rotatorWaitMs = rotatorProbe_.TakeLongest();
    report_.rows.push_back(row);
    tools::Say(MinutesText(at) + " Vantro32 " + std::to_string(row.vantro32Bytes / 1024) +
               " KB, clusterbridge " + std::to_string(row.clusterBridgeBytes / 1024) +
               " KB, rotbridge " + std::to_string(row.rotatorBridgeBytes / 1024) + " KB; " +
               std::to_string(row.published) + " published, " + std::to_string(row.listed) +
               " listed");
}

void Soak::Keep(const std::string& name, const std::string& text) const {
    std::ofstream(options_.outputFolder + "\\" + name, std::ios::app) << text;
}

void Soak::Crash(Crashes& crashes, bool up, void (Soak::*kill)(), void (Soak::*start)()) {
    if (up && Now() >= crashes.nextKill) {
        (this->*kill)();
        crashes.back = Now() + kDeadMs;
        crashes.nextKill += kKillEveryMs;
    } else if (!up && Now() >= crashes.back) {
        (this->*start)();
    }
}

Report Soak::Run() {
    const Ms end = static_cast<Ms>(options_.minutes) * kMinute;
    Ms nextList = 0, nextClick = kClickEveryMs, nextRow = kFirstRowMs;
    Crashes vantro32Crashes{kFirstVantro32KillMs}, nodeCrashes{kFirstNodeKillMs};
    for (Ms now = Now(); now < end; now = Now()) {
        ReadBridges();
        if (now >= nextList) {
            ReadList();
            nextList = now + kListEveryMs;
        }
        if (now >= nextClick) {
            DoubleClick();
            nextClick = now + kClickEveryMs;
        }
        if (now >= nextRow) {
            Sample(now);
            nextRow = nextRow == kFirstRowMs ? kRowEveryMs : nextRow + kRowEveryMs;
        }
        Crash(vantro32Crashes, vantro32_ != nullptr, &Soak::KillVantro32, &Soak::StartVantro32);
        Crash(nodeCrashes, node_ != nullptr, &Soak::KillNode, &Soak::StartNode);
        Sleep(static_cast<DWORD>(kTickMs));
    }
    // What was published by the end is given time to be listed; nothing later is counted.
    ReadBridges();
    const Ms ended = Now();
    if (!vantro32_) StartVantro32();
    for (Ms drained = Now() + kDrainMs; Now() < drained; Sleep(static_cast<DWORD>(kListEveryMs))) {
        ReadBridges();
        ReadList();
    }
    Sample(ended);
    report_.spots = ledger_.Totals(ended);
    report_.longestReadingGap = ledger_.LongestReadingGap();
    // The node ended, then the bridge closed in order: its last counts and the spots it still
    // had waiting are its own account of every spot the node sent.
    if (node_) EndNode();
    report_.nodeSent = nodeSent_;
    clusterProbe_.Watch(nullptr);
    clusterWindow_.Close();
    if (!clusterBridge_->WaitForExit())
        report_.messages.push_back("the cluster bridge did not end when its window was closed");
    ReadBridges();
    report_.vantro32WaitMs = vantro32Probe_.Longest();
    report_.clusterWaitMs = clusterProbe_.Longest();
    report_.rotatorWaitMs = rotatorProbe_.Longest();
    report_.unansweredProbes =
        vantro32Probe_.Unanswered() + clusterProbe_.Unanswered() + rotatorProbe_.Unanswered();
    Keep("clusterbridge.txt", clusterBridge_->Output());
    Keep("rotbridge.txt", rotatorBridge_->Output());
    return report_;
}

}  // namespace soak
