#pragma once
// A program started by a test with a pipe for its standard output (a bridge, a peer), its output
// read line by line as it comes; a window program's window found and driven.
#include <windows.h>

#include <atomic>
#include <cstddef>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "harness.h"

namespace e2e {

class ConsoleProcess {
  public:
    struct Options {
        std::string folder;  // its current folder; the test's when empty
    };

    // Starts the program (a Windows path) with the arguments. Throws std::runtime_error when it
    // cannot be started.
    ConsoleProcess(const std::string& program, const std::string& arguments)
        : ConsoleProcess(program, arguments, Options{}) {}
    ConsoleProcess(const std::string& program, const std::string& arguments,
                   const Options& options);
    ~ConsoleProcess();  // kills it if it still runs
    ConsoleProcess(const ConsoleProcess&) = delete;
    ConsoleProcess& operator=(const ConsoleProcess&) = delete;

    // Waits for a line that contains the text, among the lines from number `from` on.
    bool WaitForLine(const std::string& text, std::size_t from = 0, DWORD limitMs = kPatienceMs);
    std::size_t LineCount();
    // The lines from number `from` on, as read so far.
    std::vector<std::string> LinesFrom(std::size_t from);
    std::string Output();  // every line so far, for failure messages

    // The program's visible window of this class, as the user's hands on it. Throws
    // std::runtime_error when none appears within the limit.
    Hands WaitForWindow(const std::string& className, DWORD limitMs = kPatienceMs) const;
    // Waits until it has ended and everything it wrote has been read.
    bool WaitForExit(DWORD limitMs = kPatienceMs) const;
    std::optional<DWORD> ExitCode() const;  // nothing while it runs
    void Kill() const;
    DWORD ProcessId() const { return process_.dwProcessId; }

  private:
    void Read();

    std::string name_;
    PROCESS_INFORMATION process_{};
    HANDLE output_ = nullptr;
    std::thread reader_;
    std::mutex mutex_;
    std::vector<std::string> lines_;
    std::atomic<bool> readToTheEnd_{false};  // it ended, and its output is all in lines_
};

}  // namespace e2e
