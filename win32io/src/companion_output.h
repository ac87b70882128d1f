#pragma once
// Where a companion's log lines and status go: each line at once to the standard output (when
// the program was given one) and to the log file; lines and status to the window, whose thread
// takes them when it gets to them.
#include <windows.h>

#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "win32io/companion.h"
#include "win32io/log_file.h"

namespace win32io {

class CompanionWindow;

class CompanionFrameOutput final : public CompanionOutput {
  public:
    explicit CompanionFrameOutput(const std::string& logPath);

    void Line(const std::string& text) override;
    void Status(const std::vector<std::string>& values, const std::string& summary) override;

    // The window that shows what comes (what came before is shown too); nullptr: none any more.
    void ShowIn(CompanionWindow* window);
    // On the window's thread: hands it what came since the last time.
    void Deliver();

  private:
    void WakeWindow();  // with the mutex held

    std::mutex mutex_;
    HANDLE standardOutput_ = nullptr;
    LogFile file_;
    std::vector<std::string> lines_;
    std::optional<std::pair<std::vector<std::string>, std::string>> status_;
    CompanionWindow* window_ = nullptr;
    bool woken_ = false;
    bool windowGone_ = false;  // lines are kept for the window only until it goes
};

}  // namespace win32io
