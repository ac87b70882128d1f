#include "win32io/src/single_instance.h"

namespace win32io {

namespace {
// A copy that has just taken the mutex may not have made its window yet.
constexpr DWORD kStartingCopyMs = 10000;
constexpr DWORD kLookEveryMs = 100;
}  // namespace

SingleInstance::SingleInstance(const std::string& name) {
    const std::string mutexName = "Local\\Vantro32." + name;
    const HANDLE mutex = CreateMutexA(nullptr, FALSE, mutexName.c_str());
    const DWORD error = GetLastError();
    mutex_.reset(mutex);
    // Without a mutex (no rights to make one) the program runs: one copy too many is better than
    // none.
    first_ = !mutex || error != ERROR_ALREADY_EXISTS;
}

UINT ComeForwardMessage() {
    static const UINT message = RegisterWindowMessageA("Vantro32.ComeForward");
    return message;
}

bool BringRunningCopyForward(const std::string& windowClass) {
    for (DWORD waited = 0;; waited += kLookEveryMs) {
        if (const HWND window = FindWindowA(windowClass.c_str(), nullptr)) {
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            // This copy was started by the user, so it may hand the foreground on.
            AllowSetForegroundWindow(process);
            PostMessageA(window, ComeForwardMessage(), 0, 0);
            return true;
        }
        if (waited >= kStartingCopyMs) return false;
        Sleep(kLookEveryMs);
    }
}

}  // namespace win32io
