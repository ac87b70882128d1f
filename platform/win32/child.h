#pragma once
// Controls inside a container: creation, and the messages a container hands on to them.
//
// Windows sends a control's notifications (WM_COMMAND, WM_VSCROLL, WM_CTLCOLOR*) to its parent.
// Every container of ours (the window, a frame, a picture box) passes them to the control they
// are about, which finds itself through the window's user data.
#include <windows.h>

#include "platform/controls.h"
#include "platform/win32/handles.h"

namespace platform {

struct Container::Node {
    HWND hwnd = nullptr;
};

namespace win32 {

class ChildControl {
  public:
    virtual void Command(WORD /*notification*/) {}
    virtual void Scroll(WPARAM /*request*/) {}
    // The brush for the control's background, with the colours set on the DC; nullptr leaves it
    // to Windows.
    virtual HBRUSH Colors(HDC /*dc*/) { return nullptr; }

  protected:
    ~ChildControl() = default;
};

// Creates a control of a window class at its design place in the container, in the design's
// font, visible as the design says; `control` receives its notifications.
OwnedWindow CreateChild(Container& parent, const char* windowClass, DWORD style, DWORD exStyle,
                        const ControlDesign& design, ChildControl& control);

// The control a window of ours belongs to; nullptr while it is being created.
ChildControl* ControlOf(HWND hwnd);

// Hands a notification to the control it is about. Returns false when it is none of ours.
bool RouteToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

// Registers a window class of the backend once; the class brush is the window background.
void RegisterClassOnce(const char* name, WNDPROC procedure, HICON icon = nullptr);

}  // namespace win32
}  // namespace platform
