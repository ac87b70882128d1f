// The whole job with the substitute peers, each a process of its own: the host simulator's spots
// are listed, a double-click on a station turns the rotator simulator, and labAz and the compass
// follow it to the heading.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "harness.h"
#include "panel_view.h"
#include "simulators.h"

namespace {

TEST(JobTest, AListedStationDoubleClickedTurnsTheRotatorAndTheWindowFollowsIt) {
    const e2e::FeedFile feed(e2e::SpotLine("JA1ABC", "21074.0", "30", "8900") +
                             e2e::SpotLine("PY2XX", "14025.5", "250", "10211"));
    e2e::RotatorSim rotator("--speed 60");
    e2e::HostSim host(feed, "--interval 100 --once");
    e2e::Program program;
    const HWND list = program.StationList();
    const HWND azimuth = e2e::AzimuthLabel(program);
    ASSERT_NE(azimuth, nullptr);

    // Both links up at once: no message, and the rotator was asked where it is.
    EXPECT_FALSE(program.WaitForMessageBox(500));
    ASSERT_TRUE(rotator.Received("RA:"));
    ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::TextOf(azimuth) == "0"; }));

    ASSERT_TRUE(e2e::WaitUntil([&] { return program.ListLines(list).size() == 2; }))
        << host.UpdatesSent() << " updates from the host";
    EXPECT_EQ(program.ListLines(list),
              (std::vector<std::string>{e2e::ListLine("JA1ABC", "21074.0", "30", "8900"),
                                        e2e::ListLine("PY2XX", "14025.5", "250", "10211")}));

    program.DoubleClickLine(list, 1);
    ASSERT_TRUE(rotator.Received("GA:250"));
    // labAz follows the reports on the way, never going back, to the heading.
    std::vector<int> shown{0};
    ASSERT_TRUE(e2e::WaitUntil([&] {
        const int now = std::atoi(e2e::TextOf(azimuth).c_str());
        if (now != shown.back()) shown.push_back(now);
        return now == 250;
    })) << "labAz "
        << e2e::TextOf(azimuth);
    ASSERT_TRUE(rotator.Reported("stopped"));

    const std::vector<int> published = rotator.Azimuths();
    ASSERT_GE(published.size(), 3u) << "the query's answer, some on the way and the end";
    EXPECT_EQ(published.back(), 250);
    for (std::size_t i = 1; i < shown.size(); ++i) {
        EXPECT_GT(shown[i], shown[i - 1]);
        EXPECT_NE(std::find(published.begin(), published.end(), shown[i]), published.end())
            << shown[i] << " was never published; " << testing::PrintToString(published);
    }
    EXPECT_GE(shown.size(), 3u) << "labAz showed no azimuth on the way";
    EXPECT_EQ(e2e::CompassView(program).WaitForPointer(250), "");
}

}  // namespace
