// clusterbridge: stands in for the host logging program on Vantro32's spot link, with spots from
// a telnet DX cluster node and the beam heading and distance of each worked out from the
// station's locator and the country file. A small window shows what it does.
//
//   clusterbridge [--node-host HOST] [--callsign CALL] [--locator JO62QM] [...]
//
// Every setting can stand in clusterbridge.INI beside the program, and be set in the window's
// settings dialog; the command line wins over the file.
#include <memory>

#include "base/dde_names.h"
#include "bridges/cluster/core/bridge_settings.h"
#include "bridges/cluster/win32/bridge_status.h"
#include "bridges/cluster/win32/running_bridge.h"
#include "bridges/common/win32/companion_settings.h"
#include "win32io/companion.h"

namespace {

std::string Usage() {
    using namespace dde_names::host;
    return std::string(
               "usage: clusterbridge [--KEY VALUE]...\n"
               "Logs into a telnet DX cluster node and offers its spots to Vantro32 as "
               "the host program does (DDE service ") +
           kService32 + " or " + kService + ", topic " + kTopic + ", item " + kItem +
           "), with the beam heading and distance of each from your locator and the country "
           "file.\nSettings, as options or as KEY=VALUE in section [SETTINGS] of "
           "clusterbridge.INI beside the program (the option wins), or in the window's "
           "settings dialog:\n" +
           cluster::BridgeSettingsTable().Usage();
}

}  // namespace

int main(int argc, char** argv) {
    win32io::CompanionProgram program;
    program.name = "clusterbridge";
    program.title = "Cluster Bridge";
    program.version = VANTRO_VERSION;
    program.what = "Vantro32's cluster bridge, spots from a DX cluster node";
    program.usage = Usage();
    program.statusLabels = clusterbridge::StatusLabels();
    bridges::UseSettingsTable(program, cluster::BridgeSettingsTable());
    program.start = [](const win32io::SettingTexts& texts, win32io::CompanionOutput& output) {
        return std::make_unique<clusterbridge::RunningBridge>(texts, output);
    };
    return win32io::RunCompanion(program, argc, argv);
}
