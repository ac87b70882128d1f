// Settings files a busy shack may leave beside the program: empty, binary, very large, every key
// written twice. The program starts from each as the settings rules say and ends cleanly.
#include <gtest/gtest.h>

#include <string>

#include "harness.h"

namespace {

using e2e::Program;

// Starts the program on a settings file, answers the two "not found" messages, and returns the
// window's outer left edge in pixels; the program is then ended through its Exit item.
struct Outcome {
    int left = 0;
    bool panelShown = false;
    std::string after;
};

Outcome StartAndExit(const std::string& settings) {
    Outcome run;
    Program program(Program::Options{settings});
    program.AnswerPeersNotFound();
    run.left = program.OuterRect().left;
    run.panelShown = program.InnerSize().cx == e2e::PixelsX(6495);
    program.Menu('x');
    EXPECT_TRUE(program.WaitForExit());
    run.after = program.SettingsText();
    return run;
}

// Bytes of every value, with line ends and brackets among them, but no [SETUP] section.
std::string BinaryBytes() {
    std::string bytes;
    unsigned state = 12345;
    for (int i = 0; i < 4096; ++i) {
        state = state * 1103515245u + 12345u;
        char c = static_cast<char>((state >> 16) & 0xFF);
        if (c == 'S' || c == 's') c = 'x';  // keeps "SETUP" from appearing by chance
        bytes += c;
    }
    return bytes;
}

TEST(SettingsOddFilesTest, AnEmptyFileIsAFirstStart) {
    const Outcome run = StartAndExit("");
    EXPECT_TRUE(run.panelShown);
    EXPECT_EQ(run.after.rfind("[SETUP]\r\nLEFT=", 0), 0u) << run.after;
    EXPECT_NE(run.after.find("ALWAYS_ON_TOP=FALSE\r\n"), std::string::npos);
}

TEST(SettingsOddFilesTest, ABinaryFileGivesTheDefaultsAndGainsTheSection) {
    const Outcome run = StartAndExit(BinaryBytes());
    EXPECT_TRUE(run.panelShown);
    EXPECT_NE(run.after.find("[SETUP]\r\nLEFT="), std::string::npos);
    EXPECT_NE(run.after.find("MINIMIZED=FALSE\r\n"), std::string::npos);
}

TEST(SettingsOddFilesTest, ATenMegabyteFileIsReadAndKept) {
    std::string settings;
    const std::string junk = "; " + std::string(1021, 'n') + "\r\n";
    while (settings.size() < 10u * 1024 * 1024) settings += junk;
    settings += "[SETUP]\r\nLEFT=300\r\nSHOW_ROTATOR=FALSE\r\n";
    const Outcome run = StartAndExit(settings);
    EXPECT_EQ(run.left, 20);  // 300 twips
    EXPECT_FALSE(run.panelShown);
    EXPECT_GE(run.after.size(), 10u * 1024 * 1024);
    EXPECT_NE(run.after.find("SHOW_ROTATOR=FALSE\r\n"), std::string::npos);
}

TEST(SettingsOddFilesTest, WithEveryKeyTwiceTheFirstOfEachCounts) {
    const Outcome run = StartAndExit(
        "[SETUP]\r\nLEFT=300\r\nLEFT=3000\r\nTOP=150\r\nTOP=1500\r\nSHOW_ROTATOR=FALSE\r\n"
        "SHOW_ROTATOR=TRUE\r\nMINIMIZED=FALSE\r\nMINIMIZED=TRUE\r\nALWAYS_ON_TOP=FALSE\r\n"
        "ALWAYS_ON_TOP=TRUE\r\n");
    EXPECT_EQ(run.left, 20);
    EXPECT_FALSE(run.panelShown);
    // The second of each pair is left as it was.
    EXPECT_NE(run.after.find("LEFT=3000\r\n"), std::string::npos);
    EXPECT_NE(run.after.find("MINIMIZED=TRUE\r\n"), std::string::npos);
}

}  // namespace
