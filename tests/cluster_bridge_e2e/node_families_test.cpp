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

tools::SimSpot Heard(const std::string& spotter, const std::string& kHz, const std::string& call,
                     const std::string& comment, int minutesAgo = 0) {
    return {spotter, kHz, call, comment, tools::UtcTime(minutesAgo)};
}

TEST_F(ClusterBridgeTest, DxSpider157AsMeasuredSkimmerSpotsAskedForAndUsersTextNeverSteers) {
    UseProfile("dxspider-1.57");
    StartBridge("--login-commands set/nobeep");
    ASSERT_TRUE(bridge_->WaitForLine("logged in to 127.0.0.1:")) << bridge_->Output();
    WaitForVantro32();
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
    ASSERT_TRUE(
        Counts("received 4, published 4, filtered 0, duplicates 0, too old 0, "
               "no country 0, backlog 0, unreadable 0"))
        << Shown();
    Sleep(1500);
    EXPECT_EQ(Lines(),
              (std::vector<std::string>{ListLine("JA1XYZ", "14025.0", kJapanHeading, kJapanKm),
                                        ListLine("SV1XYZ", "50313.0", kKm18Heading, kKm18Km),
                                        ListLine("K1ABC", "7012.0", kUsaHeading, kUsaKm),
                                        ListLine("JA2XYZ", "21025.0", kJapanHeading, kJapanKm)}))
        << Shown();
    EXPECT_EQ(node_->Logins(), 1) << "one login throughout";
}

TEST_F(ClusterBridgeTest, DxSpider155SpottersWithoutTheirColonAndCutColumns) {
    UseProfile("dxspider-1.55");
    StartBridge("--bands 20m,40m,3cm");
    ASSERT_TRUE(bridge_->WaitForLine("logged in to 127.0.0.1:")) << bridge_->Output();
    WaitForVantro32();
    node_->SendSpot(Heard("DL1ABC-2", "14025.0", "JA1XYZ", "cq test"));
    node_->SendSpot(Heard("DL8LAS-#", "7012.0", "K1ABC", "CW 24 dB 25 WPM CQ"));
    node_->SendSpot(Heard("DL1ABC-2", "10368100.0", "SV1XYZ", "KM18<ES>JO62 tnx"));
    node_->SendSpot(Heard("W3LPL", "14030.0", "VP2V/K9HZ/QRP", "up 2"));
    node_->SendSpot(Heard("W3LPL", "21025.0", "JA2XYZ", "cq"));  // not a band asked for
    node_->SendLine("DX de W3LPL:  14025.0  no call at all  1234Z");
    ASSERT_TRUE(
        Counts("received 5, published 4, filtered 1, duplicates 0, too old 0, "
               "no country 0, backlog 0, unreadable 1"))
        << Shown();
    Sleep(1500);
    // The old form cuts the DX call to 12: "VP2V/K9HZ/QR", still the same place.
    EXPECT_EQ(Lines(),
              (std::vector<std::string>{ListLine("JA1XYZ", "14025.0", kJapanHeading, kJapanKm),
                                        ListLine("K1ABC", "7012.0", kUsaHeading, kUsaKm),
                                        ListLine("SV1XYZ", "10368100.0", kKm18Heading, kKm18Km),
                                        ListLine("VP2V/K9HZ/QR", "14030.0", kUsaHeading, kUsaKm)}))
        << Shown();
}

TEST_F(ClusterBridgeTest, ArClusterLoginOldSpotsAreBacklogByTheirTime) {
    UseProfile("ar-cluster");
    NodeStyle style = tools::Profile("ar-cluster");
    style.backlog = {OldSpot("JA1OLD"), OldSpot("JA2OLD")};
    node_->SetStyle(style);
    StartBridge();
    ASSERT_TRUE(bridge_->WaitForLine("logged in to 127.0.0.1:")) << bridge_->Output();
    WaitForVantro32();
    node_->SendSpot(Heard("K1XX", "14025.0", "JA1XYZ", "cq"));
    node_->SendSpot(Heard("K1XX", "3799.0", "W1AW", "FN42 ssb"));
    node_->SendSpot(Heard("K1XX", "14026.0", "JA3OLD", "cq", 45));
    ASSERT_TRUE(
        Counts("received 2, published 2, filtered 0, duplicates 0, too old 0, "
               "no country 0, backlog 3, unreadable 0"))
        << Shown();
    Sleep(1500);
    EXPECT_EQ(Lines(),
              (std::vector<std::string>{ListLine("JA1XYZ", "14025.0", kJapanHeading, kJapanKm),
                                        ListLine("W1AW", "3799.0", kFn42Heading, kFn42Km)}))
        << Shown();
}

TEST_F(ClusterBridgeTest, CcClusterAsksTwiceAnswersSlowlyAndIsLoggedIntoOnce) {
    UseProfile("cc-cluster");
    StartBridge();
    ASSERT_TRUE(bridge_->WaitForLine("logged in to 127.0.0.1:")) << bridge_->Output();
    WaitForVantro32();
    node_->SendSpot(Heard("VE7CC", "14025.0", "JA1XYZ", "cq"));
    node_->SendSpot(Heard("VE7CC-#", "7012.0", "K1ABC", "CW 24 dB 25 WPM CQ"));
    ASSERT_TRUE(
        Counts("received 2, published 2, filtered 0, duplicates 0, too old 0, "
               "no country 0, backlog 0, unreadable 0"))
        << Shown();
    Sleep(1500);
    EXPECT_EQ(Lines(),
              (std::vector<std::string>{ListLine("JA1XYZ", "14025.0", kJapanHeading, kJapanKm),
                                        ListLine("K1ABC", "7012.0", kUsaHeading, kUsaKm)}))
        << Shown();
    const std::string said = bridge_->Output();
    EXPECT_EQ(Saying(said, "connected to 127.0.0.1:"), 1u) << said;
    EXPECT_EQ(Saying(said, "refused"), 0u) << said;
    EXPECT_EQ(node_->Calls(), std::vector<std::string>{"DL1ABC"});
}

TEST_F(ClusterBridgeTest, ASkimmerServerWithoutPromptLosesNoLiveSpot) {
    UseProfile("skimmer-server");
    StartBridge();
    WaitForVantro32();
    ASSERT_TRUE(node_->WaitForLogins(1, 20000)) << bridge_->Output();
    // Spots straight away, as a skimmer port sends them.
    node_->SendSpot(Heard("DL1ABC-#", "14025.0", "JA1XYZ", "CW 24 dB 25 WPM CQ"));
    node_->SendSpot(Heard("DL1ABC-#", "7012.0", "K1ABC", "CW 12 dB 22 WPM CQ"));
    node_->SendSpot(Heard("DL1ABC-#", "7013.0", "W1AW", "CW 12 dB 22 WPM CQ", 20));
    ASSERT_TRUE(
        Counts("received 2, published 2, filtered 0, duplicates 0, too old 0, "
               "no country 0, backlog 1, unreadable 0"))
        << Shown();
    Sleep(1500);
    EXPECT_EQ(Lines(),
              (std::vector<std::string>{ListLine("JA1XYZ", "14025.0", kJapanHeading, kJapanKm),
                                        ListLine("K1ABC", "7012.0", kUsaHeading, kUsaKm)}))
        << Shown();
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

TEST_F(ClusterBridgeTest, ACallTakenByTheStationsLoggerIsNotFoughtFor) {
    UseProfile("dxspider-1.57");
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
