#pragma once
// The console of a companion program: what it says, its title, and its orderly end.
#include <functional>
#include <mutex>
#include <string>

namespace win32io {

// One line per event with the local time, on standard output, flushed at once so that a pipe
// reads it as it happens; and a status in the console window's title (nothing without a console
// window, as when the output goes to a pipe). Any thread.
class Console {
  public:
    void Line(const std::string& text);
    void Title(const std::string& text);

  private:
    std::mutex mutex_;
};

// From its making to its end, Ctrl+C, Ctrl+Break, closing the console window, logging off and
// shutting down end the message loop of the thread that made it (WM_QUIT), so that the program
// ends in order: services withdrawn, threads joined. Windows ends the process as soon as the
// handler of a closed console returns, so there the handler waits until this object is
// destroyed (at most a little under the five seconds Windows allows). Make it before everything
// that must be cleaned up, so that it is destroyed after them. One per program.
class ConsoleQuit {
  public:
    ConsoleQuit();
    ~ConsoleQuit();
    ConsoleQuit(const ConsoleQuit&) = delete;
    ConsoleQuit& operator=(const ConsoleQuit&) = delete;
};

// The frame of a console companion's main (the cluster bridge's, until it has its window): Ctrl+C
// and a closed console end the program in order (ConsoleQuit), Winsock runs for its life, and the
// console says first what the program is ("NAME VERSION: WHAT"). `run` then makes the program's
// parts and returns once they are gone; the console says "closed". A failure is printed as
// "NAME: why", and the exit code is then 1.
int RunConsoleCompanion(const std::string& name, const std::string& version,
                        const std::string& what, const std::function<void(Console& console)>& run);

}  // namespace win32io
