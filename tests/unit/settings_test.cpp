// The settings file: first start, the saved placement and options, odd values, and what each way
// of ending the program leaves in the file.
#include "app/globals.h"
#include "form_fixture.h"
#include "platform/system.h"

namespace {

using SettingsTest = FormTest;

TEST_F(SettingsTest, FirstStartOpensCentredAndWritesEveryKeyInOrder) {
    frmRCI& f = Start();
    const platform::ScreenMetrics screen = platform::Screen();
    const long left = std::lround((screen.width - f.FullWidth) / 2);  // 4372.5: ties to even
    const long top = std::lround((screen.height - f.FixedHeight) / 2);
    EXPECT_EQ(IniText(), "[SETUP]\r\nLEFT=" + std::to_string(left & ~1L) +
                             "\r\nTOP=" + std::to_string(top) +
                             "\r\nSHOW_ROTATOR=TRUE\r\nMINIMIZED=FALSE\r\nALWAYS_ON_TOP=FALSE\r\n");
    EXPECT_TRUE(f.mnuShowRotator.Checked());
    EXPECT_FALSE(f.mnuAlwaysOnTop.Checked());
    EXPECT_FALSE(headless::IsTopmost(f.window));
    EXPECT_EQ(f.window.State(), platform::WindowState::Normal);
    EXPECT_FLOAT_EQ(f.window.Width(), f.FullWidth);
}

TEST_F(SettingsTest, TheWindowReopensWhereItWasClosedWithItsOptions) {
    frmRCI& first = Start();
    first.window.SetLeft(1500);
    first.window.SetTop(900);
    headless::Click(first.mnuShowRotator);
    headless::Click(first.mnuAlwaysOnTop);
    headless::Click(first.mnuExit);
    form.reset();

    Reconfigure();
    frmRCI& second = Start();
    EXPECT_FLOAT_EQ(second.window.Left(), 1500);
    EXPECT_FLOAT_EQ(second.window.Top(), 900);
    EXPECT_FALSE(second.mnuShowRotator.Checked());
    EXPECT_FLOAT_EQ(second.window.Width(), second.FullWidth - 1980);
    EXPECT_TRUE(second.mnuAlwaysOnTop.Checked());
    EXPECT_TRUE(headless::IsTopmost(second.window));
}

TEST_F(SettingsTest, BooleanWordsAreReadWithoutCaseAndOnlyTheDefaultIsWrittenBack) {
    const std::pair<const char*, bool> words[] = {
        {"yes", true}, {"On", true},   {"1", true},      {"TRUE", true},     {"Y", false},
        {"no", false}, {"FALSE", false}, {"", false},    {"\"TRUE\"", true}, {"  true  ", true},
        {"2", false},  {"-1", false}};
    for (const auto& [word, shown] : words) {
        SCOPED_TRACE(word);
        Reconfigure();
        const std::string before = std::string("[SETUP]\r\nSHOW_ROTATOR=") + word + "\r\n";
        WriteIni(before);
        frmRCI& f = Start();
        EXPECT_EQ(f.mnuShowRotator.Checked(), shown);
        EXPECT_EQ(base::IsTrue(f.ShowRotator), shown);
        // A value that reads exactly as the default (quotes and blanks are not part of it) is
        // written back in the normal form.
        const bool readsAsDefault = std::string(word) == "TRUE" || std::string(word) == "\"TRUE\"";
        EXPECT_EQ(IniText().find("SHOW_ROTATOR=TRUE\r\n") != std::string::npos, readsAsDefault);
        form.reset();
    }
}

TEST_F(SettingsTest, KeysAreFoundWhateverTheirCase) {
    WriteIni("[setup]\r\nshow_rotator=false\r\nminimized=on\r\n");
    frmRCI& f = Start();
    EXPECT_FALSE(base::IsTrue(f.ShowRotator));
    EXPECT_EQ(f.window.State(), platform::WindowState::Minimized);
    EXPECT_NE(IniText().find("show_rotator=false"), std::string::npos);  // not the default
}

TEST_F(SettingsTest, PositionsAreReadWithTheNumericRule) {
    const std::pair<const char*, float> values[] = {
        {"abc", 0}, {"120.6", 120}, {" 3 0 0 ", 300}, {"&H12C", 300}, {"450xyz", 450}};
    for (const auto& [text, left] : values) {
        SCOPED_TRACE(text);
        Reconfigure();
        WriteIni(std::string("[SETUP]\r\nLEFT=") + text + "\r\n");
        frmRCI& f = Start();
        EXPECT_FLOAT_EQ(f.window.Left(), left);
        EXPECT_EQ(f.SavedLeft, static_cast<std::int16_t>(left));
        EXPECT_FALSE(headless::ProgramEnded());
        form.reset();
    }
}

TEST_F(SettingsTest, AValueIsReadUpTo499Characters) {
    frmRCI& f = Create();
    f.IniFile = folder.string() + "\\" + config.programName + ".INI";
    WriteIni("[SETUP]\r\nNOTE=" + std::string(600, 'x') + "\r\n");
    EXPECT_EQ(f.ReadIniString(f.IniFile, "SETUP", "NOTE", ""), std::string(499, 'x'));
}

TEST_F(SettingsTest, StartingMinimisedStillDrawsLinksAndTimerAndRestoresToTheFixedSize) {
    WriteIni("[SETUP]\r\nSHOW_ROTATOR=FALSE\r\nMINIMIZED=ON\r\n");
    frmRCI& f = Start();
    EXPECT_EQ(f.window.State(), platform::WindowState::Minimized);
    EXPECT_TRUE(headless::IsShown(f.window));
    EXPECT_TRUE(f.Timer1.Enabled());
    EXPECT_GE(TraceIndex("Label.labArsWin.LinkMode 1"), 0);
    headless::Restore(f.window);
    EXPECT_FLOAT_EQ(f.window.Width(), f.FullWidth - 1980);
    EXPECT_FLOAT_EQ(f.window.Height(), f.FixedHeight);
}

TEST_F(SettingsTest, ExitWhileMinimisedKeepsThePositionRecordedAtStartUp) {
    WriteIni("[SETUP]\r\nLEFT=600\r\nTOP=450\r\n");
    frmRCI& f = Start();
    f.window.SetLeft(3000);  // moved during the run, then minimised
    headless::Minimize(f.window);
    headless::Click(f.mnuExit);
    const std::string text = IniText();
    EXPECT_NE(text.find("LEFT=600\r\n"), std::string::npos);
    EXPECT_NE(text.find("TOP=450\r\n"), std::string::npos);
    EXPECT_NE(text.find("MINIMIZED=TRUE\r\n"), std::string::npos);
}

TEST_F(SettingsTest, ExitWhileNotMinimisedWritesTheCurrentPosition) {
    frmRCI& f = Start();
    f.window.SetLeft(3000);
    f.window.SetTop(-150);
    headless::Close(f.window);
    const std::string text = IniText();
    EXPECT_NE(text.find("LEFT=3000\r\n"), std::string::npos);
    EXPECT_NE(text.find("TOP=-150\r\n"), std::string::npos);
    EXPECT_NE(text.find("MINIMIZED=FALSE\r\n"), std::string::npos);
}

// A position that no longer fits the saved 16 bits is not written; everything else is saved and
// the program ends normally.
TEST_F(SettingsTest, AnExitPositionBeyondSixteenBitsKeepsTheOldValueAndEndsCleanly) {
    WriteIni("[SETUP]\r\nLEFT=600\r\nTOP=450\r\n");
    frmRCI& f = Start();
    f.window.SetLeft(45000);
    headless::Close(f.window);
    const std::string text = IniText();
    EXPECT_NE(text.find("LEFT=600\r\n"), std::string::npos);
    EXPECT_NE(text.find("MINIMIZED=FALSE\r\n"), std::string::npos);
    EXPECT_TRUE(headless::ProgramEnded());
    EXPECT_TRUE(headless::SwallowedFailures().empty());
}

// On a very wide screen the centred default does not fit 16 bits; it is kept in range so that the
// program still starts.
TEST_F(SettingsTest, AVeryWideScreenStillStarts) {
    config.screenWidthPx = 5120;
    config.screenHeightPx = 5000;
    Reconfigure();
    frmRCI& f = Start();
    EXPECT_FALSE(headless::ProgramEnded());
    EXPECT_TRUE(headless::Messages().size() == 2u);  // only the two links' messages
    EXPECT_NE(IniText().find("LEFT=32767\r\n"), std::string::npos);
    EXPECT_LE(f.window.Left(), 32767);
}

TEST_F(SettingsTest, OtherSectionsKeysAndCommentsSurviveEveryWrite) {
    WriteIni("; station notes\r\n[RIG]\r\nMODEL=IC-7300\r\n[SETUP]\r\n# mine\r\nCOLOUR=blue\r\n"
             "LEFT=300\r\n");
    frmRCI& f = Start();
    headless::Click(f.mnuAlwaysOnTop);
    headless::Click(f.mnuShowRotator);
    headless::Click(f.mnuExit);
    const std::string text = IniText();
    for (const char* kept : {"; station notes\r\n", "[RIG]\r\nMODEL=IC-7300\r\n", "# mine\r\n",
                             "COLOUR=blue\r\n"})
        EXPECT_NE(text.find(kept), std::string::npos) << kept;
}

TEST_F(SettingsTest, ToggleWritesHappenAtOnceAndStayWithoutAnOrderlyExit) {
    frmRCI& f = Start();
    headless::Click(f.mnuAlwaysOnTop);
    EXPECT_NE(IniText().find("ALWAYS_ON_TOP=TRUE\r\n"), std::string::npos);
    headless::Click(f.mnuAlwaysOnTop);
    EXPECT_NE(IniText().find("ALWAYS_ON_TOP=FALSE\r\n"), std::string::npos);
    headless::Click(f.mnuShowRotator);
    EXPECT_NE(IniText().find("SHOW_ROTATOR=FALSE\r\n"), std::string::npos);
}

TEST_F(SettingsTest, AFileThatCannotBeWrittenLosesTheWritesSilently) {
    // A folder where the file should be: it can be neither read nor written.
    std::filesystem::create_directory(IniPath());
    frmRCI& f = Start();
    EXPECT_FALSE(headless::ProgramEnded());
    headless::Click(f.mnuAlwaysOnTop);
    EXPECT_TRUE(headless::IsTopmost(f.window));
    headless::Click(f.mnuExit);
    EXPECT_TRUE(std::filesystem::is_directory(IniPath()));
    EXPECT_TRUE(headless::SwallowedFailures().empty());
}

}  // namespace
