#include "platform/win32/child.h"

#include "base/failure.h"
#include "platform/win32/units.h"
#include "win32io/module.h"

namespace platform::win32 {

void RegisterClassOnce(const char* name, WNDPROC procedure, HICON icon) {
    win32io::RegisterWindowClass(
        name, procedure,
        {CS_DBLCLKS, icon, LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)),
         GetSysColorBrush(COLOR_WINDOW)});
}

OwnedWindow CreateChild(Container& parent, const char* windowClass, DWORD style, DWORD exStyle,
                        const ControlDesign& design, ChildControl& control) {
    const RECT place = PixelRect(design);
    if (design.visible) style |= WS_VISIBLE;
    OwnedWindow hwnd(CreateWindowExA(
        exStyle, windowClass, design.caption.c_str(), style | WS_CHILD | WS_CLIPSIBLINGS,
        place.left, place.top, place.right - place.left, place.bottom - place.top,
        parent.ContainerNode().hwnd, nullptr, win32io::ThisModule(), nullptr));
    if (!hwnd) throw base::Failure("Can't create the control " + design.name);
    SetWindowLongPtrA(hwnd.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&control));
    SendMessageA(hwnd.get(), WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(design.font)), FALSE);
    return hwnd;
}

ChildControl* ControlOf(HWND hwnd) {
    if (!hwnd) return nullptr;
    return reinterpret_cast<ChildControl*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

namespace {
ChildControl* SenderOf(LPARAM lParam) {
    return ControlOf(reinterpret_cast<HWND>(lParam));
}
}  // namespace

bool RouteToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    ChildControl* control = nullptr;
    switch (message) {
        case WM_COMMAND:
            if (!(control = SenderOf(lParam))) return false;
            control->Command(HIWORD(wParam));
            result = 0;
            return true;
        case WM_VSCROLL:
            if (!(control = SenderOf(lParam))) return false;
            control->Scroll(wParam);
            result = 0;
            return true;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORSCROLLBAR: {
            if (!(control = SenderOf(lParam))) return false;
            const HBRUSH brush = control->Colors(reinterpret_cast<HDC>(wParam));
            if (!brush) return false;
            result = reinterpret_cast<LRESULT>(brush);
            return true;
        }
        default:
            return false;
    }
}

}  // namespace platform::win32
