#pragma once
// How long a program's window keeps a caller waiting: a thread of its own sends the window
// WM_NULL every 250 ms and times each answer. A window stuck anywhere (a wait that does not pass
// on sent messages, a loop) shows as a slow answer; the DDE waits of Vantro32 pass sent messages
// on and show only as far as they hold up the window's thread.
#include <windows.h>

#include <atomic>
#include <mutex>
#include <thread>

namespace soak {

class WindowProbe {
  public:
    WindowProbe();
    ~WindowProbe();
    WindowProbe(const WindowProbe&) = delete;
    WindowProbe& operator=(const WindowProbe&) = delete;

    // The window to probe; nullptr while the program is down.
    void Watch(HWND window);
    // The longest answer since the last call, and over the whole soak, milliseconds.
    ULONGLONG TakeLongest();
    ULONGLONG Longest() const { return longest_; }
    // Probes the window did not answer within a minute.
    int Unanswered() const { return unanswered_; }

  private:
    void Run();

    std::mutex mutex_;
    HWND window_ = nullptr;
    std::atomic<ULONGLONG> longest_{0};
    std::atomic<ULONGLONG> longestLately_{0};
    std::atomic<int> unanswered_{0};
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace soak
