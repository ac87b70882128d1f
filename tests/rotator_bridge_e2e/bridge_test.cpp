// The bridge end to end: Hamlib's rotctld with its dummy rotator, rotbridge.exe in front of it on
// the rotator link, a host publishing spots, and Vantro32 driven as a user would.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <set>
#include <string>

#include "base/dde_names.h"
#include "base/failure.h"
#include "console_process.h"
#include "dummy_rotctld.h"
#include "harness.h"
#include "host_server.h"
#include "unix_path.h"
#include "win32io/dde_link.h"

namespace bridge_e2e {
namespace {

using e2e::PixelsX;
using e2e::PixelsY;

constexpr double kPi = 3.14159265358979323846;

class BridgeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(bridge_.WaitForLine("connected to rotctld")) << bridge_.Output();
        program_ = std::make_unique<e2e::Program>();
        // labAz inside fraRotator, and the compass picture, found by their design places.
        azimuth_ = program_->ControlAt({PixelsX(4560 + 120 + 270), PixelsY(1815 + 120)});
        compass_ = program_->ControlAt({PixelsX(4560 + 60 + 700), PixelsY(240 + 700)});
        ASSERT_NE(azimuth_, nullptr);
        ASSERT_NE(compass_, nullptr);
        // Vantro32 asks for the azimuth when its rotator link comes up; the bridge answers.
        ASSERT_TRUE(e2e::WaitUntil([&] { return Azimuth() == "0"; }))
            << "labAz: " << Azimuth() << "\n"
            << bridge_.Output();
    }

    std::string Azimuth() const { return e2e::TextOf(azimuth_); }
    // A status line of the bridge's own window.
    std::string BridgeShows(const std::string& label) const {
        return e2e::TextOf(bridgeWindow_.ControlAfter(label));
    }

    // What the window and the bridge show, for failure messages.
    std::string State() {
        const HWND go = program_->Control("&Go");
        std::string state = "labAz \"" + Azimuth() + "\", Go " +
                            (go && IsWindowVisible(go) ? "shown" : "hidden") + ", selected line " +
                            std::to_string(program_->SelectedIndex(program_->StationList())) + "\n";
        return state + bridge_.Output();
    }

    // Lists the spots and waits until the list shows them all.
    void ListSpots(const std::string& spots, std::size_t count) {
        host_.Publish(spots);
        ASSERT_TRUE(e2e::WaitUntil([&] {
            return program_->ListLines(program_->StationList()).size() == count;
        })) << "the spots were not listed";
    }

    // Waits until labAz shows the text, noting every value it shows meanwhile.
    bool AzimuthReaches(const std::string& text, std::set<std::string>& seen, DWORD limitMs) {
        return e2e::WaitUntil(
            [&] {
                const std::string now = Azimuth();
                seen.insert(now);
                return now == text;
            },
            limitMs);
    }

    // The direction the compass pointer shows: the mean direction of the light red pixels on a
    // circle through the pointer's arrowhead. Nothing when there is no pointer.
    std::optional<double> CompassDirection() const {
        const SIZE size = e2e::ClientSize(compass_);
        const double cx = size.cx / 2.0, cy = size.cy / 2.0;
        const double radius = 0.65 * cx - 1 - PixelsX(150);  // the pointer's fill starts here
        double sumX = 0, sumY = 0;
        int red = 0;
        for (int degrees = 0; degrees < 360; degrees += 2) {
            const double a = degrees * kPi / 180;
            const POINT at{static_cast<LONG>(std::lround(cx + radius * std::sin(a))),
                           static_cast<LONG>(std::lround(cy - radius * std::cos(a)))};
            if (e2e::PixelAt(compass_, at) != RGB(255, 0, 0)) continue;
            sumX += std::sin(a);
            sumY += std::cos(a);
            ++red;
        }
        if (red == 0) return std::nullopt;
        const double mean = std::atan2(sumX, sumY) * 180 / kPi;
        return mean < 0 ? mean + 360 : mean;
    }

    static double AngleBetween(double a, double b) {
        const double d = std::fmod(std::abs(a - b), 360.0);
        return d > 180 ? 360 - d : d;
    }

    DummyRotctld rotctld_;
    e2e::ConsoleProcess bridge_{e2e::WindowsPath(BRIDGE_E2E_BRIDGE),
                                "127.0.0.1:" + std::to_string(rotctld_.Port())};
    HostServer host_;
    std::unique_ptr<e2e::Program> program_;
    HWND azimuth_ = nullptr;
    HWND compass_ = nullptr;
    e2e::Hands bridgeWindow_ = bridge_.WaitForWindow("rotbridge");
};

TEST_F(BridgeTest, ADoubleClickedSpotTurnsTheRotatorWhileTheAzimuthAndCompassFollow) {
    ListSpots(HostServer::Spot("JUNK", "14025.0", "abc", "1") +
                  HostServer::Spot("OH2XYZ", "14025.0", "30", "1550"),
              2);
    const HWND list = program_->StationList();

    // A heading that is not a number is refused by the bridge and never reaches rotctld.
    program_->DoubleClickLine(list, 0);
    ASSERT_TRUE(bridge_.WaitForLine("refused GA:abc: the heading is not a number")) << State();

    // The bridge's window names the rotator as rotctld does, and shows Vantro32's link.
    EXPECT_EQ(BridgeShows("Rotator:"), "Hamlib Dummy");
    EXPECT_TRUE(e2e::WaitUntil([&] { return BridgeShows("Vantro32:").starts_with("holds"); }))
        << BridgeShows("Vantro32:");

    program_->DoubleClickLine(list, 1);
    ASSERT_TRUE(bridge_.WaitForLine("sent GA:30 as P 30 0")) << bridge_.Output();
    // While the dummy rotator turns, the window shows where to and where it is on the way.
    EXPECT_TRUE(e2e::WaitUntil([&] { return BridgeShows("Turning to:") == "30 degrees"; }))
        << BridgeShows("Turning to:");
    std::set<std::string> shown;
    EXPECT_TRUE(e2e::WaitUntil([&] {
        shown.insert(BridgeShows("Azimuth:"));
        return shown.size() >= 3;
    })) << BridgeShows("Azimuth:");
    std::set<std::string> seen;
    ASSERT_TRUE(AzimuthReaches("30", seen, 30000)) << "labAz: " << Azimuth() << "\n"
                                                   << bridge_.Output();
    // Reports came on the way, not just at the end.
    seen.erase("0");
    seen.erase("30");
    EXPECT_GE(seen.size(), 3u);
    EXPECT_TRUE(bridge_.WaitForLine("GA:30 done")) << bridge_.Output();
    EXPECT_TRUE(e2e::WaitUntil([&] { return BridgeShows("Turning to:") == "not turning"; }));
    EXPECT_EQ(BridgeShows("Azimuth:"), "30 degrees");

    const auto there = rotctld_.Azimuth();
    ASSERT_TRUE(there);
    EXPECT_NEAR(*there, 30.0, 0.5);
    const auto pointer = CompassDirection();
    ASSERT_TRUE(pointer) << "no pointer on the compass";
    EXPECT_LT(AngleBetween(*pointer, 30.0), 8.0) << "the compass points at " << *pointer;
}

TEST_F(BridgeTest, RotctldKilledAndRestartedMidTurnTheBridgeReconnectsAndTheTurnEnds) {
    ListSpots(HostServer::Spot("JA1ABC", "21074.0", "60", "8900"), 1);
    program_->DoubleClickLine(program_->StationList(), 0);
    ASSERT_TRUE(bridge_.WaitForLine("sent GA:60 as P 60 0")) << State();
    ASSERT_TRUE(e2e::WaitUntil([&] { return std::atoi(Azimuth().c_str()) >= 12; }))
        << bridge_.Output();

    rotctld_.Kill();
    ASSERT_TRUE(bridge_.WaitForLine("lost rotctld at 127.0.0.1:")) << bridge_.Output();
    EXPECT_TRUE(bridge_.WaitForLine("the turn to GA:60 was interrupted")) << bridge_.Output();
    const int before = std::atoi(Azimuth().c_str());

    const std::size_t restart = bridge_.LineCount();
    rotctld_.Start();  // a new dummy rotator, at 0
    ASSERT_TRUE(bridge_.WaitForLine("reconnected to rotctld at 127.0.0.1:", restart))
        << bridge_.Output();
    EXPECT_TRUE(bridge_.WaitForLine("sent again GA:60 as P 60 0", restart)) << bridge_.Output();

    std::set<std::string> seen;
    ASSERT_TRUE(AzimuthReaches("60", seen, 40000)) << "labAz: " << Azimuth() << "\n"
                                                   << bridge_.Output();
    // labAz followed the new rotator back from near 0.
    EXPECT_TRUE(std::any_of(seen.begin(), seen.end(), [&](const std::string& shown) {
        return std::atoi(shown.c_str()) < before;
    }));
    const auto there = rotctld_.Azimuth();
    ASSERT_TRUE(there);
    EXPECT_NEAR(*there, 60.0, 0.5);
    const auto pointer = CompassDirection();
    ASSERT_TRUE(pointer);
    EXPECT_LT(AngleBetween(*pointer, 60.0), 8.0) << "the compass points at " << *pointer;
}

// The bridge as any DDE client and the user at its window meet it: a heading that is not a
// number is refused at the poke itself, so the sender sees it, and a huge one changes nothing;
// closing the window withdraws the service (the client's link closes), joins the driver's thread
// and ends the program in order.
TEST(BridgeWindowTest, RefusesAHeadingThatIsNotANumberAtThePokeAndEndsInOrderWhenClosed) {
    DummyRotctld rotctld;
    e2e::ConsoleProcess bridge(e2e::WindowsPath(BRIDGE_E2E_BRIDGE),
                               "127.0.0.1:" + std::to_string(rotctld.Port()));
    ASSERT_TRUE(bridge.WaitForLine("connected to rotctld")) << bridge.Output();
    win32io::DdeLink link;
    bool closed = false;
    link.onClose = [&] { closed = true; };
    link.Connect(dde_names::rotator::kService, dde_names::rotator::kTopic,
                 dde_names::rotator::kItem);

    EXPECT_THROW(link.Poke("GA:abc"), base::Failure);
    EXPECT_TRUE(bridge.WaitForLine("refused GA:abc: the heading is not a number"));
    // A poke far larger than any command: refused on Windows; under Wine the bridge cannot even
    // receive it. Either way the bridge goes on. (The link itself may still be busy with the big
    // poke for a moment after giving up on it, and refuse to start another meanwhile.)
    EXPECT_THROW(link.Poke("GA:" + std::string(3 << 20, '9')), base::Failure);
    EXPECT_TRUE(e2e::WaitUntil([&] {
        try {
            link.Poke("GA:10");
            return true;
        } catch (const base::Failure&) {
            return false;
        }
    })) << bridge.Output();
    EXPECT_TRUE(bridge.WaitForLine("sent GA:10 as P 10 0")) << bridge.Output();

    bridge.WaitForWindow("rotbridge").Close();
    ASSERT_TRUE(bridge.WaitForExit()) << bridge.Output();
    EXPECT_EQ(bridge.ExitCode(), 0u);
    EXPECT_TRUE(bridge.Output().ends_with(" closed\n")) << bridge.Output();
    EXPECT_TRUE(e2e::WaitUntil([&] { return closed; })) << "the service was not withdrawn";
}

}  // namespace
}  // namespace bridge_e2e
