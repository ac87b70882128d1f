#pragma once
// The Windows functions and program-wide facilities the window logic uses.
#include <cstddef>
#include <string>

namespace platform {

class Window;

struct ScreenMetrics {
    float width = 0, height = 0;                   // primary display, twips
    float twipsPerPixelX = 15, twipsPerPixelY = 15;  // not rounded
};
ScreenMetrics Screen();

// Folder of the program file (no trailing separator) and the file's name without its extension.
std::string ProgramDirectory();
std::string ProgramName();

// The profile functions, as GetPrivateProfileStringA / WritePrivateProfileStringA: the read copies
// at most size - 1 characters and returns their count; a missing file, section or key gives the
// default. The write reports whether the file was written.
std::size_t GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& defaultValue, char* buffer,
                                    std::size_t size, const std::string& file);
bool WritePrivateProfileString(const std::string& section, const std::string& key,
                               const std::string& value, const std::string& file);

// MessageBoxA, owned by the window; modal. Returns the button pressed.
int MessageBox(Window& owner, const std::string& text, const std::string& title, unsigned style);

// SetWindowPos on the window's handle; insertAfter as the Windows constants (-1 HWND_TOPMOST, -2
// HWND_NOTOPMOST).
inline constexpr long kHwndTopmost = -1;
inline constexpr long kHwndNoTopmost = -2;
inline constexpr unsigned kSwpNoSize = 1, kSwpNoMove = 2;
bool SetWindowPos(Window& window, long insertAfter, int x, int y, int cx, int cy, unsigned flags);

// Processes, once, every window event that is already pending.
void DoEvents();

// Ends the program at once, as a failure (exit code 1): no unload handling runs. (The headless
// backend marks the program as ended and returns, so that tests can look at what happened.)
void EndProgram();

// Runs the window's message loop until the program's window is gone; returns the exit code.
int RunMessageLoop();

}  // namespace platform
