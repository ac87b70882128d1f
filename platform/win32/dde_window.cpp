#include "platform/win32/dde_window.h"

#include <utility>

#include "base/failure.h"

namespace platform::win32 {

namespace {
constexpr const char* kClassName = "Vantro32DdeWindow";

HINSTANCE ThisModule() {
    return GetModuleHandleA(nullptr);
}

void RegisterClassOnce(WNDPROC procedure) {
    WNDCLASSA existing{};
    if (GetClassInfoA(ThisModule(), kClassName, &existing)) return;
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = ThisModule();
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassA(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw base::Failure("Cannot register the DDE window class");
}
}  // namespace

DdeWindow::DdeWindow(Handler handler) : handler_(std::move(handler)) {
    RegisterClassOnce(&Procedure);
    hwnd_ = CreateWindowExA(0, kClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, ThisModule(),
                            this);
    if (!hwnd_) throw base::Failure("Cannot create the DDE window");
}

DdeWindow::~DdeWindow() {
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
}

void DdeWindow::Post(UINT message, WPARAM wParam, LPARAM lParam) const {
    PostMessageA(hwnd_, message, wParam, lParam);
}

void DdeWindow::StartTimer(UINT_PTR id, UINT intervalMs) const {
    SetTimer(hwnd_, id, intervalMs, nullptr);
}

void DdeWindow::StopTimer(UINT_PTR id) const {
    KillTimer(hwnd_, id);
}

LRESULT CALLBACK DdeWindow::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<DdeWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self && (message == WM_TIMER || message >= WM_APP)) {
        // A failure must not unwind through the system's message dispatch.
        try {
            self->handler_(message, wParam, lParam);
        } catch (...) {
        }
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace platform::win32
