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

    bool Open() override {
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

    void Say(const std::string& line) override { said.push_back(line); }
    void State(SessionState now) override { state = now; }
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
    cluster::NodeSession session_{node_, out_, "node:7300", {"W1ABC", ""}, times_};
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
    cluster::NodeSession withPassword{node_, out_, "node:7300", {"W1ABC", "secret"}, times_};
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

}  // namespace
