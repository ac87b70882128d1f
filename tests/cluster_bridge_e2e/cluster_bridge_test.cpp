// The cluster bridge end to end: a node simulator in this process, clusterbridge.exe logged into
// it, and Vantro32 listing the spots the bridge publishes on the host's spot link, driven and
// read as a user would.
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "bridge_fixture.h"
#include "win32io/dde_link.h"

namespace cluster_e2e {
namespace {

TEST_F(ClusterBridgeTest, SpotsAreListedWithHeadingAndDistanceAndNothingElseReachesTheList) {
    NodeStyle style;
    style.bells = true;
    style.lfcr = true;
    style.prompt = "Please enter your call: ";
    style.password = "s3cret";
    style.backlog = {OldSpot("JA1OLD")};
    node_->SetStyle(style);
    StartBridge("--password s3cret");
    ASSERT_TRUE(bridge_->WaitForLine("logged in to 127.0.0.1:")) << bridge_->Output();
    EXPECT_EQ(node_->Calls(), std::vector<std::string>{"DL1ABC"});
    WaitForVantro32();

    node_->SendBytes(std::string("\x01\xFE\xFD garbage \xFF\xFF\x7F", 16) + "\r\n");
    node_->SendLine(std::string(5000, 'x') + Spot("JA1LONG"));
    node_->SendLine(Spot("G4ABC/MM"));
    node_->SendLine(Spot("JA1XYZ"));
    node_->SendLine(Spot("W1AW", "7025.5", "FN42 tnx"));
    node_->SendLine(Spot("JA1XYZ", "14030.0"));
    node_->SendLine("DL1ABC de W3LPL: hello");
    ASSERT_TRUE(
        Counts("received 4, published 2, filtered 0, duplicates 1, too old 0, no country 1, "
               "backlog 1, unreadable 0"))
        << Shown();
    Sleep(1500);  // anything more would be listed by now
    EXPECT_EQ(Lines(),
              (std::vector<std::string>{ListLine("JA1XYZ", "14025.0", kJapanHeading, kJapanKm),
                                        ListLine("W1AW", "7025.5", kFn42Heading, kFn42Km)}))
        << Shown();
    EXPECT_TRUE(bridge_->WaitForLine("Z de W3LPL: 42 deg, 8790 km"));
    EXPECT_TRUE(bridge_->WaitForLine("published JA1XYZ 14025.0 "));
}

TEST_F(ClusterBridgeTest, ANodeKilledAndRestartedGetsANewLoginAndSpotsResumeNoneListedTwice) {
    NodeStyle style;
    style.backlog = {OldSpot("JA1XYZ")};  // sent again on every login
    node_->SetStyle(style);
    StartBridge();
    ASSERT_TRUE(bridge_->WaitForLine("logged in to 127.0.0.1:")) << bridge_->Output();
    WaitForVantro32();
    node_->SendLine(Spot("JA1XYZ"));
    ASSERT_TRUE(Listed(ListLine("JA1XYZ", "14025.0", kJapanHeading, kJapanKm))) << Shown();

    const std::size_t killed = bridge_->LineCount();
    node_->Stop();
    ASSERT_TRUE(bridge_->WaitForLine("lost the node: ", killed)) << bridge_->Output();
    node_->Start();
    ASSERT_TRUE(node_->WaitForLogins(2, 30000)) << bridge_->Output();
    ASSERT_TRUE(bridge_->WaitForLine("logged in to 127.0.0.1:", killed)) << bridge_->Output();
    node_->SendLine(Spot("JA1XYZ", "14026.0"));
    node_->SendLine(Spot("W1AW", "7025.5", "FN42"));
    ASSERT_TRUE(Listed(ListLine("W1AW", "7025.5", kFn42Heading, kFn42Km))) << Shown();
    Sleep(1500);
    EXPECT_EQ(Lines().size(), 2u) << Shown();
}

// Vantro32 killed: its conversation never ends, but the bridge sees it gone, says so, and keeps
// the spots that come meanwhile for the next Vantro32 instead of publishing them to nobody.
TEST_F(ClusterBridgeTest, AKilledClientGetsNoSpotsAndTheNextOneGetsThoseThatCameMeanwhile) {
    StartBridge();
    ASSERT_TRUE(bridge_->WaitForLine("logged in to 127.0.0.1:")) << bridge_->Output();
    WaitForVantro32();
    node_->SendLine(Spot("JA1AAA"));
    ASSERT_TRUE(Listed(ListLine("JA1AAA", "14025.0", kJapanHeading, kJapanKm))) << Shown();

    const std::size_t killed = bridge_->LineCount();
    program_->Kill();
    ASSERT_TRUE(
        bridge_->WaitForLine("a client went away without ending its conversation", killed, 5000))
        << bridge_->Output();
    EXPECT_TRUE(bridge_->WaitForLine(
        std::string("the hot link on ") + host::kItem + " ended: spots wait", killed, 0));
    node_->SendLine(Spot("JA1AAB"));
    node_->SendLine(Spot("JA1AAC"));
    EXPECT_FALSE(bridge_->WaitForLine("published JA1AA", killed, 2000)) << bridge_->Output();

    const std::size_t restarted = bridge_->LineCount();
    program_ = std::make_unique<e2e::Program>();
    EXPECT_EQ(program_->Answer().text, e2e::kRotatorNotFound);
    ASSERT_TRUE(bridge_->WaitForLine(std::string("a client holds a hot link on ") + host::kItem,
                                     restarted, 20000))
        << bridge_->Output();
    EXPECT_TRUE(Listed(ListLine("JA1AAB", "14025.0", kJapanHeading, kJapanKm))) << Shown();
    EXPECT_TRUE(Listed(ListLine("JA1AAC", "14025.0", kJapanHeading, kJapanKm))) << Shown();
}

TEST_F(ClusterBridgeTest, ARefusedLoginIsSaidOnceAClosedOrSilentNodeIsLoggedIntoAgain) {
    NodeStyle refusing;
    refusing.refusal = "Sorry DL1ABC is an invalid callsign";
    node_->SetStyle(refusing);
    StartBridge("--keepalive-minutes 0.05");
    ASSERT_TRUE(bridge_->WaitForLine(
        "the node refused the login: \"Sorry DL1ABC is an invalid callsign\"; trying again in 3 s"))
        << bridge_->Output();
    Sleep(10000);  // two more attempts, refused alike
    node_->SetStyle(NodeStyle{});
    ASSERT_TRUE(node_->WaitForLogins(1, 40000)) << bridge_->Output();
    ASSERT_TRUE(bridge_->WaitForLine("logged in to 127.0.0.1:")) << bridge_->Output();
    const std::string said = bridge_->Output();
    std::size_t refusals = 0;
    for (std::size_t at = 0; (at = said.find("refused the login", at)) != std::string::npos; ++at)
        ++refusals;
    EXPECT_EQ(refusals, 1u) << said;

    // Three seconds without a word, and the bridge says an empty line, which the node answers.
    EXPECT_TRUE(e2e::WaitUntil([&] { return node_->LinesHeard() >= 2; })) << bridge_->Output();

    std::size_t from = bridge_->LineCount();
    node_->DropClient();
    ASSERT_TRUE(bridge_->WaitForLine("lost the node: the node closed the connection", from))
        << bridge_->Output();
    ASSERT_TRUE(node_->WaitForLogins(2, 20000)) << bridge_->Output();

    from = bridge_->LineCount();
    node_->Silence(true);
    ASSERT_TRUE(bridge_->WaitForLine("the node has said nothing for 9 s", from, 20000))
        << bridge_->Output();
    node_->Silence(false);
    ASSERT_TRUE(node_->WaitForLogins(3, 20000)) << bridge_->Output();
}

TEST_F(ClusterBridgeTest, AFloodKeepsMemoryBoundedListsTheNewestAndCountsWhatWasLetGo) {
    StartBridge("--max-age-minutes 0.1");
    ASSERT_TRUE(bridge_->WaitForLine("logged in to 127.0.0.1:")) << bridge_->Output();
    WaitForVantro32();
    node_->SendLine(Spot("JA1XYZ"));
    ASSERT_TRUE(Listed(ListLine("JA1XYZ", "14025.0", kJapanHeading, kJapanKm))) << Shown();
    const std::optional<SIZE_T> before = BridgeMemory();
    ASSERT_TRUE(before) << "the bridge's memory cannot be read";

    // 1,000 spots a second for 10 s, each call new.
    constexpr int kSpots = 10000;
    const ULONGLONG start = GetTickCount64();
    for (int sent = 0; sent < kSpots;) {
        const int due = static_cast<int>(std::min<ULONGLONG>(kSpots, GetTickCount64() - start));
        for (; sent < due; ++sent) node_->SendLine(Spot(NewCall(sent)));
        Sleep(5);
    }
    ASSERT_TRUE(Listed(ListLine(NewCall(kSpots - 1), "14025.0", kJapanHeading, kJapanKm), 30000))
        << Shown();
    const std::optional<SIZE_T> after = BridgeMemory();
    ASSERT_TRUE(after);
    std::cout << "the bridge's committed memory: " << *before / 1024 << " KB before the flood, "
              << *after / 1024 << " KB after it\n";
    // The spots let go are gone; what stays is the duplicate check's calls (10,000 here).
    EXPECT_LT(*after, *before + 8 * 1024 * 1024);
    ASSERT_TRUE(bridge_->WaitForLine("counts: received 10001, published ", 0, 30000))
        << bridge_->Output();
    const std::string said = bridge_->Output();
    const std::size_t counts = said.rfind("counts: received 10001");
    std::cout << said.substr(counts, said.find('\n', counts) - counts) << "\n";
    EXPECT_EQ(said.find("too old 0,", counts), std::string::npos) << said.substr(counts);
}

TEST_F(ClusterBridgeTest,
       SettingsComeFromTheFileBesideTheProgramUnlessTheCommandLineSaysOtherwise) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                         ("clusterbridge-" + std::to_string(GetCurrentProcessId()));
    std::filesystem::create_directories(folder);
    const std::filesystem::path exe = folder / "clusterbridge.exe";
    std::filesystem::copy_file(e2e::WindowsPath(CLUSTER_E2E_BRIDGE), exe,
                               std::filesystem::copy_options::overwrite_existing);
    const auto run = [&](const std::string& arguments) {
        auto process = std::make_unique<e2e::ConsoleProcess>(
            exe.string(), arguments, e2e::ConsoleProcess::Options{folder.string()});
        return process;
    };
    // A setting that cannot be used opens the settings dialog, which names it; Cancel ends the
    // program, and nothing was logged into.
    const auto refused = [&](e2e::ConsoleProcess& process, const std::string& problem) {
        const e2e::Hands window = process.WaitForWindow("clusterbridge");
        const std::optional<e2e::MessageBoxSeen> dialog = window.WaitForMessageBox();
        ASSERT_TRUE(dialog) << process.Output();
        EXPECT_EQ(dialog->title, "Cluster Bridge Settings");
        const e2e::Hands settings(window.ProcessId(), 0, dialog->dialog);
        if (!problem.empty()) {
            EXPECT_TRUE(e2e::WaitUntil([&] { return settings.Control(problem) != nullptr; }))
                << problem;
        }
        settings.Click(settings.Control("Cancel"));
        ASSERT_TRUE(process.WaitForExit()) << process.Output();
        EXPECT_EQ(process.ExitCode(), 0u);
        EXPECT_EQ(node_->Logins(), 0);
    };

    // No country file beside it: it says which and how to get one, and does not start.
    std::ofstream(folder / "clusterbridge.INI")
        << "[SETTINGS]\r\nNODE_HOST=127.0.0.1\r\nNODE_PORT=" << node_->Port()
        << "\r\nCALLSIGN=DL1ABC\r\nLOCATOR=JO62QM\r\n";
    auto failed = run("");
    EXPECT_TRUE(failed->WaitForLine("cty.dat: cannot be opened")) << failed->Output();
    EXPECT_TRUE(failed->WaitForLine("or name another with COUNTRY_FILE")) << failed->Output();
    EXPECT_TRUE(failed->WaitForLine("settings: COUNTRY_FILE: the country file cannot be used"))
        << failed->Output();
    refused(*failed, "");
    std::filesystem::copy_file(
        std::filesystem::path(e2e::WindowsPath(CLUSTER_E2E_BRIDGE)).parent_path() / "cty.dat",
        folder / "cty.dat", std::filesystem::copy_options::overwrite_existing);

    auto invalid = run("--units parsecs");
    EXPECT_TRUE(invalid->WaitForLine("settings: UNITS: give km or miles")) << invalid->Output();
    refused(*invalid, "Units: give km or miles");

    auto bridge = run("--callsign DL2XYZ");
    ASSERT_TRUE(bridge->WaitForLine("country file ")) << bridge->Output();
    EXPECT_TRUE(bridge->WaitForLine(", version 20")) << bridge->Output();
    ASSERT_TRUE(node_->WaitForLogins(1, 20000)) << bridge->Output();
    EXPECT_EQ(node_->Calls(), std::vector<std::string>{"DL2XYZ"});

    // Its window closed: the service is withdrawn and the program ends cleanly.
    bridge->WaitForWindow("clusterbridge").Close();
    ASSERT_TRUE(bridge->WaitForExit()) << bridge->Output();
    EXPECT_EQ(bridge->ExitCode(), 0u);
    EXPECT_TRUE(bridge->WaitForLine("closed")) << bridge->Output();
    win32io::DdeLink link;
    EXPECT_ANY_THROW(link.Connect(host::kService32, host::kTopic, host::kItem));
    bridge.reset();
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace cluster_e2e
