// The manual heading: the scroll bar vsRot and its read-out labSel.
#include "form_fixture.h"

namespace {

using ManualHeadingTest = FormTest;

TEST_F(ManualHeadingTest, ArrowsStepByOneAndTheTroughByFifteen) {
    frmRCI& f = Start();
    EXPECT_EQ(f.labSel.Caption(), "0");

    const struct {
        void (*press)(platform::VScrollBar&);
        const char* shown;
    } steps[] = {{headless::LineDown, "1"}, {headless::PageDown, "16"}, {headless::PageDown, "31"},
                 {headless::LineUp, "30"},  {headless::PageUp, "15"},   {headless::PageUp, "0"},
                 {headless::LineUp, "0"},   {headless::PageUp, "0"}};
    for (const auto& step : steps) {
        step.press(f.vsRot);
        EXPECT_EQ(f.labSel.Caption(), step.shown);
    }
}

TEST_F(ManualHeadingTest, BothEndsAreReachableByClicks) {
    frmRCI& f = Start();
    for (int i = 0; i < 24; ++i) headless::PageDown(f.vsRot);
    EXPECT_EQ(f.labSel.Caption(), "360");  // 24 x 15, not reduced to 0 here
    headless::LineDown(f.vsRot);
    EXPECT_EQ(f.labSel.Caption(), "360");
    headless::LineUp(f.vsRot);
    EXPECT_EQ(f.labSel.Caption(), "359");
    for (int i = 0; i < 24; ++i) headless::PageUp(f.vsRot);
    EXPECT_EQ(f.labSel.Caption(), "0");
}

TEST_F(ManualHeadingTest, CaptionFollowsTheThumbWhileDragged) {
    frmRCI& f = Start();
    const struct {
        int dragTo;
        const char* shown;
    } drags[] = {{7, "7"}, {200, "200"}, {1000, "360"}, {-5, "0"}, {90, "90"}, {360, "360"}};
    for (const auto& drag : drags) {
        headless::DragThumb(f.vsRot, drag.dragTo);
        EXPECT_EQ(f.labSel.Caption(), drag.shown) << drag.dragTo;
    }
    headless::ReleaseThumb(f.vsRot);
    EXPECT_EQ(f.labSel.Caption(), "360");
    EXPECT_EQ(f.vsRot.Value(), 360);
    EXPECT_TRUE(headless::SwallowedFailures().empty());
}

}  // namespace
