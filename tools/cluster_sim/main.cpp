// The cluster node simulator: a telnet DX cluster node on 127.0.0.1, playing one family of node
// programs, that logs in any call and, while a client is logged in, sends a spot every interval:
// stations all over the world on the HF bands, each call new, the time the current UTC.
#include <windows.h>

#include <string>

#include "tools/cluster_sim/node_simulator.h"
#include "tools/peer_console.h"
#include "win32io/tcp_connection.h"

namespace {

constexpr const char* kUsage =
    "usage: cluster_sim [--port PORT] [--interval MS] [--profile NAME] [--first N]\n"
    "A DX cluster node on 127.0.0.1:PORT (default 7300): logs in any call and sends a spot\n"
    "every MS milliseconds (default 2000) while a client is logged in. NAME is the node\n"
    "program it plays: dxspider-1.57 (the default), dxspider-1.55, ar-cluster, cc-cluster\n"
    "or skimmer-server. N numbers the first spot's call (default 0): a node started again\n"
    "with the count it sent before goes on with new calls, which no duplicate check drops.\n";

struct Station {
    const char* prefix;  // the call's first part; a new suffix is added each time
    const char* kHz;
    const char* comment;
};

// Far and near, in every direction from Europe and North America.
constexpr Station kStations[] = {
    {"JA1", "14025.0", "CW"},  {"VK2", "21074.0", "FT8"}, {"PY2", "28495.0", "SSB"},
    {"ZS6", "14195.0", "SSB"}, {"W6", "7020.0", "CW"},    {"VU2", "18100.0", "FT8"},
    {"KH6", "21025.0", "CW"},  {"LU1", "14280.0", "USB"}, {"UA9", "7010.0", "CW"},
    {"ZL1", "14074.0", "FT8"}, {"EA8", "28020.0", "CW"},  {"VE7", "14230.0", "SSB"},
    {"OX3", "10115.0", "CW"},  {"5B4", "24950.0", "SSB"}, {"HS0", "21290.0", "SSB"},
    {"CE3", "10136.0", "FT8"}, {"TF3", "3510.0", "CW"},   {"9M2", "18085.0", "CW"},
};

// "AAA", "AAB", ...: a suffix for the n-th call.
std::string Suffix(unsigned n) {
    std::string suffix(3, 'A');
    for (int i = 2; i >= 0; --i, n /= 26) suffix[i] = static_cast<char>('A' + n % 26);
    return suffix;
}

}  // namespace

int main(int argc, char** argv) {
    return tools::RunPeer(argc, argv, "cluster_sim", kUsage, [&]() -> int {
        const win32io::WinsockSession winsock;
        const int port = std::stoi(tools::Option(argc, argv, "--port", "7300"));
        const DWORD interval = std::stoul(tools::Option(argc, argv, "--interval", "2000"));
        const tools::NodeStyle style =
            tools::Profile(tools::Option(argc, argv, "--profile", "dxspider-1.57"));
        tools::NodeSimulator node(style, port);
        tools::Say("offering a DX cluster node on 127.0.0.1:" + std::to_string(node.Port()) +
                   ", playing " + style.name);
        const unsigned first = std::stoul(tools::Option(argc, argv, "--first", "0"));
        int loginsSeen = 0;
        for (unsigned n = first;; ++n) {
            Sleep(interval);
            if (node.Logins() != loginsSeen) {
                loginsSeen = node.Logins();
                tools::Say("logged in: " + node.Calls().back());
            }
            if (loginsSeen == 0) continue;
            const Station& station = kStations[n % std::size(kStations)];
            const tools::SimSpot spot{"SIM1-#", station.kHz, station.prefix + Suffix(n),
                                      station.comment, tools::UtcTime()};
            node.SendSpot(spot);
            tools::Say("send " + tools::SpotLine(style.spotForm, spot));
        }
    });
}
