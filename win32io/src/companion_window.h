#pragma once
// A companion's window: its status lines at the top (a label and a value each), below them the
// log, newest at the bottom; a menu bar with File (Settings..., Exit) and Help (About); its icon in
// the notification area, where it goes when minimised; its placement kept in the settings file.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "win32io/profile_section.h"
#include "win32io/src/owned_handles.h"
#include "win32io/src/tray_icon.h"

namespace win32io {

class CompanionWindow {
  public:
    struct Design {
        std::string className;  // also how a second copy finds this one
        std::string title;
        std::vector<std::string> statusLabels;
    };

    // Made hidden, at the placement the section holds (or centred at the design size).
    CompanionWindow(const Design& design, ProfileSection placement);
    ~CompanionWindow();
    CompanionWindow(const CompanionWindow&) = delete;
    CompanionWindow& operator=(const CompanionWindow&) = delete;

    HWND Handle() const { return hwnd_; }
    // Shows it as it was left: minimised (into the notification area) when the placement says
    // so and `asLeft`, otherwise as a normal window in front.
    void Show(bool asLeft);
    // Back from the notification area or the taskbar, in front.
    void ComeForward();

    void AddLines(const std::vector<std::string>& lines);
    void SetStatus(const std::vector<std::string>& values, const std::string& summary);
    // Where the window is, and whether it is minimised, into the settings file.
    void SavePlacement() const;
    // The window goes; after this only the destructor may be called.
    void Destroy();

    // What the window's user asks for; each runs on the window's thread.
    std::function<void()> onSettings;
    std::function<void()> onAbout;
    std::function<void()> onClose;       // the close box, Exit, the tray menu's Exit
    std::function<void()> onEndSession;  // Windows logs off or shuts down: end before returning
    std::function<void()> onPending;     // something was posted for the window (see Pending)

    // Any thread: asks the window's thread to run onPending.
    void Pending() const;

  private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void Create(const Design& design);
    void Layout();
    void OnSize(WPARAM kind);
    void HideInTray();
    void OnTrayIcon(LPARAM event);
    void OnCommand(WORD id);
    void Remember();
    void ShowTrayMenu();

    ProfileSection placement_;
    HWND hwnd_ = nullptr;
    OwnedFont font_;
    OwnedIcon bigIcon_;
    OwnedIcon smallIcon_;
    std::vector<HWND> labels_;
    std::vector<HWND> values_;
    HWND log_ = nullptr;
    int logWidest_ = 0;
    std::unique_ptr<TrayIcon> tray_;
    std::string title_;
    RECT normal_{};  // the last place and size while neither minimised nor maximised
    bool startMinimised_ = false;
};

}  // namespace win32io
