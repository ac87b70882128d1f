// The Windows functions the window logic calls, as thin as they come.
#include <limits>

#include "platform/system.h"
#include "platform/win32/impl.h"
#include "platform/win32/units.h"
#include "win32io/module.h"

// <windows.h> maps these names to their A or W functions; here they are ours.
#undef GetPrivateProfileString
#undef WritePrivateProfileString
#undef MessageBox

namespace platform {

ScreenMetrics Screen() {
    return ScreenMetrics{win32::TwipsX(GetSystemMetrics(SM_CXSCREEN)),
                         win32::TwipsY(GetSystemMetrics(SM_CYSCREEN)), win32::TwipsPerPixelX(),
                         win32::TwipsPerPixelY()};
}

std::string ProgramDirectory() {
    return win32io::ProgramFolder();
}

std::string ProgramName() {
    const std::string path = win32io::ProgramFilePath();
    const auto slash = path.find_last_of("\\/");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const auto dot = name.find_last_of('.');
    if (dot != std::string::npos) name.erase(dot);
    return name;
}

std::size_t GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& defaultValue, char* buffer, std::size_t size,
                                    const std::string& file) {
    const DWORD capacity = static_cast<DWORD>(
        size < std::numeric_limits<DWORD>::max() ? size : std::numeric_limits<DWORD>::max());
    return GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(), buffer,
                                    capacity, file.c_str());
}

bool WritePrivateProfileString(const std::string& section, const std::string& key,
                               const std::string& value, const std::string& file) {
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str()) !=
           0;
}

int MessageBox(Window& owner, const std::string& text, const std::string& title, unsigned style) {
    return MessageBoxA(owner.GetImpl().Handle(), text.c_str(), title.c_str(), style);
}

bool SetWindowPos(Window& window, long insertAfter, int x, int y, int cx, int cy, unsigned flags) {
    if (!(flags & SWP_NOMOVE)) window.GetImpl().placeWhileHidden.reset();  // this move wins
    return ::SetWindowPos(window.GetImpl().Handle(),
                          reinterpret_cast<HWND>(static_cast<LONG_PTR>(insertAfter)), x, y, cx, cy,
                          flags) != 0;
}

void EndProgram() {
    ExitProcess(1);
}

}  // namespace platform
