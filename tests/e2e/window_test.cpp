// The window as the user meets it: design, colours, menus, About box, its fixed size and the ways
// it closes. No peer runs, so start-up first reports both as missing.
#include <gtest/gtest.h>

#include "harness.h"

namespace {

using e2e::PixelsX;
using e2e::PixelsY;
using e2e::Program;

// A control of the design, in twips of its container's inner area.
struct Placed {
    const char* name;
    const char* text;
    float left, top, width, height;
    const char* windowClass = nullptr;  // checked when given
};

class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override { startupMessages_ = program_.AnswerPeersNotFound(); }

    // The control under a point just inside its design place, checked against the design.
    HWND ExpectPlaced(HWND container, const Placed& design) {
        POINT probe{PixelsX(design.left) + 3, PixelsY(design.top) + 3};
        MapWindowPoints(container, program_.Window(), &probe, 1);
        const HWND control = program_.ControlAt(probe);
        EXPECT_NE(control, nullptr) << design.name;
        if (!control) return nullptr;
        EXPECT_EQ(GetParent(control), container) << design.name;
        EXPECT_EQ(e2e::TextOf(control), design.text) << design.name;
        if (design.windowClass) {
            EXPECT_EQ(e2e::ClassOf(control), design.windowClass) << design.name;
        }
        const RECT rect = e2e::RectInParent(control);
        EXPECT_EQ(rect.left, PixelsX(design.left)) << design.name;
        EXPECT_EQ(rect.top, PixelsY(design.top)) << design.name;
        EXPECT_EQ(rect.right - rect.left, PixelsX(design.width)) << design.name;
        EXPECT_EQ(rect.bottom - rect.top, PixelsY(design.height)) << design.name;
        return control;
    }

    SIZE DesignOuterSize() const { return outer_; }
    SIZE OuterSize() const {
        const RECT rect = program_.OuterRect();
        return SIZE{rect.right - rect.left, rect.bottom - rect.top};
    }
    bool AtDesignSize() const {
        const SIZE size = OuterSize();
        const SIZE inner = program_.InnerSize();
        return !IsIconic(program_.Window()) && !IsZoomed(program_.Window()) &&
               size.cx == outer_.cx && size.cy == outer_.cy && inner.cx == PixelsX(6495) &&
               inner.cy == PixelsY(2235);
    }

    Program program_;
    std::vector<std::string> startupMessages_;
    SIZE outer_ = OuterSize();
};

TEST_F(WindowTest, StartUpReportsTheHostThenTheRotatorAsMissing) {
    EXPECT_EQ(startupMessages_,
              (std::vector<std::string>{e2e::kHostNotFound, e2e::kRotatorNotFound}));
}

TEST_F(WindowTest, OpensCentredOnTheScreen) {
    const RECT outer = program_.OuterRect();
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_NEAR(outer.left, (width - (outer.right - outer.left)) / 2, 1);
    EXPECT_NEAR(outer.top, (height - (outer.bottom - outer.top)) / 2, 1);
}

TEST_F(WindowTest, HasItsTitleAndTheDesignedInnerSize) {
    char title[256] = {};
    GetWindowTextA(program_.Window(), title, sizeof title);
    EXPECT_STREQ(title, "Vantro32 V1.0   Halvik May, 2000");
    EXPECT_EQ(program_.InnerSize().cx, PixelsX(6495));
    EXPECT_EQ(program_.InnerSize().cy, PixelsY(2235));
    EXPECT_EQ(PixelsX(6495), 433);  // at the 96 dpi of the test screen
}

TEST_F(WindowTest, EveryControlStandsAtItsDesignPlace) {
    const HWND window = program_.Window();
    const Placed inWindow[] = {
        {"Label1", "Callsign", 180, 0, 540, 195},
        {"Label2", "Freq. kHz", 1815, 0, 690, 195},
        {"Label3", "Head.", 2775, 0, 450, 195},
        {"labDist", "Distance", 3420, 0, 630, 195},
        {"lstStations", "", 120, 240, 4275, 1410, "ListBox"},
        {"Label4", "Double-click a station to turn the rotator", 525, 1680, 3465, 195},
        {"Label5", "DDE Link to Wendra", 240, 1950, 1470, 195},
        {"labLinked", "", 1800, 1920, 240, 225},
        {"Label6", "DDE Link to ARSWIN", 2400, 1950, 1575, 195},
        {"labArsLinked", "", 4080, 1920, 240, 225},
    };
    for (const Placed& design : inWindow) ExpectPlaced(window, design);

    const HWND frame = ExpectPlaced(window, {"fraRotator", "Rotator", 4560, 0, 1815, 2145});
    ASSERT_NE(frame, nullptr);
    const Placed inFrame[] = {
        {"vsRot", "", 1560, 240, 195, 1455, "ScrollBar"},
        {"labAz", "", 120, 1815, 555, 255},
        {"labSel", "0", 780, 1815, 555, 255},
    };
    for (const Placed& design : inFrame) ExpectPlaced(frame, design);

    const HWND picture = ExpectPlaced(frame, {"pic1", "", 60, 240, 1455, 1515});
    ASSERT_NE(picture, nullptr);
    ExpectPlaced(picture, {"Label7", "Head.", 105, 1350, 465, 195});
    ExpectPlaced(picture, {"Label8", "Set", 885, 1350, 240, 195});

    // The Go button waits, hidden, for the rotator link.
    const HWND go = program_.Control("&Go");
    ASSERT_NE(go, nullptr);
    EXPECT_EQ(GetParent(go), frame);
    EXPECT_FALSE(IsWindowVisible(go));
}

TEST_F(WindowTest, ListIsBlackAndBothLinkIndicatorsLightRed) {
    const HWND window = program_.Window();
    const COLORREF black = RGB(0, 0, 0), lightRed = RGB(255, 0, 0);
    EXPECT_TRUE(e2e::ShowsColor(window, {PixelsX(120) + 20, PixelsY(240) + 40}, black));
    EXPECT_TRUE(e2e::ShowsColor(window, {PixelsX(1800 + 120), PixelsY(1920 + 112)}, lightRed));
    EXPECT_TRUE(e2e::ShowsColor(window, {PixelsX(4080 + 120), PixelsY(1920 + 112)}, lightRed));
}

TEST_F(WindowTest, CompassFaceIsLightCyanOnTheWindowBackground) {
    // The picture's inner area starts inside its one-pixel border.
    const POINT picture{PixelsX(4560 + 60) + 1, PixelsY(0 + 240) + 1};
    const POINT centre{picture.x + PixelsX(1425) / 2, picture.y + PixelsY(1485) / 2};
    EXPECT_TRUE(e2e::ShowsColor(program_.Window(), centre, RGB(0, 255, 255)));
    EXPECT_TRUE(e2e::ShowsColor(program_.Window(), {picture.x + 1, picture.y + 1},
                                GetSysColor(COLOR_WINDOW)));
}

TEST_F(WindowTest, ScrollBarKeysSetTheManualHeading) {
    const HWND bar = program_.ControlOfClass("ScrollBar");
    const HWND selected = program_.Control("0");
    ASSERT_NE(bar, nullptr);
    ASSERT_NE(selected, nullptr);
    // An arrow moves one degree, a page fifteen; the ends are 0 and 360.
    const struct {
        WORD key;
        const char* heading;
    } steps[] = {{VK_DOWN, "1"}, {VK_NEXT, "16"},   {VK_END, "360"}, {VK_DOWN, "360"},
                 {VK_UP, "359"}, {VK_PRIOR, "344"}, {VK_HOME, "0"}};
    for (const auto& step : steps) {
        program_.PressKey(bar, step.key);
        EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::TextOf(selected) == step.heading; }))
            << "key " << step.key << " gave " << e2e::TextOf(selected);
    }
}

TEST_F(WindowTest, StationListHasTheFocusAndTabMovesToTheScrollBar) {
    const HWND list = program_.StationList();
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(e2e::WaitUntil([&] { return program_.Focus() == list; }));
    program_.PressKey(list, VK_TAB);
    EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::ClassOf(program_.Focus()) == "ScrollBar"; }));
    program_.PressKey(program_.Focus(), VK_TAB);
    EXPECT_TRUE(e2e::WaitUntil([&] { return program_.Focus() == list; }));
}

TEST_F(WindowTest, HelpShowsTheAboutBox) {
    program_.Menu('h');
    const e2e::MessageBoxSeen about = program_.Answer();
    EXPECT_EQ(about.title, "Vantro32");
    EXPECT_EQ(about.owner, program_.Window());
    EXPECT_EQ(about.text,
              "Vantro32 links Wendra32 to Korrin's Rotator Control Interface. "
              "In Wendra you should select the 'DX Cluster Spy' option on the Terminal window. "
              "All DX spots will then appear in the Vantro list window, and you can turn the "
              "rotator simply by double-clicking a station. "
              "The rotator panel allows manual control of the rotator heading.");
    EXPECT_EQ(about.buttons, (std::vector<std::string>{"OK"}));
}

TEST_F(WindowTest, ShowRotatorNarrowsTheWindowAndWidensItAgain) {
    const int narrowed = DesignOuterSize().cx - PixelsX(6495 - 4560) - 3;
    EXPECT_EQ(DesignOuterSize().cx - narrowed, 132);

    program_.Menu('o', 's');
    EXPECT_TRUE(e2e::WaitUntil([&] { return OuterSize().cx == narrowed; })) << OuterSize().cx;
    EXPECT_EQ(OuterSize().cy, DesignOuterSize().cy);
    EXPECT_NE(program_.SettingsText().find("SHOW_ROTATOR=FALSE"), std::string::npos);

    program_.Menu('o', 's');
    EXPECT_TRUE(e2e::WaitUntil([&] { return AtDesignSize(); })) << OuterSize().cx;
    EXPECT_NE(program_.SettingsText().find("SHOW_ROTATOR=TRUE"), std::string::npos);
}

TEST_F(WindowTest, KeepsItsSizeWhateverHappensToIt) {
    ASSERT_TRUE(AtDesignSize());

    ASSERT_TRUE(program_.Resize(DesignOuterSize().cx + 120, DesignOuterSize().cy + 80));
    EXPECT_TRUE(e2e::WaitUntil([&] { return AtDesignSize(); })) << "after a resize";

    program_.Maximize();
    EXPECT_TRUE(e2e::WaitUntil([&] { return AtDesignSize(); })) << "after a maximise";

    program_.Minimize();
    EXPECT_TRUE(e2e::WaitUntil([&] { return IsIconic(program_.Window()) != FALSE; }));
    program_.Restore();
    EXPECT_TRUE(e2e::WaitUntil([&] { return AtDesignSize(); })) << "after a restore";
    EXPECT_TRUE(e2e::WaitUntil([&] { return program_.Focus() == program_.StationList(); }))
        << "the list has the focus again";
}

TEST_F(WindowTest, AlwaysOnTopMakesTheWindowTopmostAndBack) {
    const auto topmost = [&] {
        return (GetWindowLongA(program_.Window(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    };
    ASSERT_FALSE(topmost());
    program_.Menu('o', 'a');
    EXPECT_TRUE(e2e::WaitUntil(topmost));
    program_.Menu('o', 'a');
    EXPECT_TRUE(e2e::WaitUntil([&] { return !topmost(); }));
    EXPECT_NE(program_.SettingsText().find("ALWAYS_ON_TOP=FALSE"), std::string::npos);
}

TEST_F(WindowTest, ExitEndsTheProgramAndSavesThePlace) {
    program_.Menu('x');
    EXPECT_TRUE(program_.WaitForExit());
    EXPECT_NE(program_.SettingsText().find("MINIMIZED=FALSE"), std::string::npos);
}

TEST_F(WindowTest, EndOfTheSessionEndsTheProgramAndSavesThePlace) {
    EXPECT_TRUE(program_.EndSession());
    EXPECT_TRUE(program_.WaitForExit());
    EXPECT_NE(program_.SettingsText().find("MINIMIZED=FALSE"), std::string::npos);
}

TEST_F(WindowTest, CloseControlEndsTheProgramAndSavesThePlace) {
    program_.Minimize();
    ASSERT_TRUE(e2e::WaitUntil([&] { return IsIconic(program_.Window()) != FALSE; }));
    program_.Close();
    EXPECT_TRUE(program_.WaitForExit());
    EXPECT_NE(program_.SettingsText().find("MINIMIZED=TRUE"), std::string::npos);
}

TEST(WindowStartTest, OpensMinimisedAtTheSavedPlace) {
    Program program(Program::Options{"[SETUP]\r\nLEFT=1500\r\nTOP=1200\r\nMINIMIZED=TRUE\r\n"});
    program.AnswerPeersNotFound();
    EXPECT_TRUE(IsIconic(program.Window()));
    program.Restore();
    ASSERT_TRUE(e2e::WaitUntil([&] { return !IsIconic(program.Window()); }));
    const RECT outer = program.OuterRect();
    EXPECT_EQ(outer.left, PixelsX(1500));
    EXPECT_EQ(outer.top, PixelsY(1200));
    EXPECT_EQ(program.InnerSize().cx, PixelsX(6495));
    EXPECT_EQ(program.InnerSize().cy, PixelsY(2235));
}

TEST(WindowStartTest, StartUpFailureShowsOneMessageAndEndsTheProgram) {
    // A saved place beyond what the settings can hold back.
    Program program(Program::Options{"[SETUP]\r\nLEFT=40000\r\n"});
    const e2e::MessageBoxSeen failure = program.Answer();
    EXPECT_EQ(failure.title, "Vantro32");
    EXPECT_EQ(failure.text,
              "An error occurred while initialising the program. The system error message was "
              "'Overflow'.");
    EXPECT_TRUE(program.WaitForExit());
    EXPECT_EQ(program.SettingsText().find("MINIMIZED"), std::string::npos) << "no unload ran";
}

}  // namespace
