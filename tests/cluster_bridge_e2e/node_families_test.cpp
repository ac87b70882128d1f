// The cluster bridge against each family of node programs the network has, as the simulator
// plays them: the login, the forms of their spots, what they send that is no spot, and a second
// login with the same call. Each scenario checks what Vantro32 lists and the bridge's counts.
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "bridge_fixture.h"

namespace cluster_e2e {
namespace {

// Every line the bridge said that holds the text.
std::size_t Saying(const std::string& output, const std::string& text) {
    std::size_t count = 0;
    for (std::size_t at = 0; (at = output.find(text, at)) != std::string::npos; ++at) ++count;
    return count;
}

// A family's node, the bridge logged into it and Vantro32 holding the bridge's link.
class NodeFamilyTest : public ClusterBridgeTest {
  protected:
    void LogInTo(const NodeStyle& node, const std::string& settings = "") {
        UseNode(node);
        StartBridge(settings);
        ASSERT_TRUE(bridge_->WaitForLine("logged in to 127.0.0.1:")) << bridge_->Output();
        WaitForVantro32();
    }

    // The counts the bridge says, and then exactly these lines listed.
    void ExpectListed(const std::string& counts, const std::vector<std::string>& lines) {
        ASSERT_TRUE(Counts(counts)) << Shown();
        Sleep(1500);  // anything more would be listed by now
        EXPECT_EQ(Lines(), lines) << Shown();
    }
};

tools::SimSpot Heard(const std::string& spotter, const std::string& kHz, const std::string& call,
                     const std::string& comment, int minutesAgo = 0) {
    return {spotter, kHz, call, comment, tools::UtcTime(minutesAgo)};
}

TEST_F(NodeFamilyTest, DxSpider157AsMeasuredSkimmerSpotsAskedForAndUsersTextNeverSteers) {
    LogInTo(tools::Profile("dxspider-1.57"), "--login-commands set/nobeep");
    ASSERT_TRUE(e2e::WaitUntil([&] { return node_->LinesHeard() >= 2; })) << bridge_->Output();
    EXPECT_EQ(node_->Heard(), (std::vector<std::string>{"set/skimmer", "set/nobeep"}));

    node_->SendSpot(Heard("N1SPOT", "14025.0", "JA1XYZ", "cq test"));
    node_->SendSpot(Heard("G4ABC", "50313.0", "SV1XYZ", "KM18<ES>IO91 ft8"));
    node_->SendSpot(Heard("W3LPL-#", "7012.0", "K1ABC", "CW 24 dB 25 WPM CQ"));
    node_->SendLine("To ALL de G4ABC: Contest this weekend, reconnected as usual");
    node_->SendLine("DL1ABC de G4ABC: hello there");
    node_->SendLine(
        "DL1ABC de G4ABC-2: Reconnected as DL1ABC at 127.0.0.1, this instance is "
        "disconnected");
    Sleep(2000);
    node_->SendSpot(Heard("N1SPOT", "21025.0", "JA2XYZ", "cq"));
    ExpectListed(
        "received 4, published 4, filtered 0, duplicates 0, too old 0, "
        "no country 0, backlog 0, unreadable 0",
        std::vector<std::string>{ListLine("JA1XYZ", "14025.0", kJapanHeading, kJapanKm),
                                 ListLine("SV1XYZ", "50313.0", kKm18Heading, kKm18Km),
                                 ListLine("K1ABC", "7012.0", kUsaHeading, kUsaKm),
                                 ListLine("JA2XYZ", "21025.0", kJapanHeading, kJapanKm)});
    EXPECT_EQ(node_->Logins(), 1) << "one login throughout";
}

TEST_F(NodeFamilyTest, DxSpider155SpottersWithoutTheirColonAndCutColumns) {
    LogInTo(tools::Profile("dxspider-1.55"), "--bands 20m,40m,3cm");
    node_->SendSpot(Heard("DL1ABC-2", "14025.0", "JA1XYZ", "cq test"));
    node_->SendSpot(Heard("DL8LAS-#", "7012.0", "K1ABC", "CW 24 dB 25 WPM CQ"));
    node_->SendSpot(Heard("DL1ABC-2", "10368100.0", "SV1XYZ", "KM18<ES>JO62 tnx"));
    node_->SendSpot(Heard("W3LPL", "14030.0", "VP2V/K9HZ/QRP", "up 2"));
    node_->SendSpot(Heard("W3LPL", "21025.0", "JA2XYZ", "cq"));  // not a band asked for
    node_->SendLine("DX de W3LPL:  14025.0  no call at all  1234Z");
    // The old form cuts the DX call to 12: "VP2V/K9HZ/QR", still the same place.
    ExpectListed(
        "received 5, published 4, filtered 1, duplicates 0, too old 0, "
        "no country 0, backlog 0, unreadable 1",
        std::vector<std::string>{ListLine("JA1XYZ", "14025.0", kJapanHeading, kJapanKm),
                                 ListLine("K1ABC", "7012.0", kUsaHeading, kUsaKm),
                                 ListLine("SV1XYZ", "10368100.0", kKm18Heading, kKm18Km),
                                 ListLine("VP2V/K9HZ/QR", "14030.0", kUsaHeading, kUsaKm)});
}

TEST_F(NodeFamilyTest, ArClusterLoginOldSpotsAreBacklogByTheirTime) {
    NodeStyle style = tools::Profile("ar-cluster");
    style.backlog = {OldSpot("JA1OLD"), OldSpot("JA2OLD")};
    LogInTo(style);
    node_->SendSpot(Heard("K1XX", "14025.0", "JA1XYZ", "cq"));
    node_->SendSpot(Heard("K1XX", "3799.0", "W1AW", "FN42 ssb"));
    node_->SendSpot(Heard("K1XX", "14026.0", "JA3OLD", "cq", 45));
    ExpectListed(
        "received 2, published 2, filtered 0, duplicates 0, too old 0, "
        "no country 0, backlog 3, unreadable 0",
        std::vector<std::string>{ListLine("JA1XYZ", "14025.0", kJapanHeading, kJapanKm),
                                 ListLine("W1AW", "3799.0", kFn42Heading, kFn42Km)});
}

TEST_F(NodeFamilyTest, CcClusterAsksTwiceAnswersSlowlyAndIsLoggedIntoOnce) {
    LogInTo(tools::Profile("cc-cluster"));
    node_->SendSpot(Heard("VE7CC", "14025.0", "JA1XYZ", "cq"));
    node_->SendSpot(Heard("VE7CC-#", "7012.0", "K1ABC", "CW 24 dB 25 WPM CQ"));
    ExpectListed(
        "received 2, published 2, filtered 0, duplicates 0, too old 0, "
        "no country 0, backlog 0, unreadable 0",
        std::vector<std::string>{ListLine("JA1XYZ", "14025.0", kJapanHeading, kJapanKm),
                                 ListLine("K1ABC", "7012.0", kUsaHeading, kUsaKm)});
    const std::string said = bridge_->Output();
    EXPECT_EQ(Saying(said, "connected to 127.0.0.1:"), 1u) << said;
    EXPECT_EQ(Saying(said, "refused"), 0u) << said;
    EXPECT_EQ(node_->Calls(), std::vector<std::string>{"DL1ABC"});
}

TEST_F(NodeFamilyTest, ASkimmerServerWithoutPromptLosesNoLiveSpot) {
    UseNode(tools::Profile("skimmer-server"));
    StartBridge();
    WaitForVantro32();
    ASSERT_TRUE(node_->WaitForLogins(1, 20000)) << bridge_->Output();
    // Spots straight away, as a skimmer port sends them.
    node_->SendSpot(Heard("DL1ABC-#", "14025.0", "JA1XYZ", "CW 24 dB 25 WPM CQ"));
    node_->SendSpot(Heard("DL1ABC-#", "7012.0", "K1ABC", "CW 12 dB 22 WPM CQ"));
    node_->SendSpot(Heard("DL1ABC-#", "7013.0", "W1AW", "CW 12 dB 22 WPM CQ", 20));
    ExpectListed(
        "received 2, published 2, filtered 0, duplicates 0, too old 0, "
        "no country 0, backlog 1, unreadable 0",
        std::vector<std::string>{ListLine("JA1XYZ", "14025.0", kJapanHeading, kJapanKm),
                                 ListLine("K1ABC", "7012.0", kUsaHeading, kUsaKm)});
}

// The station's logging program on the same node with the same call: it logs in, and when the
// node gives its call to another login it logs in again 5 s later, as the logger measured did.
class Logger {
  public:
    Logger(int port, std::string call)
        : thread_([this, port, call = std::move(call)] { Run(port, call); }) {}
    ~Logger() {
        stopping_ = true;
        thread_.join();
    }
    int Logins() const { return logins_; }

  private:
    void Run(int port, const std::string& call) {
        while (!stopping_) {
            win32io::TcpConnection node("the node", "127.0.0.1", std::to_string(port), 2000);
            if (node.Open()) {
                std::string heard;
                for (int i = 0; i < 50 && !stopping_ && heard.find("login: ") == std::string::npos;
                     ++i)
                    heard += node.Receive(100).value_or("");
                node.Send(call + "\r\n", 2000);
                ++logins_;
                while (!stopping_ && node.Receive(100)) {
                }
            }
            for (int i = 0; i < 50 && !stopping_; ++i) Sleep(100);
        }
    }

    std::atomic<bool> stopping_{false};
    std::atomic<int> logins_{0};
    std::thread thread_;
};

TEST_F(NodeFamilyTest, ACallTakenByTheStationsLoggerIsNotFoughtFor) {
    UseNode(tools::Profile("dxspider-1.57"));
    StartBridge();
    ASSERT_TRUE(bridge_->WaitForLine("logged in to 127.0.0.1:")) << bridge_->Output();
    const Logger logger(node_->Port(), "DL1ABC");
    ASSERT_TRUE(
        bridge_->WaitForLine("the node says \"Reconnected as DL1ABC at 127.0.0.1, this "
                             "instance is disconnected\": the call DL1ABC is logged in "
                             "elsewhere"))
        << bridge_->Output();
    EXPECT_TRUE(bridge_->WaitForLine("such as DL1ABC-2 (CALLSIGN=DL1ABC-2)")) << bridge_->Output();
    // Measured before: the bridge took the call back 3 s after each bump, the logger 5 s after
    // its own, 9 times in 90 s.
    Sleep(30000);
    EXPECT_EQ(node_->Bumps(), 1) << bridge_->Output();
    EXPECT_EQ(logger.Logins(), 1);
    EXPECT_EQ(node_->Logins(), 2);
    EXPECT_EQ(Saying(bridge_->Output(), "logged in to 127.0.0.1:"), 1u) << bridge_->Output();
}

}  // namespace
}  // namespace cluster_e2e
