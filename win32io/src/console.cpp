#include "win32io/console.h"

#include <windows.h>

#include <cstdio>
#include <exception>

#include "win32io/tcp_connection.h"

namespace win32io {

namespace {
// Windows gives a closed console's handler five seconds before it ends the process.
constexpr DWORD kCleanUpLimitMs = 4500;

DWORD quitThread = 0;
HANDLE cleanedUp = nullptr;

BOOL WINAPI OnConsoleEvent(DWORD event) {
    PostThreadMessageA(quitThread, WM_QUIT, 0, 0);
    if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT)
        WaitForSingleObject(cleanedUp, kCleanUpLimitMs);
    return TRUE;
}
}  // namespace

void Console::Line(const std::string& text) {
    const std::lock_guard lock(mutex_);
    SYSTEMTIME t;
    GetLocalTime(&t);
    std::printf("%02u:%02u:%02u %s\n", t.wHour, t.wMinute, t.wSecond, text.c_str());
    std::fflush(stdout);
}

void Console::Title(const std::string& text) {
    const std::lock_guard lock(mutex_);
    SetConsoleTitleA(text.c_str());
}

ConsoleQuit::ConsoleQuit() {
    // The thread's message queue, made now: a quit posted before its first window is not lost.
    MSG msg;
    PeekMessageA(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    quitThread = GetCurrentThreadId();
    cleanedUp = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    SetConsoleCtrlHandler(&OnConsoleEvent, TRUE);
}

ConsoleQuit::~ConsoleQuit() {
    // The handle stays open: a handler may still be waiting on it while the process ends.
    SetEvent(cleanedUp);
}

int RunConsoleCompanion(const std::string& name, const std::string& version,
                        const std::string& what, const std::function<void(Console& console)>& run) {
    try {
        const ConsoleQuit quit;
        const WinsockSession winsock;
        Console console;
        console.Line(name + " " + version + ": " + what);
        run(console);
        console.Line("closed");
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "%s: %s\n", name.c_str(), failure.what());
        return 1;
    }
    return 0;
}

}  // namespace win32io
