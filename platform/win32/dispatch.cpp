#include "platform/win32/dispatch.h"

#include <windows.h>

#include <exception>
#include <string>

namespace platform::win32 {

void Dispatch(const std::function<void()>& handler) {
    if (!handler) return;
    try {
        handler();
    } catch (const std::exception& failure) {
        // Visible with WINEDEBUG=+debugstr or a debugger; the user sees nothing.
        OutputDebugStringA((std::string("Vantro32: event failed: ") + failure.what()).c_str());
    } catch (...) {
        OutputDebugStringA("Vantro32: event failed");
    }
}

}  // namespace platform::win32
