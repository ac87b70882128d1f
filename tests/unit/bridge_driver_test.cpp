// The bridge's driver against a stand-in rotctld on a simulated clock: turns, reports, refusals,
// and what happens when rotctld is missing, killed or restarted.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "bridge_fake_rotctld.h"
#include "bridges/rotator/core/rotator_driver.h"

namespace bridge_test {
namespace {

using namespace std::chrono_literals;

class Recorder : public rotbridge::DriverOutput {
  public:
    std::vector<std::string> said;
    std::vector<std::string> published;
    bool up = false;
    std::vector<rotbridge::DriverStatus> statuses;

    void Say(const std::string& line) override { said.push_back(line); }
    void Publish(const std::string& report) override { published.push_back(report); }
    void Status(const rotbridge::DriverStatus& status) override {
        statuses.push_back(status);
        up = status.connected;
    }
};

class BridgeDriverTest : public ::testing::Test {
  protected:
    // Runs the driver as its thread does: each step at the time the last one asked for.
    void Run(Clock::duration length) {
        const Clock::time_point end = rotctld.now + length;
        while (rotctld.now < end) {
            due = std::max(due, rotctld.now);
            if (due > end) {
                rotctld.now = end;
                break;
            }
            rotctld.now = due;
            due = driver.Step(rotctld.now);
            ASSERT_LT(++steps, 100000) << "the driver never waits";
        }
    }
    void Turn(const std::string& heading) {
        driver.Turn(heading, rotctld.now);
        due = rotctld.now;
    }
    bool Said(const std::string& part) const {
        return std::any_of(out.said.begin(), out.said.end(), [&](const std::string& line) {
            return line.find(part) != std::string::npos;
        });
    }
    std::string Saying() const {
        std::string all;
        for (const auto& line : out.said) all += line + "\n";
        return all;
    }
    int Degrees(const std::string& report) const { return std::stoi(report.substr(3)); }

    FakeRotctld rotctld;
    Recorder out;
    rotbridge::RotatorDriver driver{rotctld, out, "127.0.0.1:4533"};
    Clock::time_point due{};
    int steps = 0;
};

TEST_F(BridgeDriverTest, TurnsToTheHeadingReportingAFewTimesASecondThenFallsQuiet) {
    Run(2s);
    ASSERT_TRUE(out.up);
    ASSERT_EQ(out.published, std::vector<std::string>{"RA:0"});  // fresh position on connecting
    EXPECT_EQ(out.statuses.back().model, "Hamlib Dummy");
    EXPECT_EQ(out.statuses.back().azimuth, 0);
    Turn("90");
    EXPECT_EQ(out.statuses.back().turningTo, 90.0);
    Run(20s);
    // The window follows the turn to its end: each status says where the rotator is.
    EXPECT_EQ(out.statuses.back().azimuth, 90);
    EXPECT_EQ(out.statuses.back().turningTo, std::nullopt);
    EXPECT_GE(out.statuses.size(), 30u);

    EXPECT_EQ(rotctld.received.end()[-1], "p");
    EXPECT_EQ(std::count(rotctld.received.begin(), rotctld.received.end(), "P 90 0"), 1);
    ASSERT_GT(out.published.size(), 1u);
    EXPECT_EQ(out.published.back(), "RA:90");
    for (std::size_t i = 1; i < out.published.size(); ++i)
        EXPECT_LT(Degrees(out.published[i - 1]), Degrees(out.published[i]));
    // 90 degrees at 6 per second take 15 s; "a few a second" is at least two.
    EXPECT_GE(out.published.size(), 30u);
    EXPECT_TRUE(Said("GA:90 done")) << Saying();

    const auto reports = out.published.size();
    Run(30s);
    EXPECT_EQ(out.published.size(), reports) << "a still rotator is not reported";
}

TEST_F(BridgeDriverTest, HeadingsThatAreNotNumbersOrOutOfRangeAreRefusedAndNeverSent) {
    Run(1s);
    for (const char* heading : {"", "   ", "abc", "12a", "1e2", "nan", "inf", "0x10", "5 5", "--5",
                                "1.2.3", "500", "-181", "\xFF\x01"}) {
        const auto before = out.said.size();
        Turn(heading);
        Run(1s);
        ASSERT_EQ(out.said.size(), before + 1) << heading;
        EXPECT_EQ(out.said.back().rfind("refused GA:", 0), 0u) << out.said.back();
    }
    EXPECT_EQ(rotctld.SetCommands(), 0);
    EXPECT_TRUE(Said("is outside the rotator's range -180..450")) << Saying();
    EXPECT_TRUE(Said("GA:\\xFF\\x01")) << "unprintable bytes are shown, not written raw";
}

TEST_F(BridgeDriverTest, HeadingsAreSentWhereTheRotatorCanReachThem) {
    struct Case {
        rotbridge::AzimuthRange range;
        const char* heading;
        const char* command;
    };
    for (const Case& c : {Case{{-180, 450}, "400", "P 400 0"}, Case{{-180, 180}, "270", "P -90 0"},
                          Case{{0, 360}, " 45.5 ", "P 45.5 0"}, Case{{0, 360}, "360", "P 360 0"}}) {
        FakeRotctld fake;
        fake.range = c.range;
        Recorder recorder;
        rotbridge::RotatorDriver d(fake, recorder, "rotctld");
        d.Step(fake.now);
        d.Turn(c.heading, fake.now);
        d.Step(fake.now);
        EXPECT_EQ(fake.received.back(), c.command) << c.heading;
    }
}

TEST_F(BridgeDriverTest, PositionsOutsideTheCompassAreReportedAsZeroTo359) {
    for (const auto& [position, report] : std::vector<std::pair<double, std::string>>{
             {400.0, "RA:40"}, {-90.0, "RA:270"}, {359.6, "RA:0"}, {-180.0, "RA:180"}}) {
        rotctld.SetPosition(position);
        driver.Query(rotctld.now);
        due = rotctld.now;
        Run(1s);
        EXPECT_EQ(out.published.back(), report) << position;
    }
}

TEST_F(BridgeDriverTest, AQueryIsAnsweredEvenWhenThePositionHasNotChanged) {
    Run(5s);
    const auto reports = out.published.size();
    driver.Query(rotctld.now);
    due = rotctld.now;
    Run(1s);
    ASSERT_EQ(out.published.size(), reports + 1);
    EXPECT_EQ(out.published.back(), "RA:0");
}

TEST_F(BridgeDriverTest, ATurnStartedByAnotherClientIsReportedWhileItMoves) {
    Run(2s);
    rotctld.TurnFromElsewhere(30);
    Run(10s);
    EXPECT_EQ(out.published.back(), "RA:30");
    EXPECT_GT(out.published.size(), 5u);
}

TEST_F(BridgeDriverTest, WithoutRotctldATurnWaitsAndIsSentWhenItComesUp) {
    rotctld.Kill();
    Run(3s);
    EXPECT_FALSE(out.up);
    EXPECT_TRUE(Said("cannot reach rotctld at 127.0.0.1:4533 (connection refused)")) << Saying();
    Turn("45");
    Run(3s);
    EXPECT_TRUE(Said("GA:45 will be sent when it is back")) << Saying();
    EXPECT_EQ(std::count_if(out.said.begin(), out.said.end(),
                            [](const std::string& l) { return l.find("cannot reach") == 0; }),
              1)
        << "failed attempts are told once";

    rotctld.Restart();
    Run(10s);
    EXPECT_TRUE(out.up);
    EXPECT_TRUE(Said("connected to rotctld at 127.0.0.1:4533")) << Saying();
    EXPECT_EQ(rotctld.received.end()[-1], "p");
    EXPECT_EQ(out.published.back(), "RA:45");
}

TEST_F(BridgeDriverTest, KilledAndRestartedMidTurnItReconnectsAndFinishesTheTurn) {
    Run(1s);
    Turn("90");
    Run(5s);
    const double reached = rotctld.Position();
    ASSERT_GT(reached, 10.0);
    rotctld.Kill();
    Run(3s);
    EXPECT_FALSE(out.up);
    EXPECT_TRUE(Said("lost rotctld at 127.0.0.1:4533")) << Saying();
    EXPECT_TRUE(Said("GA:90 was interrupted")) << Saying();

    rotctld.Restart();  // its dummy rotator starts again from 0
    Run(25s);
    EXPECT_TRUE(out.up);
    EXPECT_TRUE(Said("reconnected to rotctld at 127.0.0.1:4533")) << Saying();
    EXPECT_TRUE(Said("sent again GA:90 as P 90 0")) << Saying();
    EXPECT_EQ(rotctld.SetCommands(), 2);
    EXPECT_EQ(out.published.back(), "RA:90");
    // After the restart the reports start again from where the new rotator is.
    const auto restart = std::find(out.published.begin(), out.published.end(), "RA:0");
    EXPECT_NE(restart, out.published.end());
}

TEST_F(BridgeDriverTest, ATurnThatCannotBeDeliveredForLongIsDroppedAndSaidSo) {
    Run(1s);
    rotctld.Kill();
    Turn("45");
    Run(31s);
    EXPECT_TRUE(Said("GA:45 dropped")) << Saying();
    rotctld.Restart();
    Run(5s);
    EXPECT_TRUE(out.up);
    EXPECT_EQ(rotctld.SetCommands(), 0);
}

TEST_F(BridgeDriverTest, AWaitingTurnReplacedByANewerOneIsSaidSo) {
    rotctld.Kill();
    Turn("45");
    Turn("60");
    EXPECT_TRUE(Said("GA:45 was never sent: replaced by GA:60")) << Saying();
    rotctld.Restart();
    Run(20s);
    EXPECT_EQ(rotctld.SetCommands(), 1);
    EXPECT_EQ(out.published.back(), "RA:60");
}

TEST_F(BridgeDriverTest, ARefusalByRotctldIsReported) {
    rotctld.refusesSet = true;
    Run(1s);
    Turn("45");
    Run(1s);
    EXPECT_TRUE(Said("rotctld refused P 45 0 for GA:45: RPRT -1 (invalid parameter)")) << Saying();
    EXPECT_TRUE(out.up) << "a refusal is no reason to reconnect";
}

TEST_F(BridgeDriverTest, WithoutARangeFromRotctldHeadingsStayWithinTheCompass) {
    rotctld.tellsRange = false;
    Run(1s);
    EXPECT_TRUE(Said("did not give its azimuth range")) << Saying();
    Turn("400");
    Run(1s);
    EXPECT_TRUE(Said("400 is outside the rotator's range 0..360")) << Saying();
    EXPECT_EQ(rotctld.SetCommands(), 0);
}

TEST_F(BridgeDriverTest, APeerThatAnswersSomethingElseIsDroppedAndTriedAgain) {
    Run(1s);
    rotctld.answersGarbage = true;
    Turn("45");
    Run(1s);
    EXPECT_FALSE(out.up);
    EXPECT_TRUE(Said("unexpected answer \"Caps dump for model: 1\"")) << Saying();
    rotctld.answersGarbage = false;
    Run(3s);
    EXPECT_TRUE(out.up);
    EXPECT_EQ(rotctld.received.back(), "p");
    EXPECT_TRUE(Said("sent GA:45 as P 45 0")) << Saying();
}

TEST_F(BridgeDriverTest, AQueryWhileRotctldIsDownIsAnsweredOnceItIsBack) {
    rotctld.Kill();
    Run(2s);
    rotctld.SetPosition(123);
    driver.Query(rotctld.now);
    EXPECT_TRUE(Said("RA: will be answered when it is back")) << Saying();
    EXPECT_TRUE(out.published.empty());
    rotctld.Restart();
    rotctld.SetPosition(123);
    Run(3s);
    EXPECT_EQ(out.published, std::vector<std::string>{"RA:123"});
}

}  // namespace
}  // namespace bridge_test
