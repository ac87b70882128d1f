#pragma once
// A hidden message-only window: the home of timers and of the messages a DDE link, a server or a
// worker thread posts to act on the thread that owns the window, outside any DDEML callback.
#include <windows.h>

#include <functional>

namespace win32io {

class MessageWindow {
  public:
    // Gets every WM_TIMER and every message from WM_APP up; a handler that throws ends only that
    // message.
    using Handler = std::function<void(UINT message, WPARAM wParam, LPARAM lParam)>;

    explicit MessageWindow(Handler handler);  // throws base::Failure
    ~MessageWindow();
    MessageWindow(const MessageWindow&) = delete;
    MessageWindow& operator=(const MessageWindow&) = delete;

    HWND Handle() const { return hwnd_; }
    // False when Windows refuses: a thread's queue holds at most 10,000 posted messages.
    bool Post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    void StartTimer(UINT_PTR id, UINT intervalMs) const;
    void StopTimer(UINT_PTR id) const;

  private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    Handler handler_;
    HWND hwnd_ = nullptr;
};

// Runs the calling thread's message loop until WM_QUIT, handing each message to `deliver`
// (translated and dispatched when none is given); returns the quit code. A message that cannot be
// retrieved is skipped.
int RunMessageLoop(const std::function<void(MSG& message)>& deliver = nullptr);

}  // namespace win32io
