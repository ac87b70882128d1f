#pragma once
// The console of a substitute peer: one line for everything it receives or sends, and commands
// typed on its standard input (or written there by a test).
#include <functional>
#include <string>

namespace tools {

// The text with every byte outside printable ASCII written as an escape: \r, \n, \xHH.
std::string Printable(const std::string& text);

// Prints one line at once; any thread.
void Say(const std::string& line);

// Reads standard input on a thread of its own and hands each line to `onLine` there, on that
// thread: the handler must only touch what is safe to touch from it. Reading ends with the input.
void ReadCommands(std::function<void(const std::string& line)> onLine);

// The value of a "--name value" option among the arguments, or `otherwise`.
std::string Option(int argc, char** argv, const std::string& name, const std::string& otherwise);
bool Flag(int argc, char** argv, const std::string& name);

// The folder of the program file, without a trailing separator.
std::string ProgramFolder();

// Runs the thread's message loop until WM_QUIT; returns its exit code.
int RunMessageLoop();

}  // namespace tools
