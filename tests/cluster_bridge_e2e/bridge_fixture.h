#pragma once
// What the cluster bridge's end-to-end tests share: a node simulator in the test's process,
// clusterbridge.exe logged into it, and Vantro32 listing the spots the bridge publishes on the
// host's spot link, driven and read as a user would.
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/dde_names.h"
#include "console_process.h"
#include "harness.h"
#include "tools/cluster_sim/node_simulator.h"
#include "unix_path.h"
#include "win32io/tcp_connection.h"

namespace cluster_e2e {

using tools::NodeSimulator;
using tools::NodeStyle;
namespace host = dde_names::host;

// From JO62QM, the station of these tests: the places in the country file of Japan and of the
// United States, and the centres of FN42 and KM18, worked out apart from the bridge (great
// circle, 111.2 km a degree).
constexpr const char* kJapanHeading = "42";
constexpr const char* kJapanKm = "8790";
constexpr const char* kUsaHeading = "305";
constexpr const char* kUsaKm = "7679";
constexpr const char* kFn42Heading = "296";
constexpr const char* kFn42Km = "6065";
constexpr const char* kKm18Heading = "151";
constexpr const char* kKm18Km = "1727";

inline std::string ListLine(const std::string& call, const std::string& kHz,
                            const std::string& heading, const std::string& distance) {
    const auto right = [](const std::string& text, std::size_t width) {
        return std::string(width - text.size(), ' ') + text;
    };
    // Vantro32 shows the first 10 characters of a call.
    const std::string shown = call.substr(0, 10);
    return shown + std::string(10 - shown.size(), ' ') + right(kHz, 10) + right(heading, 5) +
           right(distance, 7);
}

// A live spot heard now, as DXSpider 1.57 writes it.
inline std::string Spot(const std::string& call, const std::string& kHz = "14025.0",
                        const std::string& comment = "CQ", const std::string& spotter = "W3LPL") {
    return tools::SpotLine(tools::SpotForm::Current,
                           {spotter, kHz, call, comment, tools::UtcTime()});
}

// The same, heard half an hour ago: an old spot a node sends again.
inline std::string OldSpot(const std::string& call) {
    return tools::SpotLine(tools::SpotForm::Current,
                           {"W3LPL", "14025.0", call, "CQ", tools::UtcTime(30)});
}

// "JA1AAA", "JA1AAB", ...: a new call for each number.
inline std::string NewCall(int n) {
    return {'J', 'A', '1', char('A' + n / 676 % 26), char('A' + n / 26 % 26), char('A' + n % 26)};
}

class ClusterBridgeTest : public ::testing::Test {
  protected:
    // Vantro32 first, its link to the host not yet up and no rotator there. Wine's desktop
    // process, started by the first program of a session that needs one, is then its child and
    // not the bridge's: one started by the bridge would inherit the bridge's output pipe and keep
    // it open after the bridge has ended.
    void SetUp() override {
        program_ = std::make_unique<e2e::Program>();
        EXPECT_EQ(program_->AnswerPeersNotFound(),
                  (std::vector<std::string>{e2e::kHostNotFound, e2e::kRotatorNotFound}));
    }

    void TearDown() override {
        program_.reset();
        bridge_.reset();
    }

    // A node of another style (a family's, tools::Profile) instead of the test node.
    void UseNode(const NodeStyle& style) {
        node_.reset();
        node_ = std::make_unique<NodeSimulator>(style);
    }

    void StartBridge(const std::string& settings = "") {
        bridge_ = std::make_unique<e2e::ConsoleProcess>(
            e2e::WindowsPath(CLUSTER_E2E_BRIDGE),
            "--node-host 127.0.0.1 --node-port " + std::to_string(node_->Port()) +
                " --callsign DL1ABC --locator JO62QM " + settings);
        ASSERT_TRUE(bridge_->WaitForLine(std::string("offering DDE service ") + host::kService32))
            << bridge_->Output();
    }

    // Vantro32 tries its host link again every five seconds.
    void WaitForVantro32() {
        ASSERT_TRUE(bridge_->WaitForLine(std::string("a client holds a hot link on ") + host::kItem,
                                         0, 20000))
            << bridge_->Output();
    }

    std::vector<std::string> Lines() const { return program_->ListLines(program_->StationList()); }

    bool Listed(const std::string& line, DWORD limitMs = e2e::kPatienceMs) const {
        return e2e::WaitUntil(
            [&] {
                const auto lines = Lines();
                return std::find(lines.begin(), lines.end(), line) != lines.end();
            },
            limitMs);
    }

    // Waits for the counts line the bridge says every ten seconds while they change.
    bool Counts(const std::string& counts, DWORD limitMs = 25000) {
        return bridge_->WaitForLine("counts: " + counts, 0, limitMs);
    }

    std::string Shown() {
        std::string all = "listed:\n";
        for (const std::string& line : Lines()) all += "  " + line + "\n";
        return all + bridge_->Output();
    }

    // The memory the bridge has committed, bytes (Wine counts it as PagefileUsage); nothing
    // when it cannot be read.
    std::optional<SIZE_T> BridgeMemory() const {
        const HANDLE process =
            OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, bridge_->ProcessId());
        PROCESS_MEMORY_COUNTERS counters{};
        const bool read = process && GetProcessMemoryInfo(process, &counters, sizeof counters);
        if (process) CloseHandle(process);
        if (!read || counters.PagefileUsage == 0) return std::nullopt;
        return counters.PagefileUsage;
    }

    win32io::WinsockSession winsock_;
    std::unique_ptr<NodeSimulator> node_ = std::make_unique<NodeSimulator>(NodeStyle{});
    std::unique_ptr<e2e::ConsoleProcess> bridge_;
    std::unique_ptr<e2e::Program> program_;
};

}  // namespace cluster_e2e
