#pragma once
// The frame of a companion program's main, the same for every bridge.
#include <functional>
#include <string>

#include "win32io/console.h"

namespace win32io {

// Ctrl+C and a closed console end the program in order (ConsoleQuit), Winsock runs for its life,
// and the console says first what the program is ("NAME VERSION: WHAT"). `run` then makes the
// program's parts, says what else is worth saying and returns once they are gone; the console
// says "closed". A failure is printed as "NAME: why", and the exit code is then 1.
int RunCompanion(const std::string& name, const std::string& version, const std::string& what,
                 const std::function<void(Console& console)>& run);

}  // namespace win32io
