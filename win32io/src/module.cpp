#include "win32io/module.h"

#include <vector>

#include "base/failure.h"

namespace win32io {

HINSTANCE ThisModule() {
    return GetModuleHandleA(nullptr);
}

std::string ProgramFilePath() {
    std::vector<char> path(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) return std::string(path.data(), length);
        path.resize(path.size() * 2);
    }
}

std::string ProgramFolder() {
    const std::string path = ProgramFilePath();
    const auto slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string FileBesideProgram(const std::string& extension) {
    const std::string program = ProgramFilePath();
    const std::size_t slash = program.find_last_of("\\/");
    const std::size_t dot = program.rfind('.');
    const bool hasExtension =
        dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (hasExtension ? program.substr(0, dot) : program) + extension;
}

void RegisterWindowClass(const char* name, WNDPROC procedure, const WindowClassLook& look) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    if (GetClassInfoExA(ThisModule(), name, &windowClass)) return;
    windowClass.style = look.style;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = ThisModule();
    windowClass.hIcon = look.icon;
    windowClass.hCursor = look.cursor;
    windowClass.hbrBackground = look.background;
    windowClass.lpszClassName = name;
    if (!RegisterClassExA(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw base::Failure(std::string("Can't register the window class ") + name);
}

}  // namespace win32io
