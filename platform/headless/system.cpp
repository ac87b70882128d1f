// Headless system functions: a configurable screen, recorded message boxes, the profile functions
// on real files through the backend's own INI engine.
#include <algorithm>

#include "platform/headless/impl.h"
#include "platform/headless/ini_engine.h"
#include "platform/system.h"

namespace platform {

using headless::Record;
using headless::TheWorld;

ScreenMetrics Screen() {
    const headless::Config& config = TheWorld().config;
    return ScreenMetrics{config.screenWidthPx * config.twipsPerPixelX,
                         config.screenHeightPx * config.twipsPerPixelY, config.twipsPerPixelX,
                         config.twipsPerPixelY};
}

std::string ProgramDirectory() { return TheWorld().config.programDirectory; }
std::string ProgramName() { return TheWorld().config.programName; }

namespace {
// The program builds Windows paths; tests run on POSIX files.
std::string NativePath(std::string path) {
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}
}  // namespace

std::size_t GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& defaultValue, char* buffer,
                                    std::size_t size, const std::string& file) {
    Record("Profile.Read " + section + " " + key);
    return headless::IniRead(section, key, defaultValue, buffer, size, NativePath(file));
}

bool WritePrivateProfileString(const std::string& section, const std::string& key,
                               const std::string& value, const std::string& file) {
    Record("Profile.Write " + section + " " + key + "=" + value);
    return headless::IniWrite(section, key, value, NativePath(file));
}

int MessageBox(Window&, const std::string& text, const std::string& title, unsigned style) {
    Record("MessageBox " + std::to_string(style) + " " + title + ": " + text);
    headless::MessageRecord record{text, title, style};
    TheWorld().messages.push_back(record);
    if (TheWorld().messageHook) TheWorld().messageHook(record);
    return 1;  // IDOK
}

bool SetWindowPos(Window& window, long insertAfter, int x, int y, int cx, int cy,
                  unsigned flags) {
    Record("SetWindowPos " + std::to_string(insertAfter) + " " + std::to_string(x) + " " +
           std::to_string(y) + " " + std::to_string(cx) + " " + std::to_string(cy) + " " +
           std::to_string(flags));
    if (insertAfter == kHwndTopmost) window.GetImpl().topmost = true;
    if (insertAfter == kHwndNoTopmost) window.GetImpl().topmost = false;
    return true;
}

void DoEvents() { Record("DoEvents"); }

void EndProgram() {
    Record("EndProgram");
    TheWorld().ended = true;
}

int RunMessageLoop() { return 0; }

}  // namespace platform
