#pragma once
// A hidden message-only window: the home of a DDE link's watch timer and of the messages a link or
// a server posts to itself to act outside a DDEML callback.
#include <windows.h>

#include <functional>

namespace platform::win32 {

class DdeWindow {
  public:
    // Gets every WM_TIMER and every message from WM_APP up; a handler that throws ends only that
    // message.
    using Handler = std::function<void(UINT message, WPARAM wParam, LPARAM lParam)>;

    explicit DdeWindow(Handler handler);  // throws base::Failure
    ~DdeWindow();
    DdeWindow(const DdeWindow&) = delete;
    DdeWindow& operator=(const DdeWindow&) = delete;

    HWND Handle() const { return hwnd_; }
    void Post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    void StartTimer(UINT_PTR id, UINT intervalMs) const;
    void StopTimer(UINT_PTR id) const;

  private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    Handler handler_;
    HWND hwnd_ = nullptr;
};

}  // namespace platform::win32
