#include "tools/rotctld_bridge/console.h"

#include <windows.h>

#include <cstdio>

namespace rotbridge {

void Console::Line(const std::string& text) {
    const std::lock_guard lock(mutex_);
    SYSTEMTIME t;
    GetLocalTime(&t);
    std::printf("%02u:%02u:%02u %s\n", t.wHour, t.wMinute, t.wSecond, text.c_str());
    std::fflush(stdout);
}

void Console::SetConnected(bool up) {
    const std::lock_guard lock(mutex_);
    connected_ = up;
    ShowStatus();
}

void Console::SetLastCommand(const std::string& command) {
    const std::lock_guard lock(mutex_);
    lastCommand_ = command;
    ShowStatus();
}

void Console::ShowStatus() {
    // Without a console (output to a pipe) there is no title; that is fine.
    const std::string title = "rotbridge: ARSWIN|RCI to rotctld " + rotctld_ +
                              (connected_ ? " (connected)" : " (not connected)") +
                              (lastCommand_.empty() ? "" : ", last command " + lastCommand_);
    SetConsoleTitleA(title.c_str());
}

}  // namespace rotbridge
