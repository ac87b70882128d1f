// The rotator simulator: how its rotator turns, and what a client linked to it sees.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "base/dde_names.h"
#include "base/failure.h"
#include "tests/dde/peer_process.h"
#include "tools/rotator_sim/rotator.h"
#include "win32io/dde_link.h"

namespace {

using test::PumpUntil;
namespace rotator = dde_names::rotator;

TEST(RotatorModelTest, TurnsAtItsSpeedToTheHeadingWithoutPassingNorth) {
    const struct {
        double from, speed, heading, seconds;
        int azimuth;
        bool moving;
    } cases[] = {
        {10, 6, 40, 1, 16, true},       {10, 6, 40, 10, 40, false},
        {40, 6, 10, 2, 28, true},       {350, 10, 10, 1, 340, true},  // the long way round
        {0, 6, 370, 100, 10, false},    {0, 6, -90, 100, 270, false},
        {359.6, 1, 359.6, 0, 0, false}, {90, 6, 90, 1, 90, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.from << " to " << c.heading);
        tools::Rotator rotator(c.from, c.speed);
        rotator.TurnTo(c.heading);
        rotator.Advance(c.seconds);
        EXPECT_EQ(rotator.Azimuth(), c.azimuth);
        EXPECT_EQ(rotator.Moving(), c.moving);
    }
}

class RotatorSimulatorTest : public ::testing::Test {
  protected:
    RotatorSimulatorTest() {
        link.onData = [this](const std::string& text) { reports.push_back(text); };
        link.Connect(rotator::kService, rotator::kTopic, rotator::kItem);
    }

    // The description of the failure of a poke, or nothing.
    std::optional<std::string> PokeFailure(const std::string& text) {
        try {
            link.Poke(text);
        } catch (const base::Failure& failure) {
            return failure.Description();
        }
        return std::nullopt;
    }

    test::PeerProcess rotator{
        "..\\tools\\rotator_sim\\rotator_sim.exe", "--azimuth 10 --speed 40",
        "offering " + dde_names::ItemAddress(rotator::kService, rotator::kTopic, rotator::kItem)};
    win32io::DdeLink link;
    std::vector<std::string> reports;
};

TEST_F(RotatorSimulatorTest, AnswersTheAzimuthQueryAndReportsAsItTurns) {
    EXPECT_EQ(PokeFailure("RA:"), std::nullopt);
    ASSERT_TRUE(PumpUntil([&] { return !reports.empty(); }));
    EXPECT_EQ(reports, std::vector<std::string>{"RA:10"});

    EXPECT_EQ(PokeFailure("GA:30"), std::nullopt);
    ASSERT_TRUE(rotator.Reported("stopped"));
    ASSERT_TRUE(PumpUntil([&] { return reports.back() == "RA:30"; }));
    // On its way in whole degrees, never back, and the end once.
    for (std::size_t i = 2; i < reports.size(); ++i)
        EXPECT_LT(std::stoi(reports[i - 1].substr(3)), std::stoi(reports[i].substr(3)));
    EXPECT_GE(reports.size(), 3u);
}

TEST_F(RotatorSimulatorTest, RefusesWhatIsNotACommandAndCanBeToldToRefuseOrHang) {
    for (const char* text : {"GA:north", "GA:", "XX:10", "RA:5"})
        EXPECT_EQ(PokeFailure(text), "Foreign application won't perform DDE method or operation")
            << text;

    rotator.Send("refuse");
    ASSERT_TRUE(rotator.Reported("pokes: refuse"));
    EXPECT_TRUE(PokeFailure("GA:20"));

    rotator.Send("silent");
    ASSERT_TRUE(rotator.Reported("pokes: silent"));
    EXPECT_EQ(PokeFailure("GA:20"), "Timeout while waiting for DDE response");
    rotator.Send("accept");
    ASSERT_TRUE(rotator.Reported("pokes: accept"));
    test::PumpFor(500);  // the late answer to the poke that timed out goes by
    EXPECT_EQ(PokeFailure("RA:"), std::nullopt);
    EXPECT_TRUE(link.Connected());
}

}  // namespace
