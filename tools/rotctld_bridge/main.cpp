// rotbridge: stands in for the rotator program on Vantro32's rotator link and drives a rotator
// through Hamlib's rotctld.
//
//   rotbridge [HOST[:PORT]]      rotctld's address, 127.0.0.1:4533 when left out
//
// It runs until its console is closed or Ctrl+C is pressed.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <exception>
#include <optional>

#include "tools/rotctld_bridge/bridge.h"
#include "tools/rotctld_bridge/console.h"
#include "tools/rotctld_bridge/core/address.h"
#include "tools/rotctld_bridge/winsock_connection.h"

namespace {

DWORD mainThread = 0;

BOOL WINAPI OnConsoleEvent(DWORD) {
    PostThreadMessageA(mainThread, WM_QUIT, 0, 0);
    return TRUE;
}

void Usage() {
    std::fputs(
        "usage: rotbridge [HOST[:PORT]]\n"
        "Offers the rotator link (DDE service ARSWIN, topic RCI, item AZIMUTH) and turns the\n"
        "rotator through Hamlib's rotctld at HOST:PORT (default 127.0.0.1:4533).\n",
        stderr);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 2 ||
        (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0 ||
                       std::strcmp(argv[1], "/?") == 0))) {
        Usage();
        return 2;
    }
    const std::optional<rotbridge::RotctldAddress> address =
        rotbridge::ParseAddress(argc == 2 ? argv[1] : "");
    if (!address) {
        std::fprintf(stderr, "rotbridge: \"%s\" is not an address of rotctld\n", argv[1]);
        Usage();
        return 2;
    }
    mainThread = GetCurrentThreadId();
    SetConsoleCtrlHandler(&OnConsoleEvent, TRUE);
    try {
        const rotbridge::WinsockSession winsock;
        rotbridge::Console console(address->Text());
        const rotbridge::Bridge bridge(*address, console);
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        console.Line("closing");
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "rotbridge: %s\n", failure.what());
        return 1;
    }
    return 0;
}
