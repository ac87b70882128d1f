// The settings file beside the program, as a user's runs leave it: the first start, a restart
// where the window was, an exit while minimised, a panel toggle written at once, and a saved place
// that cannot be held, which ends the start-up.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "harness.h"

namespace {

using e2e::PixelsX;
using e2e::PixelsY;
using e2e::Program;

constexpr int kTwipsPerPixel = 15;

std::string SettingsFile(int left, int top, const char* showRotator, const char* minimized,
                         const char* alwaysOnTop) {
    return "[SETUP]\r\nLEFT=" + std::to_string(left) + "\r\nTOP=" + std::to_string(top) +
           "\r\nSHOW_ROTATOR=" + showRotator + "\r\nMINIMIZED=" + minimized +
           "\r\nALWAYS_ON_TOP=" + alwaysOnTop + "\r\n";
}

// Moves the window from outside, as a user dragging it would, to a place in pixels.
void MoveTo(const Program& program, int left, int top) {
    SetWindowPos(program.Window(), nullptr, left, top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool IsTopmost(HWND window) {
    return (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

// Ends the program through its Exit menu item and returns the settings file it leaves.
std::string ExitAndKeepSettings(const Program& program) {
    program.Menu('x');
    EXPECT_TRUE(program.WaitForExit());
    return program.SettingsText();
}

TEST(SettingsFileTest, FirstStartOpensCentredAndWritesTheFiveKeysInOrder) {
    Program program;
    program.AnswerPeersNotFound();

    // The centre in twips, of the window at its design size, made whole (halves to even).
    const RECT outer = program.OuterRect();
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    const int left = static_cast<int>(
        std::nearbyint((screenWidth - (outer.right - outer.left)) * kTwipsPerPixel / 2.0));
    const int top = static_cast<int>(
        std::nearbyint((screenHeight - (outer.bottom - outer.top)) * kTwipsPerPixel / 2.0));
    EXPECT_EQ(program.SettingsText(), SettingsFile(left, top, "TRUE", "FALSE", "FALSE"));

    EXPECT_NEAR(outer.left, left / kTwipsPerPixel, 1);
    EXPECT_NEAR(outer.top, top / kTwipsPerPixel, 1);
    EXPECT_EQ(program.InnerSize().cx, PixelsX(6495)) << "the rotator panel is shown";
    EXPECT_FALSE(IsIconic(program.Window()));
    EXPECT_FALSE(IsTopmost(program.Window()));
}

// What the user keeps besides the five keys survives the program's writes, in its own form.
TEST(SettingsFileTest, RestartOpensWhereTheWindowWasClosed) {
    const std::string before = "; my station\r\n[Radio]\r\nrig=IC-7300\r\n" +
                               SettingsFile(3000, 1500, "TRUE", "FALSE", "FALSE");
    std::string saved;
    {
        Program first(Program::Options{before});
        first.AnswerPeersNotFound();
        MoveTo(first, 100, 60);
        ASSERT_TRUE(e2e::WaitUntil([&] { return first.OuterRect().left == 100; }));
        saved = ExitAndKeepSettings(first);
    }
    EXPECT_EQ(saved, "; my station\r\n[Radio]\r\nrig=IC-7300\r\n" +
                         SettingsFile(100 * kTwipsPerPixel, 60 * kTwipsPerPixel, "TRUE", "FALSE",
                                      "FALSE"));

    Program second(Program::Options{saved});
    second.AnswerPeersNotFound();
    EXPECT_EQ(second.OuterRect().left, 100);
    EXPECT_EQ(second.OuterRect().top, 60);
    EXPECT_EQ(second.SettingsText(), saved) << "nothing written at a start with saved values";
}

// Minimised, the window has no place of its own: the one read at start-up is written, even
// after the window was moved during the run.
TEST(SettingsFileTest, ExitWhileMinimisedWritesTheStartUpPosition) {
    std::string saved;
    {
        Program first(Program::Options{SettingsFile(1500, 900, "TRUE", "FALSE", "FALSE")});
        first.AnswerPeersNotFound();
        MoveTo(first, 200, 120);
        ASSERT_TRUE(e2e::WaitUntil([&] { return first.OuterRect().left == 200; }));
        first.Minimize();
        ASSERT_TRUE(e2e::WaitUntil([&] { return IsIconic(first.Window()) != FALSE; }));
        first.Close();
        EXPECT_TRUE(first.WaitForExit());
        saved = first.SettingsText();
    }
    EXPECT_EQ(saved, SettingsFile(1500, 900, "TRUE", "TRUE", "FALSE"));

    Program second(Program::Options{saved});
    second.AnswerPeersNotFound();
    EXPECT_TRUE(IsIconic(second.Window()));
    second.Restore();
    ASSERT_TRUE(e2e::WaitUntil([&] { return !IsIconic(second.Window()); }));
    EXPECT_EQ(second.OuterRect().left, PixelsX(1500));
    EXPECT_EQ(second.OuterRect().top, PixelsY(900));
}

// Written at the toggle itself: a program that then dies without its unload keeps them.
TEST(SettingsFileTest, MenuTogglesAreWrittenAtOnceAndKept) {
    const std::string before = SettingsFile(1500, 900, "TRUE", "FALSE", "FALSE");
    std::string kept;
    {
        Program first(Program::Options{before});
        first.AnswerPeersNotFound();
        first.Menu('o', 's');
        EXPECT_TRUE(e2e::WaitUntil([&] {
            return first.SettingsText() == SettingsFile(1500, 900, "FALSE", "FALSE", "FALSE");
        })) << first.SettingsText();
        first.Menu('o', 'a');
        EXPECT_TRUE(e2e::WaitUntil([&] {
            return first.SettingsText() == SettingsFile(1500, 900, "FALSE", "FALSE", "TRUE");
        })) << first.SettingsText();
        first.Kill();
        kept = first.SettingsText();
    }
    EXPECT_EQ(kept, SettingsFile(1500, 900, "FALSE", "FALSE", "TRUE"));

    Program second(Program::Options{kept});
    second.AnswerPeersNotFound();
    EXPECT_LT(second.InnerSize().cx, PixelsX(6495)) << "the rotator panel is hidden";
    EXPECT_TRUE(IsTopmost(second.Window()));
}

// A saved edge beyond 16 bits ends the start-up; none of the files is rewritten (their odd form
// would show any write).
TEST(SettingsFileTest, ASavedPlaceBeyondSixteenBitsEndsTheStartUp) {
    for (const char* settings : {"[setup]\nleft=40000\ntop=900\nminimized=TRUE\n",
                                 "[setup]\nleft=-40000\ntop=900\nminimized=TRUE\n",
                                 "[setup]\nleft=1500\ntop=40000\nminimized=TRUE\n"}) {
        SCOPED_TRACE(settings);
        Program program(Program::Options{settings});
        const e2e::MessageBoxSeen failure = program.Answer();
        EXPECT_EQ(failure.title, "Vantro32");
        EXPECT_EQ(failure.text,
                  "An error occurred while initialising the program. The system error message "
                  "was 'Overflow'.");
        EXPECT_TRUE(program.WaitForExit());
        EXPECT_EQ(program.ExitCode(), 1u) << "a failed start-up ends as a failure";
        EXPECT_EQ(program.SettingsText(), settings);
    }
}

}  // namespace
