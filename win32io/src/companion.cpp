#include "win32io/companion.h"

#include <cstdio>
#include <exception>

#include "win32io/tcp_connection.h"

namespace win32io {

int RunCompanion(const std::string& name, const std::string& version, const std::string& what,
                 const std::function<void(Console& console)>& run) {
    try {
        const ConsoleQuit quit;
        const WinsockSession winsock;
        Console console;
        console.Line(name + " " + version + ": " + what);
        run(console);
        console.Line("closed");
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "%s: %s\n", name.c_str(), failure.what());
        return 1;
    }
    return 0;
}

}  // namespace win32io
