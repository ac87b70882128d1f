#pragma once
// The Win32 state behind the window and the labels, shared by the backend's files.
#include <windows.h>

#include <map>
#include <optional>
#include <string>

#include "platform/controls.h"
#include "platform/win32/child.h"
#include "platform/win32/handles.h"
#include "win32io/dde_link.h"

namespace platform {

struct Window::Impl {
    Node node;
    Window* self = nullptr;
    win32::OwnedWindow ownership;  // of node.hwnd
    HMENU menuBar = nullptr;       // destroyed with the window
    SIZE designClient{};           // pixels
    bool shown = false;
    bool minimizedWhileHidden = false;  // minimised before the first Show
    // Where a window not yet shown is to appear. Under Wine each move of a top-level window is a
    // round trip to the display server, and the start-up places the window several times before
    // it is shown: it moves once, when it is shown.
    std::optional<POINT> placeWhileHidden;
    bool unloading = false;
    // The size and state the last Resize event was raised for.
    WindowState lastState = WindowState::Normal;
    SIZE lastSize{};
    HWND focus = nullptr;  // the control to give the focus back to on activation

    HWND Handle() const { return node.hwnd; }

    UINT nextMenuId = 100;
    std::map<UINT, MenuItem*> menuItems;
    UINT_PTR nextTimerId = 1;
    std::map<UINT_PTR, Timer*> timers;

    void FitClientToDesign();  // while the window is still being built
    POINT Place() const;       // the top-left corner, in pixels
    void MoveTo(POINT place);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
};

namespace win32 {
// The program's window, for the message loop and message boxes; nullptr when there is none.
Window::Impl* MainWindow();
// The program's message loop says it starts; until then, the start-up is under way.
void MainLoopStarts();
}  // namespace win32

struct Label::Impl : win32::ChildControl {
    Label* self = nullptr;
    ControlDesign design;
    std::string caption;
    base::Color backColor;
    win32::GdiObject<HBRUSH> backBrush;  // none while the colour is a system one
    win32::OwnedWindow hwnd;
    std::string linkTopic, linkItem;
    int linkMode = 0;
    std::unique_ptr<win32io::DdeLink> link;  // made at the first link; label_link.cpp

    HBRUSH Colors(HDC dc) override;
};

}  // namespace platform
