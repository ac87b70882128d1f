#pragma once
// How long the program keeps the user waiting: a thread of its own presses Page Down and Page Up
// in turn on the manual heading's scroll bar, as the keyboard does, and times each press until
// labSel shows it. A window held in a DDE wait (or anywhere else) shows as a slow press. Only for
// tests that leave the scroll bar alone.
#include <windows.h>

#include <atomic>
#include <thread>

#include "harness.h"

namespace e2e {

class InputProbe {
  public:
    explicit InputProbe(const Program& program);
    ~InputProbe();  // stops pressing
    InputProbe(const InputProbe&) = delete;
    InputProbe& operator=(const InputProbe&) = delete;

    ULONGLONG LongestMs() const { return longest_; }
    int Answered() const { return answered_; }
    // Presses the window had not answered after kPatienceMs: a hang.
    int Unanswered() const { return unanswered_; }
    // Waits (handling this thread's messages) until `count` more presses have been answered.
    bool WaitForAnswers(int count, DWORD limitMs = kPatienceMs) const;

  private:
    void Run();

    const Program& program_;
    HWND bar_ = nullptr;
    HWND selected_ = nullptr;
    std::atomic<bool> stop_{false};
    std::atomic<ULONGLONG> longest_{0};
    std::atomic<int> answered_{0};
    std::atomic<int> unanswered_{0};
    std::thread thread_;
};

}  // namespace e2e
