// The Windows functions the window logic calls, as thin as they come.
#include <limits>
#include <vector>

#include "platform/system.h"
#include "platform/win32/impl.h"
#include "platform/win32/units.h"

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

namespace {
std::string ProgramPath() {
    std::vector<char> path(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) return std::string(path.data(), length);
        path.resize(path.size() * 2);
    }
}
}  // namespace

std::string ProgramDirectory() {
    const std::string path = ProgramPath();
    const auto slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string ProgramName() {
    const std::string path = ProgramPath();
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
    return ::SetWindowPos(window.GetImpl().Handle(),
                          reinterpret_cast<HWND>(static_cast<LONG_PTR>(insertAfter)), x, y, cx, cy,
                          flags) != 0;
}

void EndProgram() {
    ExitProcess(0);
}

}  // namespace platform
