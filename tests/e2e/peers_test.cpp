// The window with both peers present: the test plays the host and the rotator program. The list's
// keys and clicks, the Go button and the compass, as the real controls carry them.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "base/dde_names.h"
#include "harness.h"
#include "win32io/dde_server.h"

namespace {

using e2e::PixelsX;
using e2e::PixelsY;

// A spot as the host sends it: fields split by the byte 255, the line ended by CR LF. Its beam
// heading is 47 degrees.
const char kSpot[] =
    "DL1AA\xFFK1ABC\xFF"
    "14025.0\xFF"
    "0\xFF"
    "1234Z\xFF"
    "47\xFF"
    "7311\xFF"
    "0\r\n";

class PeersTest : public ::testing::Test {
  protected:
    PeersTest() {
        rotator_.onPoke = [this](const std::string&, const std::string& text) {
            commands_.push_back(text);
            return win32io::DdeServer::PokeReply::Accept;
        };
    }

    void SetUp() override {
        program_.emplace();
        // The rotator link is up once the program has asked for the azimuth.
        ASSERT_TRUE(e2e::WaitUntil([&] { return !commands_.empty(); })) << "no rotator link";
        ASSERT_EQ(commands_.front(), "RA:");
        commands_.clear();
    }

    bool Commanded(std::size_t count) {
        return e2e::WaitUntil([&] { return commands_.size() >= count; });
    }

    // A control of the rotator frame, by its design place.
    HWND InFrame(float left, float top) const {
        return program_->ControlAt({PixelsX(4560 + left) + 3, PixelsY(top) + 3});
    }

    // A point of the compass picture's inner area, in the window's.
    POINT InCompass(int x, int y) const {
        return {PixelsX(4560 + 60) + 1 + x, PixelsY(240) + 1 + y};
    }

    win32io::DdeServer host_{dde_names::host::kService, dde_names::host::kTopic};
    win32io::DdeServer rotator_{dde_names::rotator::kService, dde_names::rotator::kTopic};
    std::vector<std::string> commands_;
    std::optional<e2e::Program> program_;
};

TEST_F(PeersTest, LinkIndicatorsAreLightGreen) {
    const HWND window = program_->Window();
    const COLORREF lightGreen = RGB(0, 255, 0);
    EXPECT_TRUE(e2e::ShowsColor(window, {PixelsX(1800 + 120), PixelsY(1920 + 112)}, lightGreen));
    EXPECT_TRUE(e2e::ShowsColor(window, {PixelsX(4080 + 120), PixelsY(1920 + 112)}, lightGreen));
}

TEST_F(PeersTest, DoubleClickAndEnterOnAStationTurnTheRotator) {
    const HWND list = program_->StationList();
    ASSERT_NE(list, nullptr);
    host_.Publish(dde_names::host::kItem, kSpot);
    ASSERT_TRUE(e2e::WaitUntil([&] { return program_->ListLines(list).size() == 1; }));
    EXPECT_EQ(program_->SelectedIndex(list), 0);

    program_->DoubleClickLine(list, 0);
    EXPECT_TRUE(Commanded(1)) << "double-click";
    program_->PressEnter(list);
    EXPECT_TRUE(Commanded(2)) << "Enter";
    EXPECT_EQ(commands_, (std::vector<std::string>{"GA:47", "GA:47"}));
}

TEST_F(PeersTest, GoButtonSendsTheManualHeadingByClickAndByItsAccessKey) {
    const HWND go = program_->Control("&Go");
    ASSERT_NE(go, nullptr);
    EXPECT_TRUE(IsWindowVisible(go));

    program_->Click(go);
    EXPECT_TRUE(Commanded(1)) << "click";

    const HWND bar = program_->ControlOfClass("ScrollBar");
    program_->PressKey(bar, VK_NEXT);
    ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::TextOf(InFrame(780, 1815)) == "15"; }));
    program_->PressAltKey('g');
    EXPECT_TRUE(Commanded(2)) << "Alt+G";
    EXPECT_EQ(commands_, (std::vector<std::string>{"GA:0", "GA:15"}));
}

TEST_F(PeersTest, AzimuthReportIsShownAndPointedAtOnTheCompass) {
    const HWND azimuth = InFrame(120, 1815);
    // Just inside the pointer's tip side and the same distance on the other side of the centre.
    const int centreX = PixelsX(1425) / 2, centreY = PixelsY(1485) / 2, reach = 20;
    const COLORREF lightRed = RGB(255, 0, 0), lightCyan = RGB(0, 255, 255);

    rotator_.Publish(dde_names::rotator::kItem, "RA:90");
    ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::TextOf(azimuth) == "90"; }));
    const HWND window = program_->Window();
    EXPECT_TRUE(e2e::ShowsColor(window, InCompass(centreX + reach, centreY), lightRed));
    EXPECT_EQ(e2e::PixelAt(window, InCompass(centreX - reach, centreY)), lightCyan);

    // A new report leaves one pointer: the old one is painted over.
    rotator_.Publish(dde_names::rotator::kItem, "RA:270");
    ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::TextOf(azimuth) == "270"; }));
    EXPECT_TRUE(e2e::ShowsColor(window, InCompass(centreX - reach, centreY), lightRed));
    EXPECT_EQ(e2e::PixelAt(window, InCompass(centreX + reach, centreY)), lightCyan);
}

}  // namespace
