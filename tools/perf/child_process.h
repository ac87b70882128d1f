#pragma once
// A program the driver starts and ends: its windows and its memory, seen from outside.
#include <windows.h>

#include <cstddef>
#include <string>

namespace perf {

// Milliseconds from a fixed point, to a fraction of a microsecond.
double NowMs();

// Keeps the last of the machine's CPUs for the calling thread, the one that watches, and has
// every ChildProcess started afterwards run on the others. Does nothing on a single CPU. See
// docs/performance.md: a watcher that wakes every millisecond on the CPUs of the programs it
// watches slows their requests to Wine's server down, the more so the more requests they make.
void KeepOneCpuForTheWatcher();

class ChildProcess {
  public:
    // Starts `program` with `arguments` in `folder`; throws std::runtime_error when it cannot.
    ChildProcess(const std::string& program, const std::string& arguments,
                 const std::string& folder);
    ~ChildProcess();  // ends it if it still runs
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // The first visible top-level window of the process with this title, polled every
    // millisecond or so; nullptr when none appears within the limit.
    HWND WaitForWindow(const std::string& title, DWORD limitMs) const;
    // Asks the window to close and waits for the process to end; ends it after the limit.
    void Close(HWND window, DWORD limitMs);
    void Kill();
    std::size_t WorkingSet() const;  // bytes; 0 when it cannot be read

  private:
    PROCESS_INFORMATION process_{};
};

// The working set of a process, bytes; 0 when it cannot be read.
std::size_t WorkingSet(HANDLE process);
std::size_t WorkingSetOf(DWORD processId);

// A child of `parent` (at any depth) of this class and text; nullptr if none.
HWND FindChild(HWND parent, const std::string& className, const std::string& text);

}  // namespace perf
