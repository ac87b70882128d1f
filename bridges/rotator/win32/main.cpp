// rotbridge: stands in for the rotator program on Vantro32's rotator link and drives a rotator
// through Hamlib's rotctld.
//
//   rotbridge [HOST[:PORT]]      rotctld's address, 127.0.0.1:4533 when left out
//
// It runs until its console is closed or Ctrl+C is pressed.
#include <cstdio>
#include <cstring>
#include <optional>

#include "bridges/rotator/core/address.h"
#include "bridges/rotator/win32/bridge.h"
#include "win32io/companion.h"
#include "win32io/message_window.h"

namespace {

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
    return win32io::RunCompanion(
        "rotbridge", VANTRO_VERSION,
        "Vantro32's rotator bridge, the rotator link served from Hamlib's rotctld",
        [&](win32io::Console& console) {
            const rotbridge::Bridge bridge(*address, console);
            win32io::RunMessageLoop();
        });
}
