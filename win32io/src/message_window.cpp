#include "win32io/message_window.h"

#include <utility>

#include "base/failure.h"
#include "win32io/module.h"

namespace win32io {

namespace {
constexpr const char* kClassName = "Vantro32MessageWindow";
}  // namespace

MessageWindow::MessageWindow(Handler handler) : handler_(std::move(handler)) {
    RegisterWindowClass(kClassName, &Procedure);
    hwnd_ = CreateWindowExA(0, kClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, ThisModule(),
                            this);
    if (!hwnd_) throw base::Failure("Cannot create a message window");
}

MessageWindow::~MessageWindow() {
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
}

bool MessageWindow::Post(UINT message, WPARAM wParam, LPARAM lParam) const {
    return PostMessageA(hwnd_, message, wParam, lParam) != FALSE;
}

void MessageWindow::StartTimer(UINT_PTR id, UINT intervalMs) const {
    SetTimer(hwnd_, id, intervalMs, nullptr);
}

void MessageWindow::StopTimer(UINT_PTR id) const {
    KillTimer(hwnd_, id);
}

LRESULT CALLBACK MessageWindow::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<MessageWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
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

int RunMessageLoop(const std::function<void(MSG& message)>& deliver) {
    MSG msg{};
    for (;;) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(msg.wParam);
        // A message the system could not hand over is lost alone; the thread's work goes on.
        // (Under Wine, a DDE update about the size of the receiving thread's stack or larger
        // cannot be received: ending the loop there would end every link and service of the
        // thread without a word.)
        if (got < 0) continue;
        if (deliver) {
            deliver(msg);
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

}  // namespace win32io
