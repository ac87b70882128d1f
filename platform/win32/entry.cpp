// The process entry and the message loop. WinMain lives beside the loop, which the program calls,
// so that a static link always brings it along.
//
// Keys go through the dialog manager first, for Tab between controls and the access keys of
// buttons; every other message, WM_SYSCOMMAND included, is passed on.
#include "platform/entry.h"
#include "platform/system.h"
#include "platform/win32/impl.h"
#include "win32io/dde_link.h"
#include "win32io/message_window.h"

namespace platform {

namespace {
void Deliver(MSG& message) {
    const Window::Impl* window = win32::MainWindow();
    if (window && window->Handle() && IsDialogMessageA(window->Handle(), &message)) return;
    TranslateMessage(&message);
    DispatchMessageA(&message);
}
}  // namespace

void DoEvents() {
    MSG message{};
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));  // for the main loop to end on
            return;
        }
        Deliver(message);
    }
}

int RunMessageLoop() {
    win32::MainLoopStarts();
    const int code = win32io::RunMessageLoop(Deliver);
    // The unload asked for the ends of the conversations; the peers see them before the end.
    win32io::WaitForDdeLinkEnds();
    return code;
}

}  // namespace platform

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return platform::AppMain();
}
