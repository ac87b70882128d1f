// The companions' log file: however long a bridge runs, the file beside it stays within its
// limit and holds the newest lines, whole.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "win32io/log_file.h"

namespace {

std::string TextOf(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

TEST(LogFileTest, PastItsLimitItKeepsTheNewestWholeLines) {
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() /
        ("companion-log-" + std::to_string(GetCurrentProcessId()) + ".log");
    std::filesystem::remove(path);
    constexpr std::uint32_t kLimit = 1000;
    {
        win32io::LogFile log(path.string(), kLimit);
        for (int i = 0; i < 500; ++i) {
            log.Append("line " + std::to_string(i) + " of the log");
            ASSERT_LE(std::filesystem::file_size(path), kLimit) << "after line " << i;
        }
        EXPECT_EQ(log.Problem(), "");
    }
    const std::string text = TextOf(path);
    EXPECT_TRUE(text.starts_with("line ")) << text.substr(0, 40);
    EXPECT_TRUE(text.ends_with("line 499 of the log\r\n"));
    EXPECT_GE(text.size(), kLimit / 2 - 40);
    EXPECT_EQ(text.find("line 0 of"), std::string::npos);

    // Opened again, it goes on after what is there.
    {
        win32io::LogFile log(path.string(), kLimit);
        log.Append("after a restart");
    }
    EXPECT_TRUE(TextOf(path).ends_with("line 499 of the log\r\nafter a restart\r\n"));
    std::filesystem::remove(path);
}

TEST(LogFileTest, AFileThatCannotBeOpenedIsSaidAndLinesGoNowhere) {
    win32io::LogFile log("Z:\\no such folder\\bridge.log");
    EXPECT_NE(log.Problem().find("cannot be opened"), std::string::npos) << log.Problem();
    log.Append("lost, and no harm done");
}

}  // namespace
