#pragma once
// The program's icon in the notification area, for its window's life: its tooltip says the
// program's state, and clicks on it come to the window as `callbackMessage`. Where there is no
// notification area (no shell running), Shown() is false and the window must not hide itself.
#include <windows.h>

#include <shellapi.h>

#include <string>

namespace win32io {

class TrayIcon {
  public:
    TrayIcon(HWND window, UINT callbackMessage, HICON icon, const std::string& tip);
    ~TrayIcon();
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    bool Shown() const { return shown_; }
    void SetTip(const std::string& tip);
    // After the shell restarted (the "TaskbarCreated" message), the icon is added again.
    void AddAgain();
    static UINT TaskbarCreatedMessage();

  private:
    NOTIFYICONDATAA Data() const;

    HWND window_;
    UINT callbackMessage_;
    HICON icon_;
    std::string tip_;
    bool shown_ = false;
};

}  // namespace win32io
