// The rotator panel as the user sees it: the compass rose at start-up, the pointer at the
// reported azimuth (which stays through a minimise and another window passing over it), and the
// scroll bar's ends and steps by mouse. Both peers are played by the test, so no start-up message
// stands in front of the panel; the rotator's reports move the pointer. Screenshots of the panel
// are left in BUILD/screenshots.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "dde_servers.h"
#include "harness.h"
#include "panel_view.h"
#include "screen_image.h"

namespace {

using e2e::CompassView;
using e2e::ScreenImage;

class CompassTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // Linked means start-up is over and the rose drawn.
        ASSERT_TRUE(rotator_.WaitForPokes(1)) << "no rotator link";
        compass_.emplace(program_);
    }

    // Cells around the four letters: beside the circle, where only a letter is blue.
    struct Cell {
        const char* letter;
        RECT area;
    };
    std::vector<Cell> LetterCells(const ScreenImage& image) const {
        const int w = image.Width(), h = image.Height(), cx = w / 2, cy = h / 2;
        return {{"W", {0, cy - 8, 15, cy + 8}},
                {"E", {w - 19, cy - 8, w - 3, cy + 8}},
                {"N", {cx - 8, 2, cx + 8, 16}},
                {"S", {cx - 8, h - 16, cx + 8, h - 3}}};
    }

    std::string Save(const ScreenImage& image, const std::string& name) const {
        const std::string path = e2e::ScreenshotFolder() + "\\" + name;
        EXPECT_TRUE(image.SavePng(path)) << path;
        return path;
    }
    ScreenImage Panel() const {
        return ScreenImage::OfScreen(e2e::WindowRect(e2e::RotatorFrame(program_)));
    }

    // A report from the rotator program, waited for until the label shows it.
    void Report(const std::string& azimuth) {
        rotator_.Publish("RA:" + azimuth);
        const HWND label = e2e::AzimuthLabel(program_);
        ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::TextOf(label) == azimuth; })) << azimuth;
    }

    e2e::PeerLog log_;
    e2e::HostPeer host_{log_};
    e2e::RotatorPeer rotator_{log_};
    e2e::Program program_;
    std::optional<CompassView> compass_;
};

TEST_F(CompassTest, RoseAtStartUpHasItsLettersAndNoPointer) {
    std::optional<ScreenImage> image;
    const int cx = e2e::ClientSize(compass_->Picture()).cx / 2;
    const int cy = e2e::ClientSize(compass_->Picture()).cy / 2;
    ASSERT_TRUE(e2e::WaitUntil([&] {
        image = compass_->Take();
        return image->At(cx, cy) == e2e::kLightCyan;
    })) << "no light cyan disc at the centre";
    EXPECT_FALSE(image->AnyIn({0, 0, image->Width(), image->Height()}, e2e::kLightRed))
        << "a pointer before any report";
    for (const Cell& cell : LetterCells(*image))
        EXPECT_TRUE(image->AnyIn(cell.area, e2e::kBlue)) << cell.letter << " is not blue";
    Save(Panel(), "compass-start.png");
}

TEST_F(CompassTest, PointerFollowsReportsAndStaysThroughRepaints) {
    const ScreenImage atStart = compass_->Take();
    for (int heading : {45, 135, 200, 300}) {
        ASSERT_NO_FATAL_FAILURE(Report(std::to_string(heading)));
        EXPECT_EQ(compass_->WaitForPointer(heading), "") << heading;
        Save(Panel(), "compass-" + std::to_string(heading) + ".png");
    }
    // Redraws touch the disc only.
    const ScreenImage after = compass_->Take();
    for (const Cell& cell : LetterCells(atStart))
        for (int y = cell.area.top; y < cell.area.bottom; ++y)
            for (int x = cell.area.left; x < cell.area.right; ++x)
                ASSERT_EQ(after.At(x, y), atStart.At(x, y))
                    << cell.letter << " at " << x << "," << y;

    program_.Minimize();
    ASSERT_TRUE(e2e::WaitUntil([&] { return IsIconic(program_.Window()) != FALSE; }));
    program_.Restore();
    ASSERT_TRUE(e2e::WaitUntil([&] { return !IsIconic(program_.Window()); }));
    EXPECT_EQ(compass_->WaitForPointer(300), "") << "after minimise and restore";

    // A window of another program over the compass, then gone.
    const RECT under = e2e::WindowRect(compass_->Picture());
    const HWND cover =
        CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP | WS_VISIBLE,
                        under.left - 10, under.top - 10, under.right - under.left + 20,
                        under.bottom - under.top + 20, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(cover, nullptr);
    const POINT centre = compass_->Toward(0, 0);
    EXPECT_TRUE(e2e::WaitUntil([&] {
        return compass_->Take().At(centre.x, centre.y) != e2e::kLightCyan;
    })) << "the cover never showed";
    DestroyWindow(cover);
    EXPECT_EQ(compass_->WaitForPointer(300), "") << "after a window passed over it";

    // A heading beyond single precision: shown as it came, the disc without a pointer.
    ASSERT_NO_FATAL_FAILURE(Report("1E39"));
    EXPECT_TRUE(e2e::WaitUntil([&] {
        const ScreenImage image = compass_->Take();
        return !image.AnyIn({0, 0, image.Width(), image.Height()}, e2e::kLightRed);
    })) << "a pointer for a heading that cannot be drawn";
    EXPECT_TRUE(program_.Running());
}

// The scroll bar by mouse, as Windows' own control takes the clicks and the drag.
class ScrollBarMouse {
  public:
    explicit ScrollBarMouse(HWND bar) : bar_(bar), size_(e2e::ClientSize(bar)) {}

    void ClickTopArrow() const { Click(3); }
    void ClickBottomArrow() const { Click(size_.cy - 4); }
    void ClickTroughBelowThumb(int value) const { Click((ThumbTop(value) + Thumb() + End()) / 2); }
    void ClickTroughAboveThumb(int value) const { Click((Arrow() + ThumbTop(value)) / 2); }
    // The drag: press on the thumb where the value puts it, move, release.
    int PressThumb(int value) const {
        const int y = ThumbTop(value) + Thumb() / 2;
        Post(WM_LBUTTONDOWN, MK_LBUTTON, y);
        return y;
    }
    void MoveTo(int y) const { Post(WM_MOUSEMOVE, MK_LBUTTON, y); }
    void Release(int y) const { Post(WM_LBUTTONUP, 0, y); }
    int Height() const { return size_.cy; }
    int Track() const { return End() - Arrow() - Thumb(); }

  private:
    static int Arrow() { return GetSystemMetrics(SM_CYVSCROLL); }
    static int Thumb() { return GetSystemMetrics(SM_CXVSCROLL); }
    int End() const { return size_.cy - Arrow(); }
    int ThumbTop(int value) const { return Arrow() + Track() * value / 360; }
    void Click(int y) const {
        Post(WM_LBUTTONDOWN, MK_LBUTTON, y);
        Post(WM_LBUTTONUP, 0, y);
    }
    void Post(UINT message, WPARAM keys, int y) const {
        PostMessageA(bar_, message, keys, MAKELPARAM(size_.cx / 2, y));
    }

    HWND bar_;
    SIZE size_;
};

TEST_F(CompassTest, ScrollBarEndsAndStepsShowInTheSelectedHeading) {
    const HWND bar = program_.ControlOfClass("ScrollBar");
    ASSERT_NE(bar, nullptr);
    const HWND selected = e2e::SelectedHeadingLabel(program_);
    const auto shows = [&](const std::string& text) {
        return e2e::WaitUntil([&] { return e2e::TextOf(selected) == text; });
    };
    ASSERT_EQ(e2e::TextOf(selected), "0");
    const ScrollBarMouse mouse(bar);

    // An arrow click moves one degree, a trough click fifteen; the top end holds at 0.
    mouse.ClickBottomArrow();
    EXPECT_TRUE(shows("1")) << e2e::TextOf(selected);
    mouse.ClickTopArrow();
    EXPECT_TRUE(shows("0")) << e2e::TextOf(selected);
    mouse.ClickTopArrow();
    mouse.ClickTroughBelowThumb(0);
    EXPECT_TRUE(shows("15")) << e2e::TextOf(selected);

    // Dragging the thumb: the heading follows while the button is still down.
    const int y = mouse.PressThumb(15);
    mouse.MoveTo(y + mouse.Track() / 2);
    EXPECT_TRUE(e2e::WaitUntil([&] {
        const int shown = std::atoi(e2e::TextOf(selected).c_str());
        return shown > 15 && shown < 360;
    })) << "halfway down the bar it shows "
        << e2e::TextOf(selected);
    mouse.MoveTo(mouse.Height() - 1);
    EXPECT_TRUE(shows("360")) << "at the bottom while dragging: " << e2e::TextOf(selected);
    mouse.Release(mouse.Height() - 1);
    EXPECT_TRUE(shows("360")) << e2e::TextOf(selected);

    // The bottom end holds at 360; from there a trough click and an arrow click go back up.
    mouse.ClickBottomArrow();
    mouse.ClickTroughAboveThumb(360);
    EXPECT_TRUE(shows("345")) << e2e::TextOf(selected);
    mouse.ClickTopArrow();
    EXPECT_TRUE(shows("344")) << e2e::TextOf(selected);

    mouse.PressThumb(344);
    mouse.MoveTo(0);
    EXPECT_TRUE(shows("0")) << "at the top while dragging: " << e2e::TextOf(selected);
    mouse.Release(0);
    EXPECT_TRUE(shows("0")) << e2e::TextOf(selected);
}

}  // namespace
