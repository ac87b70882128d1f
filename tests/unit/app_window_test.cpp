// Start-up, shut-down, the fixed-size layout, the menus and the About box.
#include "base/color.h"
#include "app/globals.h"
#include "platform/system.h"
#include "headless_peers.h"
#include "form_fixture.h"

namespace {

const char* const kAboutText =
    "Vantro32 links Wendra32 to Korrin's Rotator Control Interface. In Wendra you should select the "
    "'DX Cluster Spy' option on the Terminal window. All DX spots will then appear in the Vantro "
    "list window, and you can turn the rotator simply by double-clicking a station. The rotator "
    "panel allows manual control of the rotator heading.";

using StartupTest = FormTest;

TEST_F(StartupTest, RunsItsStepsInOrderAndStartsTheTimerLast) {
    frmRCI& f = Start();
    const std::string steps[] = {"ScrollBar.vsRot.Max 360",
                                 "Window.SetLeft",
                                 "Profile.Read SETUP LEFT",
                                 "Profile.Read SETUP ALWAYS_ON_TOP",
                                 "Label.labLinked.BackColor 255,0,0",
                                 "Label.labArsLinked.BackColor 255,0,0",
                                 "Window.Show",
                                 "DoEvents",
                                 peers::kHostLinkOpened,
                                 peers::kRotatorLinkOpened,
                                 "Timer.Enabled 1"};
    int last = -1;
    for (const std::string& step : steps) {
        const int at = TraceIndex(step, last + 1);
        EXPECT_GT(at, last) << step;
        last = std::max(last, at);
    }
    EXPECT_EQ(f.LineEnd, "\r\n");
    EXPECT_EQ(TwipsPerPixelX, 15);
    EXPECT_EQ(f.vsRot.Min(), 0);
    EXPECT_EQ(f.vsRot.Max(), 360);
    EXPECT_EQ(f.vsRot.SmallChange(), 1);
    EXPECT_EQ(f.vsRot.LargeChange(), 15);
    EXPECT_TRUE(f.Timer1.Enabled());
    EXPECT_TRUE(headless::IsShown(f.window));
    EXPECT_FALSE(f.cmdGo.Visible());
    EXPECT_EQ(f.labSel.Caption(), "0");
    EXPECT_FALSE(headless::ProgramEnded());
}

TEST_F(StartupTest, RecordsTheDesignSizeAndCentresTheWindow) {
    frmRCI& f = Start();
    EXPECT_FLOAT_EQ(f.FullWidth, f.window.Width());
    EXPECT_FLOAT_EQ(f.TargetWidth, f.FullWidth);
    EXPECT_FLOAT_EQ(f.FixedHeight, f.window.Height());
    EXPECT_FLOAT_EQ(f.window.ScaleWidth(), 6495);
    EXPECT_FLOAT_EQ(f.window.ScaleHeight(), 2235);
    const platform::ScreenMetrics screen = platform::Screen();
    EXPECT_NEAR(f.window.Left(), (screen.width - f.window.Width()) / 2, 15);
    EXPECT_NEAR(f.window.Top(), (screen.height - f.window.Height()) / 2, 15);
}

// A failure at any step ends start-up with one message and no unload.
TEST_F(StartupTest, AFailureAtAnyStepShowsOneMessageAndEndsWithoutUnload) {
    const char* const failingSteps[] = {"ScrollBar.vsRot.Max", "Window.SetTop",
                                        "Profile.Read SETUP SHOW_ROTATOR",
                                        "Label.labArsLinked.BackColor", "Window.Show", "DoEvents",
                                        "Timer.Enabled 1"};
    for (const char* step : failingSteps) {
        SCOPED_TRACE(step);
        Reconfigure();
        headless::FailNext(step, "Disk on fire");
        frmRCI& f = Start();
        // Before the timer step the two "not found" messages of the links have been shown.
        ASSERT_FALSE(headless::Messages().empty());
        const headless::MessageRecord& failure = headless::Messages().back();
        EXPECT_EQ(failure.text,
                  "An error occurred while initialising the program. The system error message "
                  "was 'Disk on fire'.");
        EXPECT_EQ(failure.style, 16u);
        EXPECT_EQ(failure.title, "Vantro32");
        EXPECT_EQ(TraceCount("MessageBox 16"), 1);
        EXPECT_TRUE(headless::ProgramEnded());
        EXPECT_EQ(TraceIndex("Window.Unload"), -1);
        EXPECT_EQ(TraceIndex("Timer.Enabled 0"), -1);
        EXPECT_FALSE(f.Timer1.Enabled());
        form.reset();
    }
}

TEST_F(StartupTest, ASavedPositionBeyondSixteenBitsFailsWithOverflow) {
    for (const char* line : {"LEFT=40000", "LEFT=-40000", "TOP=40000", "TOP=-40000"}) {
        SCOPED_TRACE(line);
        Reconfigure();
        const std::string before = std::string("[SETUP]\r\n") + line + "\r\n";
        WriteIni(before);
        Start();
        ASSERT_EQ(headless::Messages().size(), 1u);
        EXPECT_EQ(headless::Messages()[0].text,
                  "An error occurred while initialising the program. The system error message "
                  "was 'Overflow'.");
        EXPECT_TRUE(headless::ProgramEnded());
        EXPECT_NE(IniText().find(line), std::string::npos) << "the saved value is not rewritten";
        EXPECT_EQ(IniText().find("MINIMIZED"), std::string::npos);
        form.reset();
    }
}

using LayoutTest = FormTest;

TEST_F(LayoutTest, HidingThePanelNarrowsByTheFramePlusThreePixelsAndShowingRestoresIt) {
    frmRCI& f = Start();
    const float full = f.window.Width();
    headless::Click(f.mnuShowRotator);
    EXPECT_FLOAT_EQ(f.window.Width(), full - 1980);
    EXPECT_FALSE(f.mnuShowRotator.Checked());
    headless::Click(f.mnuShowRotator);
    EXPECT_FLOAT_EQ(f.window.Width(), full);
    EXPECT_TRUE(f.mnuShowRotator.Checked());
    EXPECT_FLOAT_EQ(f.window.Height(), f.FixedHeight);
}

TEST_F(LayoutTest, OutsideSizeChangesAreUndoneAndNothingHappensWhileMinimised) {
    frmRCI& f = Start();
    const float width = f.window.Width(), height = f.window.Height();
    headless::UserResize(f.window, width + 600, height - 300);
    EXPECT_FLOAT_EQ(f.window.Width(), width);
    EXPECT_FLOAT_EQ(f.window.Height(), height);

    headless::ClearTrace();
    headless::Minimize(f.window);
    EXPECT_EQ(TraceIndex("Window.SetSize"), -1);
    EXPECT_TRUE(headless::SwallowedFailures().empty());
    headless::Restore(f.window);
    EXPECT_FLOAT_EQ(f.window.Width(), width);
    EXPECT_FLOAT_EQ(f.window.Height(), height);

    // The panel hidden while minimised: restoring brings the narrow width.
    headless::Click(f.mnuShowRotator);
    headless::Minimize(f.window);
    headless::Restore(f.window);
    EXPECT_FLOAT_EQ(f.window.Width(), width - 1980);
}

TEST_F(LayoutTest, AlwaysOnTopTogglesTheWindowTheCheckMarkAndTheFileAtOnce) {
    frmRCI& f = Start();
    EXPECT_FALSE(headless::IsTopmost(f.window));
    headless::Click(f.mnuAlwaysOnTop);
    EXPECT_TRUE(headless::IsTopmost(f.window));
    EXPECT_TRUE(f.mnuAlwaysOnTop.Checked());
    EXPECT_NE(IniText().find("ALWAYS_ON_TOP=TRUE"), std::string::npos);
    EXPECT_GE(TraceIndex("SetWindowPos -1 0 0 0 0 3"), 0);
    headless::Click(f.mnuAlwaysOnTop);
    EXPECT_FALSE(headless::IsTopmost(f.window));
    EXPECT_FALSE(f.mnuAlwaysOnTop.Checked());
    EXPECT_NE(IniText().find("ALWAYS_ON_TOP=FALSE"), std::string::npos);
    EXPECT_GE(TraceIndex("SetWindowPos -2 0 0 0 0 3"), 0);
}

TEST_F(LayoutTest, HelpShowsTheAboutBox) {
    frmRCI& f = Start();
    const std::size_t before = headless::Messages().size();
    headless::Click(f.mnuAbout);
    ASSERT_EQ(headless::Messages().size(), before + 1);
    const headless::MessageRecord& about = headless::Messages().back();
    EXPECT_EQ(about.text, kAboutText);
    EXPECT_EQ(about.title, "Vantro32");
    EXPECT_EQ(about.style, 64u);
}

using ShutdownTest = FormTest;

TEST_F(ShutdownTest, StopsTheTimerClosesBothLinksThenSaves) {
    frmRCI& f = Start();
    headless::ClearTrace();
    headless::Click(f.mnuExit);
    const int timer = TraceIndex("Timer.Enabled 0");
    const int host = TraceIndex("Label.labDDE.LinkMode 0");
    const int rotator = TraceIndex("Label.labArsWin.LinkMode 0");
    const int save = TraceIndex("Profile.Write SETUP LEFT");
    EXPECT_GE(timer, 0);
    EXPECT_GT(host, timer);
    EXPECT_GT(rotator, host);
    EXPECT_GT(save, rotator);
    EXPECT_TRUE(base::IsTrue(f.Unloading));
    EXPECT_TRUE(headless::ProgramEnded());
}

TEST_F(ShutdownTest, ExitAndTheCloseControlWriteTheSameSettings) {
    Start();
    headless::Click(form->mnuExit);
    const std::string byMenu = IniText();
    form.reset();
    std::filesystem::remove(IniPath());
    Reconfigure();
    Start();
    headless::Close(form->window);
    EXPECT_EQ(IniText(), byMenu);
}

TEST_F(ShutdownTest, LinksClosingDuringUnloadChangeNothingOnScreen) {
    headless::DdeServer& host = peers::AddHost();
    headless::DdeServer& rotator = peers::AddRotator();
    frmRCI& f = Start();
    ASSERT_TRUE(base::IsTrue(f.HostLinked));
    ASSERT_TRUE(base::IsTrue(f.RotatorLinked));
    // While the program closes the host link, the rotator program goes away, and errors arrive.
    host.onClientClosed = [&] {
        rotator.RaiseError(7);
        rotator.DropConversations();
    };
    headless::Click(f.mnuExit);
    EXPECT_TRUE(base::IsTrue(f.HostLinked));
    EXPECT_TRUE(base::IsTrue(f.RotatorLinked));
    EXPECT_EQ(f.labLinked.BackColor(), base::kLightGreen);
    EXPECT_EQ(f.labArsLinked.BackColor(), base::kLightGreen);
    EXPECT_TRUE(f.cmdGo.Visible());
}

}  // namespace
