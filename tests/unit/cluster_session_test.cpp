// The cluster bridge's node session against a stand-in node on a simulated clock: the login
// dialogue in its variants, backlog, refusals said once, keep-alives, a silent node, a node that
// takes the connection over, and reconnection with a growing pause.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
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
    SessionState state = SessionState::Connecting;
    cluster::SessionStatus status;

    void Say(const std::string& line) override { said.push_back(line); }
    void Status(const cluster::SessionStatus& now) override {
        status = now;
        state = now.state;
    }
    void LiveSpot(const cluster::Spot& spot) override { spots.push_back(spot.dxCall); }
    void BacklogSpot() override { ++backlog; }

    int Saying(const std::string& text) const {
        return static_cast<int>(std::count_if(said.begin(), said.end(), [&](const std::string& s) {
            return s.find(text) != std::string::npos;
        }));
    }
};

class NodeSessionTest : public ::testing::Test {
  protected:
    static cluster::SessionTimes Times() {
        cluster::SessionTimes times;
        times.keepAlive = 60s;
        return times;
    }

    // Steps as the session's thread does, each Receive taking 100 ms, until `until`.
    void RunFor(Clock::duration span) {
        const Clock::time_point until = now_ + span;
        while (now_ < until) {
            const Clock::time_point due = session_.Step(now_);
            now_ = std::max(now_ + 100ms, std::min(due, until));
        }
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

    static std::string Spot(const std::string& call) {
        return "DX de W3LPL:     14025.0  " + call + "       CQ                 1234Z\r\n";
    }

    FakeNode node_;
    Recorder out_;
    cluster::SessionTimes times_ = Times();
    cluster::NodeSession session_{node_, out_, {{"node", "7300"}}, {"W1ABC", ""}, times_};
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

    Arrives("Hello W1ABC, sorry about last week's downtime\r\n" + Spot("JA1OLD") +
            "  14025.0  JA1XYZ  7-Dec-2026 1234Z  CQ  <W3LPL>\r\n");
    Arrives("W1ABC de SIM1 7-Dec-2026 0824Z dxspider >");  // no line end either
    RunFor(1s);
    EXPECT_EQ(out_.state, SessionState::Online) << Said();
    EXPECT_EQ(out_.backlog, 2);
    EXPECT_EQ(out_.Saying("node: Hello W1ABC"), 1);

    Arrives("\r\n" + Spot("JA1NEW") + "  14025.0  JA1XYZ  7-Dec-2026 1234Z  CQ  <W3LPL>\r\n");
    Arrives(std::string(3000, 'x') + "\r\n" + Spot("VK2ABC"));
    RunFor(1s);
    EXPECT_EQ(out_.spots, (std::vector<std::string>{"JA1NEW", "VK2ABC"}));
    EXPECT_EQ(out_.backlog, 3);
}

TEST_F(NodeSessionTest, APasswordIsSentWhenAskedAndItsAbsenceIsARefusal) {
    cluster::NodeSession withPassword{node_, out_, {{"node", "7300"}}, {"W1ABC", "secret"}, times_};
    withPassword.Step(now_);
    node_.incoming = {"Please enter your call: "};
    for (int i = 0; i < 10; ++i) withPassword.Step(now_ += 100ms);
    node_.incoming = {"password: "};
    for (int i = 0; i < 10; ++i) withPassword.Step(now_ += 100ms);
    EXPECT_EQ(node_.sent, "W1ABC\r\nsecret\r\n");

    // This one has none to give: it says so and does not pretend to be logged in.
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

    // Taken over by the same call elsewhere: said, and the pause starts small again.
    Arrives("Reconnected as W1ABC on another port, this instance is disconnected\r\n");
    RunFor(100ms);
    EXPECT_FALSE(node_.open);
    EXPECT_EQ(out_.Saying("the same call logged in elsewhere took this connection over; trying "
                          "again in 3 s"),
              1)
        << Said();
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
    cluster::NodeSession session{node_, out_, {{"a", "7300"}, {"b", "8000"}, {"c", "7300"}},
                                 {"W1ABC", ""}, times_};
    const auto run = [&](Clock::duration span) {
        for (const Clock::time_point until = now_ + span; now_ < until;)
            now_ = std::max(now_ + 100ms, std::min(session.Step(now_), until));
    };
    node_.reachable = false;
    run(100ms);
    EXPECT_EQ(out_.status.state, SessionState::Waiting);
    EXPECT_EQ(out_.status.node.Text(), "b:8000") << "the node tried next";
    EXPECT_EQ(out_.status.nextAttempt, now_ - 100ms + 3s);
    EXPECT_EQ(out_.status.problem, "cannot reach the node at a:7300: connection refused");
    EXPECT_EQ(out_.Saying("cannot reach the node at a:7300: connection refused; trying the node "
                          "at b:8000 in 3 s"),
              1)
        << Said();
    // Each soon after the other; after each round of them all, a pause that grows.
    run(30s);
    EXPECT_EQ(node_.nodesOpened,
              (std::vector<std::string>{"a:7300", "b:8000", "c:7300", "a:7300", "b:8000", "c:7300",
                                        "a:7300", "b:8000", "c:7300"}));
    EXPECT_EQ(out_.Saying("trying the node at a:7300 in 12 s"), 0) << "each problem said once";
    EXPECT_EQ(out_.Saying("cannot reach the node at"), 3) << Said();

    // a refuses the login, b takes it; b lost later is tried again first, as a node restarts.
    node_.nodesOpened.clear();
    node_.reachable = true;
    while (node_.nodesOpened.empty()) run(100ms);
    Arrives("login: ");
    run(1s);
    Arrives("Sorry W1ABC is not allowed here\r\n");
    node_.closeAfterIncoming = true;
    run(200ms);
    while (node_.nodesOpened.size() < 2) run(100ms);
    Arrives("login: ");
    run(1s);
    Arrives("W1ABC de B >\r\n");
    run(1s);
    EXPECT_EQ(out_.status.state, SessionState::Online);
    EXPECT_EQ(out_.status.node.Text(), "b:8000");
    EXPECT_EQ(out_.status.problem, "");
    node_.closeAfterIncoming = true;
    run(100ms);
    while (node_.nodesOpened.size() < 3) run(100ms);
    EXPECT_EQ(node_.nodesOpened, (std::vector<std::string>{"a:7300", "b:8000", "b:8000"}));

    // Leaving: "bye" to the node, and the connection closed.
    Arrives("login: ");
    run(1s);
    node_.sent.clear();
    session.Leave();
    EXPECT_EQ(node_.sent, "bye\r\n");
    EXPECT_FALSE(node_.open);
}

}  // namespace
