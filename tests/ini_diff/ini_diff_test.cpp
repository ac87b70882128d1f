// The settings file through the real Windows profile functions and through the headless
// backend's own engine: the table's scenarios must give the table's results through both, and
// random scenarios the same results through both.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "scenarios.h"

namespace ini_diff {
namespace {

constexpr unsigned kRandomSeed = 20000508;
constexpr int kRandomScenarios = 300;

// A folder in the temporary folder, removed with what it holds. Each run gets a fresh folder
// inside it, so that no run meets a file name the profile functions may still hold in a cache.
class ScratchFolder {
  public:
    ScratchFolder() {
        char temp[MAX_PATH + 1] = {};
        GetTempPathA(sizeof temp, temp);
        root_ = std::string(temp) + "vantro_ini_diff_" + std::to_string(GetCurrentProcessId()) +
                "_" + std::to_string(GetTickCount64());
        CreateDirectoryA(root_.c_str(), nullptr);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string Fresh() {
        const std::string folder = root_ + "\\" + std::to_string(++count_);
        CreateDirectoryA(folder.c_str(), nullptr);
        return folder;
    }

  private:
    std::string root_;
    int count_ = 0;
};

class SettingsFileTable : public ::testing::TestWithParam<Scenario> {};

TEST_P(SettingsFileTable, BothBackendsGiveTheTablesResults) {
    const Scenario& scenario = GetParam();
    ScratchFolder scratch;
    if (scenario.before == Before::kReadOnlyFile && ReadOnlyFilesAreWritable(scratch.Fresh())) {
        GTEST_SKIP() << "this process may write into a read-only file (it runs as root or as an "
                        "administrator), so a read-only settings file cannot be shown here";
    }
    const Outcome expected = Expected(scenario);
    EXPECT_EQ(RunScenario(WindowsProfile(), scenario, scratch.Fresh()), expected)
        << "through the " << WindowsProfile().Name();
    EXPECT_EQ(RunScenario(OwnEngine(), scenario, scratch.Fresh()), expected)
        << "through the " << OwnEngine().Name();
}

INSTANTIATE_TEST_SUITE_P(Scenarios, SettingsFileTable, ::testing::ValuesIn(TableScenarios()),
                         [](const auto& info) { return info.param.name; });

TEST(SettingsFileRandom, TheOwnEngineAgreesWithTheWindowsFunctions) {
    constexpr int kReportedAtMost = 5;
    ScratchFolder scratch;
    int mismatches = 0;
    for (const Scenario& scenario : RandomScenarios(kRandomSeed, kRandomScenarios)) {
        const Outcome windows = RunScenario(WindowsProfile(), scenario, scratch.Fresh());
        const Outcome own = RunScenario(OwnEngine(), scenario, scratch.Fresh());
        if (windows == own) continue;
        ADD_FAILURE() << Describe(scenario)
                      << "\nWindows profile functions:" << ::testing::PrintToString(windows)
                      << "\nown engine:" << ::testing::PrintToString(own);
        if (++mismatches == kReportedAtMost) break;
    }
}

}  // namespace
}  // namespace ini_diff
