// The cluster bridge's node session against a stand-in node on a simulated clock: the login
// dialogue in its variants, backlog, refusals said once, keep-alives, a silent node, a node that
// takes the connection over, and reconnection with a growing pause.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "bridges/cluster/core/node_session.h"

namespace {

using namespace std::chrono_literals;
using cluster::Clock;
using cluster::SessionState;

class FakeNode : public cluster::NodeConnection {
  public:
    bool reachable = true;
    bool open = false;
    int opened = 0;
    std::string sent;                  // everything sent on the current connection
    std::deque<std::string> incoming;  // one chunk per Receive
    bool closeAfterIncoming = false;

    std::vector<std::string> nodesOpened;

    bool Open(const cluster::NodeAddress& node) override {
        nodesOpened.push_back(node.Text());
        if (!reachable) return false;
        open = true;
        ++opened;
        sent.clear();
        return true;
    }
    void Close() override {
        open = false;
        incoming.clear();
        closeAfterIncoming = false;
    }
    bool Send(std::string_view bytes) override {
        sent += bytes;
        return open;
    }
    std::optional<std::string> Receive() override {
        if (!open) return std::nullopt;
        if (incoming.empty()) {
            if (closeAfterIncoming) return std::nullopt;
            return std::string();
        }
        std::string chunk = std::move(incoming.front());
        incoming.pop_front();
        return chunk;
    }
    std::string LastError() const override { return reachable ? "closed" : "connection refused"; }
};

class Recorder : public cluster::SessionOutput {
  public:
    std::vector<std::string> said;
    std::vector<std::string> spots;  // DX calls
    int backlog = 0;
    int unreadable = 0;
    SessionState state = SessionState::Connecting;
    cluster::SessionStatus status;

    void Say(const std::string& line) override { said.push_back(line); }
    void Status(const cluster::SessionStatus& now) override {
        status = now;
        state = now.state;
    }
    void LiveSpot(const cluster::Spot& spot) override { spots.push_back(spot.dxCall); }
    void BacklogSpot() override { ++backlog; }
    void UnreadableSpot() override { ++unreadable; }

    int Saying(const std::string& text) const {
        return static_cast<int>(std::count_if(said.begin(), said.end(), [&](const std::string& s) {
            return s.find(text) != std::string::npos;
        }));
    }
};

class NodeSessionTest : public ::testing::Test {
  protected:
    NodeSessionTest() { Use({"W1ABC", ""}); }

    static cluster::SessionTimes Times() {
        cluster::SessionTimes times;
        times.keepAlive = 60s;
        return times;
    }

    // A session of its own, for another login or other nodes.
    void Use(cluster::Login login, std::vector<cluster::NodeAddress> nodes = {{"node", "7300"}}) {
        session_ = std::make_unique<cluster::NodeSession>(
            node_, out_, std::move(nodes), std::move(login), times_, [this](Clock::time_point now) {
                // 12:34 UTC when the test starts, unless it moves the clock.
                return std::chrono::sys_days{std::chrono::December / 7 / 2026} + 12h + 34min +
                       utcShift_ +
                       std::chrono::duration_cast<std::chrono::system_clock::duration>(
                           now.time_since_epoch());
            });
    }

    // Steps as the session's thread does, each Receive taking 100 ms, until `until`.
    void RunFor(Clock::duration span) {
        const Clock::time_point until = now_ + span;
        while (now_ < until) {
            const Clock::time_point due = session_->Step(now_);
            now_ = std::max(now_ + 100ms, std::min(due, until));
        }
    }

    void RunUntilOpened(int count) {
        while (node_.opened < count) RunFor(100ms);
    }

    void Arrives(const std::string& bytes) { node_.incoming.push_back(bytes); }

    void LogIn() {
        RunFor(1s);
        Arrives("login: ");
        RunFor(1s);
        Arrives("\r\nW1ABC de SIM1 7-Dec-2026 0824Z dxspider >\r\n");
        RunFor(1s);
        ASSERT_EQ(out_.state, SessionState::Online) << Said();
    }

    std::string Said() const {
        std::string all;
        for (const std::string& line : out_.said) all += line + "\n";
        return all;
    }

    static std::string Spot(const std::string& call, const std::string& time = "1234",
                            const std::string& comment = "CQ") {
        return "DX de W3LPL:     14025.0  " + call + "       " + comment + "          " + time +
               "Z\r\n";
    }

    FakeNode node_;
    Recorder out_;
    cluster::SessionTimes times_ = Times();
    std::chrono::minutes utcShift_{0};
    std::unique_ptr<cluster::NodeSession> session_;
    Clock::time_point now_{};
};

TEST_F(NodeSessionTest, APromptWithoutLineEndIsAnsweredAfterAQuietMomentAndBacklogIsNotPublished) {
    RunFor(500ms);
    // Telnet negotiation, a bell and a greeting, then the prompt in two pieces.
    Arrives("\xff\xfb\x01\xff\xfd\x18\aWelcome\n\r\n\rlog");
    Arrives("in: ");
    RunFor(150ms);
    EXPECT_EQ(node_.sent, "\xff\xfe\x01\xff\xfc\x18") << "only the refusals so far";
    RunFor(500ms);
    EXPECT_EQ(node_.sent, "\xff\xfe\x01\xff\xfc\x18W1ABC\r\n");

    Arrives("Hello W1ABC, sorry about last week's downtime\r\n" + Spot("JA1OLD", "1034") +
            "  14025.0  JA1XYZ  7-Dec-2026 1234Z  CQ  <W3LPL>\r\n");
    Arrives("W1ABC de SIM1 7-Dec-2026 0824Z dxspider >");  // no line end either
    RunFor(1s);
    EXPECT_EQ(out_.state, SessionState::Online) << Said();
    EXPECT_EQ(out_.backlog, 2);
    EXPECT_EQ(out_.Saying("node: Hello W1ABC"), 1);

    Arrives("\r\n" + Spot("JA1NEW") + "  14025.0  JA1XYZ  7-Dec-2026 1234Z  CQ  <W3LPL>\r\n");
    Arrives(std::string(3000, 'x') + "\r\n" + Spot("VK2ABC"));
    Arrives("DX de " + std::string(3000, 'x') + "\r\n");
    RunFor(1s);
    EXPECT_EQ(out_.spots, (std::vector<std::string>{"JA1NEW", "VK2ABC"}));
    EXPECT_EQ(out_.backlog, 3);
    EXPECT_EQ(out_.unreadable, 1) << "an over-long spot line is counted";
}

TEST_F(NodeSessionTest, APasswordIsSentWhenAskedAndItsAbsenceIsARefusal) {
    Use({"W1ABC", "secret"});
    RunFor(100ms);
    Arrives("Please enter your call: ");
    RunFor(1s);
    Arrives("password: ");
    RunFor(1s);
    EXPECT_EQ(node_.sent, "W1ABC\r\nsecret\r\n");

    // This one has none to give: it says so and does not pretend to be logged in.
    node_.Close();
    Use({"W1ABC", ""});
    RunFor(1s);
    Arrives("login: ");
    RunFor(1s);
    Arrives("password: ");
    RunFor(1s);
    EXPECT_FALSE(node_.open);
    EXPECT_EQ(out_.Saying("the node asks for a password: set PASSWORD; trying again in 3 s"), 1)
        << Said();
}

TEST_F(NodeSessionTest, ARefusalIsSaidOnceAndTriedAgainWithAGrowingPauseUntilTheNodeTakesTheLogin) {
    std::vector<Clock::time_point> attempts;
    for (int i = 0; i < 6; ++i) {
        const int opened = node_.opened;
        while (node_.opened == opened) RunFor(100ms);
        attempts.push_back(now_);
        Arrives("login: ");
        RunFor(1s);
        Arrives("Sorry W1ABC is an invalid callsign\r\n");
        node_.closeAfterIncoming = true;
        RunFor(200ms);
    }
    EXPECT_EQ(out_.Saying("the node refused the login: \"Sorry W1ABC is an invalid callsign\""), 1)
        << Said();
    std::vector<long long> pauses;
    for (std::size_t i = 1; i < attempts.size(); ++i)
        pauses.push_back(
            std::chrono::duration_cast<std::chrono::seconds>(attempts[i] - attempts[i - 1])
                .count());
    // 3, 6, 12, 24, 48 s after each refusal (and the second the refusal took).
    EXPECT_EQ(pauses, (std::vector<long long>{4, 7, 13, 25, 49})) << Said();

    const int opened = node_.opened;
    while (node_.opened == opened) RunFor(100ms);
    EXPECT_GE(now_ - attempts.back(), 60s) << "the pause stops growing at a minute";
    Arrives("login: ");
    RunFor(1s);
    Arrives("W1ABC de SIM1 >\r\n");
    RunFor(1s);
    EXPECT_EQ(out_.state, SessionState::Online);

    // Lost later: the pause starts small again.
    node_.closeAfterIncoming = true;
    RunFor(100ms);
    EXPECT_EQ(out_.Saying("lost the node: closed; trying again in 3 s"), 1) << Said();
}

TEST_F(NodeSessionTest, ANodeWithoutPromptsIsLoggedIntoAnywayAndASilentOneIsLeft) {
    RunFor(16s);
    EXPECT_EQ(node_.sent, "W1ABC\r\n");
    EXPECT_EQ(out_.Saying("no login prompt in 15 s: sending W1ABC anyway"), 1);
    RunFor(16s);
    EXPECT_EQ(out_.state, SessionState::Online);
    EXPECT_EQ(out_.Saying("taking the login as accepted"), 1);

    // Quiet both ways: an empty line after a minute; nothing back for three: gone.
    node_.sent.clear();
    RunFor(61s);
    EXPECT_EQ(node_.sent, "\r\n");
    RunFor(2min);
    EXPECT_FALSE(node_.open);
    EXPECT_EQ(out_.Saying("the node has said nothing for 180 s"), 1) << Said();
}

TEST_F(NodeSessionTest, AnUnreachableNodeIsSaidOnceAndTheBridgeLogsInAgainWhenItIsBack) {
    LogIn();
    node_.closeAfterIncoming = true;
    node_.reachable = false;
    RunFor(2min);
    EXPECT_EQ(out_.Saying("lost the node: connection refused; trying again in 3 s"), 1) << Said();
    EXPECT_EQ(out_.Saying("cannot reach the node at node:7300: connection refused"), 1) << Said();
    EXPECT_EQ(out_.state, SessionState::Waiting);

    node_.reachable = true;
    const int opened = node_.opened;
    while (node_.opened == opened) RunFor(100ms);
    Arrives("login: ");
    RunFor(1s);
    Arrives("W1ABC de SIM1 >\r\n" + Spot("JA1XYZ"));
    RunFor(1s);
    EXPECT_EQ(out_.spots, (std::vector<std::string>{"JA1XYZ"}));
    EXPECT_EQ(out_.Saying("logged in to node:7300 as W1ABC"), 2) << Said();
}

TEST_F(NodeSessionTest, BackupNodesAreTriedInTurnTheStatusNamesTheNodeAndLeavingSaysBye) {
    Use({"W1ABC", ""}, {{"a", "7300"}, {"b", "8000"}, {"c", "7300"}});
    node_.reachable = false;
    RunFor(100ms);
    EXPECT_EQ(out_.status.state, SessionState::Waiting);
    EXPECT_EQ(out_.status.node.Text(), "b:8000") << "the node tried next";
    EXPECT_EQ(out_.status.nextAttempt, now_ - 100ms + 3s);
    EXPECT_EQ(out_.status.problem, "cannot reach the node at a:7300: connection refused");
    EXPECT_EQ(out_.Saying("cannot reach the node at a:7300: connection refused; trying the node "
                          "at b:8000 in 3 s"),
              1)
        << Said();
    // Each soon after the other; after each round of them all, a pause that grows.
    RunFor(30s);
    EXPECT_EQ(node_.nodesOpened,
              (std::vector<std::string>{"a:7300", "b:8000", "c:7300", "a:7300", "b:8000", "c:7300",
                                        "a:7300", "b:8000", "c:7300"}));
    EXPECT_EQ(out_.Saying("cannot reach the node at"), 3) << "each problem said once";

    // a refuses the login, b takes it; b lost later is tried again first, as a node restarts.
    node_.nodesOpened.clear();
    node_.reachable = true;
    while (node_.nodesOpened.empty()) RunFor(100ms);
    Arrives("login: ");
    RunFor(1s);
    Arrives("Sorry W1ABC is not allowed here\r\n");
    node_.closeAfterIncoming = true;
    RunFor(200ms);
    while (node_.nodesOpened.size() < 2) RunFor(100ms);
    Arrives("login: ");
    RunFor(1s);
    Arrives("W1ABC de B >\r\n");
    RunFor(1s);
    EXPECT_EQ(out_.status.state, SessionState::Online);
    EXPECT_EQ(out_.status.node.Text(), "b:8000");
    EXPECT_EQ(out_.status.problem, "");
    node_.closeAfterIncoming = true;
    RunFor(100ms);
    while (node_.nodesOpened.size() < 3) RunFor(100ms);
    EXPECT_EQ(node_.nodesOpened, (std::vector<std::string>{"a:7300", "b:8000", "b:8000"}));

    // Leaving: "bye" to the node, and the connection closed.
    Arrives("login: ");
    RunFor(1s);
    node_.sent.clear();
    session_->Leave();
    EXPECT_EQ(node_.sent, "bye\r\n");
    EXPECT_FALSE(node_.open);
}

TEST_F(NodeSessionTest, EachFamilysLoginDialogueEndsLoggedIn) {
    struct Family {
        const char* name;
        std::vector<std::string> beforeCall;  // chunks, each a Receive
        std::vector<std::string> afterCall;
    };
    const Family families[] = {
        // CC-Cluster: the call asked twice in one go, the answer most of a second later.
        {"CC-Cluster",
         {"Please enter your call: \r\n\r\nlogin: "},
         {"", "", "", "", "", "", "", "",
          "\r\nHello W1ABC\r\nW1ABC de VE7CC-1 07-Dec-2026 1234Z >\r\n"}},
        {"AR-Cluster",
         {"AR-Cluster node K1XX-3\r\n", "Please enter your call: "},
         {"Welcome W1ABC\r\n", "W1ABC de K1XX-3 12-Jul 1855Z arc >"}},
        {"DXSpider",
         {"login: "},
         {"Hello W1ABC\r\nW1ABC de N0CALL-2  7-Dec-2026 1234Z dxspider >\r\n"}},
        // A skimmer server: no prompt line, its spots straight away.
        {"skimmer server",
         {"CW Skimmer Server\r\n", "Please enter your callsign: "},
         {"Hello W1ABC\r\n" +
          std::string("DX de W1ABC-#:  14025.0  K1ABC  CW 24 dB 25 WPM CQ  1234Z\r\n")}},
        {"aggregator",
         {"callsign:"},
         {"DX de W3LPL-#:   7012.0  K1ABC  CW 9 dB 22 WPM CQ  1233Z\r\n"}},
    };
    for (const Family& family : families) {
        node_.Close();
        out_ = Recorder();
        Use({"W1ABC", ""});
        const int opened = node_.opened;
        RunUntilOpened(opened + 1);
        for (const std::string& chunk : family.beforeCall) Arrives(chunk);
        RunFor(1s);
        EXPECT_EQ(node_.sent, "W1ABC\r\n") << family.name;
        for (const std::string& chunk : family.afterCall) Arrives(chunk);
        RunFor(2s);
        EXPECT_EQ(out_.state, SessionState::Online) << family.name << "\n" << Said();
        EXPECT_EQ(node_.sent, "W1ABC\r\n") << family.name << ": the call sent once";
        EXPECT_EQ(node_.opened, opened + 1) << family.name << ": one connection";
        EXPECT_EQ(out_.backlog, 0) << family.name;
        EXPECT_EQ(out_.spots.size(), std::string(family.name) == "skimmer server" ||
                                             std::string(family.name) == "aggregator"
                                         ? 1u
                                         : 0u)
            << family.name << ": a node without a prompt loses no live spot";
    }

    // Asked for the call again after saying something else: that is a refusal.
    node_.Close();
    out_ = Recorder();
    Use({"W1ABC", ""});
    RunUntilOpened(node_.opened + 1);
    Arrives("login: ");
    RunFor(1s);
    Arrives("\r\nW1ABC is an invalid callsign\r\nlogin: ");
    RunFor(1s);
    EXPECT_FALSE(node_.open);
    EXPECT_EQ(out_.Saying("the node refused the login: it asked for the call again after "
                          "\"W1ABC is an invalid callsign\"; trying again in 3 s"),
              1)
        << Said();
}

TEST_F(NodeSessionTest, OnlyTheNodesOwnLineGivesTheCallAwayAndTheBridgeDoesNotFightForIt) {
    LogIn();
    // Text any user can send: an announcement, a talk line, a spot's comment.
    Arrives("To ALL de G4ABC: Contest this weekend, reconnected as usual\a\a\r\n");
    Arrives(
        "W1ABC de G4ABC-2: Reconnected as W1ABC at 127.0.0.1, this instance is "
        "disconnected\r\n");
    Arrives(Spot("JA1XYZ", "1234", "Reconnected as W1ABC"));
    RunFor(1s);
    // And the node's own words with the connection kept.
    Arrives("Reconnected as W1ABC at 127.0.0.1, this instance is disconnected\r\n");
    Arrives(Spot("JA1ABC"));
    RunFor(2s);
    EXPECT_TRUE(node_.open);
    EXPECT_EQ(out_.state, SessionState::Online);
    EXPECT_EQ(out_.spots, (std::vector<std::string>{"JA1XYZ", "JA1ABC"}));

    // The node's line, and the connection closed: the call is logged in elsewhere.
    Arrives("Reconnected as W1ABC at 127.0.0.1, this instance is disconnected\r\n");
    node_.closeAfterIncoming = true;
    RunFor(200ms);
    EXPECT_FALSE(node_.open);
    EXPECT_EQ(out_.status.state, SessionState::Waiting);
    EXPECT_GE(out_.status.nextAttempt - now_, 9min + 59s);
    EXPECT_EQ(out_.Saying("the node says \"Reconnected as W1ABC at 127.0.0.1, this instance is "
                          "disconnected\": the call W1ABC is logged in elsewhere"),
              1)
        << Said();
    EXPECT_EQ(out_.Saying("waits 600 s before trying again. Give the bridge an SSID of its own, "
                          "such as W1ABC-2 (CALLSIGN=W1ABC-2), and both stay logged in"),
              1)
        << Said();
    EXPECT_EQ(out_.status.problem.find("the node says"), 0u);
    // A logger that takes the call back 5 s after each bump is not bumped for ten minutes.
    const int opened = node_.opened;
    RunFor(9min + 50s);
    EXPECT_EQ(node_.opened, opened);
    RunUntilOpened(opened + 1);
    Arrives("login: ");
    RunFor(1s);
    Arrives(
        "W1ABC de SIM1 >\r\nReconnected as W1ABC at 127.0.0.1, this instance is "
        "disconnected\r\n");
    node_.closeAfterIncoming = true;
    RunFor(1s);
    EXPECT_GE(out_.status.nextAttempt - now_, 19min + 58s) << "and longer each time";

    // A node that refuses the newer login instead: the same.
    RunUntilOpened(opened + 2);
    Arrives("login: ");
    RunFor(1s);
    Arrives("Sorry, W1ABC is already connected\r\n");
    node_.closeAfterIncoming = true;
    RunFor(1s);
    EXPECT_EQ(out_.Saying("the node says \"Sorry, W1ABC is already connected\": the call W1ABC "
                          "is logged in elsewhere"),
              1)
        << Said();
    EXPECT_GE(out_.status.nextAttempt - now_, 39min + 58s);
}

TEST_F(NodeSessionTest, ASpotIsLiveOrBacklogByItsOwnTimeWheneverItComes) {
    LogIn();
    // 12:37 UTC now: up to five minutes old, or two ahead, is live.
    utcShift_ = 3min;
    Arrives(Spot("JA1AA", "1237") + Spot("JA1AB", "1232") + Spot("JA1AC", "1231") +
            Spot("JA1AD", "1239") + Spot("JA1AE", "1240") + Spot("JA1AF", "0237") +
            "  14025.0  JA1AG  7-Dec-2026 1237Z  CQ  <W3LPL>\r\n");
    RunFor(1s);
    EXPECT_EQ(out_.spots, (std::vector<std::string>{"JA1AA", "JA1AB", "JA1AD"}));
    EXPECT_EQ(out_.backlog, 4);

    // Across midnight.
    utcShift_ = 11h + 28min;  // 00:02 UTC
    Arrives(Spot("JA1BA", "2359") + Spot("JA1BB", "0003") + Spot("JA1BC", "2350"));
    RunFor(1s);
    EXPECT_EQ(out_.spots, (std::vector<std::string>{"JA1AA", "JA1AB", "JA1AD", "JA1BA", "JA1BB"}));
    EXPECT_EQ(out_.backlog, 5);

    // Every spot old for a while: this computer's clock is doubted, once.
    for (int i = 0; i < 30; ++i) Arrives(Spot("JA1C" + std::string(1, char('A' + i % 26)), "2302"));
    Arrives("DX de W1ABC: 14025.0 JA1XYZ CQ 25:99Z\r\n");
    RunFor(5s);
    EXPECT_EQ(out_.Saying("the last 20 spots were all older than this computer's clock (UTC now "
                          "0002Z, the last spot 2302Z), and are counted as backlog"),
              1)
        << Said();
    EXPECT_EQ(out_.backlog, 35);
    EXPECT_EQ(out_.unreadable, 1);
    EXPECT_EQ(out_.Saying("a spot line the bridge cannot read: \"DX de W1ABC: 14025.0 JA1XYZ CQ "
                          "25:99Z\""),
              1);
}

TEST_F(NodeSessionTest, LoginCommandsGoOneByOneAfterEachLoginEachAfterTheNodesAnswer) {
    Use({"W1ABC", "", {"set/skimmer", "set/nobeep", "accept/spots on hf/cw"}});
    LogIn();
    EXPECT_EQ(node_.sent, "W1ABC\r\nset/skimmer\r\n");
    Arrives("RBN/Skimming set to ALL MODES for W1ABC\r\nW1ABC de SIM1 >\r\n");
    RunFor(1s);
    EXPECT_EQ(node_.sent, "W1ABC\r\nset/skimmer\r\nset/nobeep\r\n");
    // No answer: the next one after a while.
    RunFor(3s);
    EXPECT_EQ(node_.sent, "W1ABC\r\nset/skimmer\r\nset/nobeep\r\n");
    RunFor(2s);
    EXPECT_EQ(node_.sent, "W1ABC\r\nset/skimmer\r\nset/nobeep\r\naccept/spots on hf/cw\r\n");
    Arrives("W1ABC de SIM1 >\r\n");
    RunFor(10s);
    EXPECT_EQ(out_.Saying("to the node: "), 3);

    // Every login gets them.
    node_.closeAfterIncoming = true;
    RunUntilOpened(2);
    Arrives("login: ");
    RunFor(1s);
    Arrives("W1ABC de SIM1 >\r\n");
    RunFor(1s);
    EXPECT_EQ(node_.sent, "W1ABC\r\nset/skimmer\r\n");
}

}  // namespace
