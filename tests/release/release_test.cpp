// The unpacked release zip, as a Windows user has it: it holds every program and its texts, and
// each program starts from that folder and ends as a user ends it.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "console_process.h"
#include "harness.h"

namespace {

// The folder the zip was unpacked into, a Windows path.
std::string Folder() {
    const char* folder = std::getenv("VANTRO_RELEASE_FOLDER");
    return folder ? folder : "";
}

std::string FileText(const std::string& name) {
    std::ifstream file(Folder() + "\\" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

bool EveryLineEndsWithCrLf(const std::string& text) {
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) return false;
    return !text.empty() && text.ends_with("\r\n");
}

// A companion program of the zip, the arguments it is started with, the start of what it says
// first, and its window's class and title.
struct Companion {
    std::string name;
    std::string arguments;
    std::string says;
    std::string title;
    std::string Program() const { return name + ".exe"; }
};

const Companion kCompanions[] = {
    {"rotbridge", "", "rotbridge " VANTRO_VERSION ": Vantro32's rotator bridge",
     "Rotator Bridge " VANTRO_VERSION},
    // A node that is not there: it keeps trying.
    {"clusterbridge", "--node-host 127.0.0.1 --node-port 9 --callsign N0CALL --locator JO62",
     "clusterbridge " VANTRO_VERSION ": Vantro32's cluster bridge",
     "Cluster Bridge " VANTRO_VERSION},
};

class ReleaseTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(Folder().empty()) << "VANTRO_RELEASE_FOLDER names no unpacked release";
    }
};

TEST_F(ReleaseTest, HoldsEveryProgramAndItsTextsWithWindowsLineEnds) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(Folder()))
        names.insert(entry.path().filename().string());
    std::set<std::string> expected{"vantro32.exe", "README.txt", "LICENSE.txt", "cty.dat"};
    for (const Companion& companion : kCompanions) expected.insert(companion.Program());
    EXPECT_EQ(names, expected);

    const std::string readme = FileText("README.txt");
    EXPECT_TRUE(EveryLineEndsWithCrLf(readme));
    EXPECT_NE(readme.find("Vantro32 " VANTRO_VERSION), std::string::npos);
    for (const Companion& companion : kCompanions)
        EXPECT_NE(readme.find(companion.Program()), std::string::npos) << companion.name;
    // The country file the cluster bridge reads, Debian's, with its version.
    EXPECT_NE(FileText("cty.dat").find("=VER"), std::string::npos);
    const std::string licence = FileText("LICENSE.txt");
    EXPECT_TRUE(EveryLineEndsWithCrLf(licence));
    EXPECT_NE(licence.find("The Vantro32 authors"), std::string::npos);
}

TEST_F(ReleaseTest, Vantro32ShowsItsWindowFromTheFolderAndEndsOnClose) {
    e2e::Program::Options options;
    options.installedIn = Folder();
    e2e::Program program(options);
    EXPECT_EQ(program.AnswerPeersNotFound().size(), 2u);
    EXPECT_TRUE(IsWindowVisible(program.Window()));
    program.Close();
    ASSERT_TRUE(program.WaitForExit());
    EXPECT_EQ(program.ExitCode(), 0u);
    // Its settings file went beside it.
    EXPECT_TRUE(DeleteFileA(program.SettingsFile().c_str()));
}

TEST_F(ReleaseTest, EachCompanionShowsItsWindowFromTheFolderAndEndsWhenClosedOrEnded) {
    for (const Companion& companion : kCompanions) {
        SCOPED_TRACE(companion.name);
        const std::string program = Folder() + "\\" + companion.Program();
        const e2e::ConsoleProcess::Options options{Folder()};
        {
            e2e::ConsoleProcess process(program, companion.arguments, options);
            ASSERT_TRUE(process.WaitForLine(companion.says)) << process.Output();
            const e2e::Hands window = process.WaitForWindow(companion.name);
            EXPECT_EQ(e2e::TextOf(window.Window()), companion.title);
            // It waits for its peers rather than ending.
            EXPECT_FALSE(process.WaitForExit(1000)) << process.Output();
            window.Close();
            ASSERT_TRUE(process.WaitForExit(5000)) << process.Output();
            EXPECT_EQ(process.ExitCode(), 0u) << process.Output();
        }
        e2e::ConsoleProcess process(program, companion.arguments, options);
        ASSERT_TRUE(process.WaitForLine(companion.says)) << process.Output();
        process.Kill();
        EXPECT_TRUE(process.WaitForExit(5000));
        // Its settings file (the window's place) and its log went beside it.
        EXPECT_TRUE(DeleteFileA((Folder() + "\\" + companion.name + ".INI").c_str()));
        const std::string log = FileText(companion.name + ".log");
        EXPECT_NE(log.find(companion.says), std::string::npos) << log;
        EXPECT_TRUE(DeleteFileA((Folder() + "\\" + companion.name + ".log").c_str()));
    }
}

}  // namespace
