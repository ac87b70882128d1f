// The start-up floor: the least a Win32 program does to show a window with the program's title.
// Built like the program (static, optimised, GUI subsystem). Built with FLOOR_CXX_RUNTIME, it also
// brings in what of the C++ runtime any program of ours needs, strings and exceptions: the floor
// of the exe's size.
#include <windows.h>

#ifdef FLOOR_CXX_RUNTIME
#include <stdexcept>
#include <string>
#endif

#include "tools/perf/perf_shared.h"

namespace {
LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
#ifdef FLOOR_CXX_RUNTIME
    std::string text = perf::kTitle;
    try {
        if (commandLine[0] == '!') throw std::runtime_error(commandLine);
    } catch (const std::exception& failure) {
        text += failure.what();
    }
    const char* const title = text.c_str();
#else
    const char* const title = perf::kTitle;
    (void)commandLine;
#endif
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = "Vantro32Floor";
    RegisterClassA(&windowClass);
    // The program's size at 96 dpi.
    const HWND window =
        CreateWindowExA(0, windowClass.lpszClassName, title,
                        WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, CW_USEDEFAULT,
                        CW_USEDEFAULT, 433, 149, nullptr, nullptr, instance, nullptr);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
