#pragma once
// The console of a substitute peer: one line for everything it receives or sends, and commands
// typed on its standard input (or written there by a test).
#include <functional>
#include <string>

#include "win32io/dde_server.h"
#include "win32io/message_window.h"
#include "win32io/module.h"

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

// Says when a client opens or ends a conversation with the server.
void SayConversations(win32io::DdeServer& server);

// The frame of a peer's main: "--help" prints the usage and ends; otherwise `run` runs, and a
// failure it throws (a bad option, a file that cannot be read, a DDE service refused) is printed
// with the usage as "NAME: why", ending the program with exit code 1.
int RunPeer(int argc, char** argv, const char* name, const char* usage,
            const std::function<int()>& run);

}  // namespace tools
