#pragma once
// The program file and its window classes.
#include <windows.h>

#include <string>

namespace win32io {

// The module the program was started from.
HINSTANCE ThisModule();

// The full path of the program file, however long.
std::string ProgramFilePath();
// Its folder, without a trailing separator.
std::string ProgramFolder();
// A file beside it named after it: the program's path with the extension replaced,
// "C:\Radio\clusterbridge.INI" for ".INI".
std::string FileBesideProgram(const std::string& extension);

// How the windows of a class look; nothing set is Windows' default.
struct WindowClassLook {
    UINT style = 0;
    HICON icon = nullptr;
    HCURSOR cursor = nullptr;
    HBRUSH background = nullptr;
};

// Registers the window class of this module once; a class already registered under the name is
// left as it is. Throws base::Failure when Windows refuses.
void RegisterWindowClass(const char* name, WNDPROC procedure, const WindowClassLook& look = {});

}  // namespace win32io
