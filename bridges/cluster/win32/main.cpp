// clusterbridge: stands in for the host logging program on Vantro32's spot link, with spots from
// a telnet DX cluster node and the beam heading and distance of each worked out from the
// station's locator and the country file.
//
//   clusterbridge [--node-host HOST] [--callsign CALL] [--locator JO62QM] [...]
//
// Every setting can stand in clusterbridge.INI beside the program; the command line wins. It
// runs until its console is closed or Ctrl+C is pressed.
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "bridges/cluster/core/bridge_settings.h"
#include "bridges/cluster/win32/bridge.h"
#include "bridges/cluster/win32/profile_settings.h"
#include "win32io/console.h"
#include "win32io/message_window.h"
#include "win32io/module.h"

namespace {

void Usage() {
    std::fputs(
        "usage: clusterbridge [--KEY VALUE]...\n"
        "Logs into a telnet DX cluster node and offers its spots to Vantro32 as the host\n"
        "program does (DDE service WENDRA32 or WENDRA, topic WENDATA, item labDxSpot), with\n"
        "the beam heading and distance of each from your locator and the country file.\n"
        "Settings, as options or as KEY=VALUE in section [SETTINGS] of clusterbridge.INI\n"
        "beside the program (the option wins):\n",
        stderr);
    std::fputs(cluster::BridgeSettingsTable().Usage().c_str(), stderr);
}

bool IsRelative(const std::string& path) {
    const bool drive = path.size() >= 2 && path[1] == ':';
    return !drive && !path.starts_with("\\") && !path.starts_with("/");
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (bridges::AsksForHelp(arguments)) {
        Usage();
        return 0;
    }
    cluster::BridgeSettings settings;
    std::string countryPath;
    std::optional<cluster::CountryTable> table;
    try {
        const auto& declared = cluster::BridgeSettingsTable();
        settings = declared.Read(declared.CommandLine(arguments), clusterbridge::ProfileSettings());
        countryPath = IsRelative(settings.countryFile)
                          ? win32io::ProgramFolder() + "\\" + settings.countryFile
                          : settings.countryFile;
        table.emplace(cluster::OpenCountryFile(countryPath));
    } catch (const bridges::SettingsError& problem) {
        std::fprintf(stderr, "clusterbridge: %s\n(clusterbridge --help lists the settings)\n",
                     problem.what());
        return 1;
    }
    return win32io::RunConsoleCompanion(
        "clusterbridge", VANTRO_VERSION, "Vantro32's cluster bridge, spots from a DX cluster node",
        [&](win32io::Console& console) {
            console.Line("country file " + countryPath + ", version " +
                         (table->Version().empty() ? "unknown" : table->Version()) + ", " +
                         std::to_string(table->Countries().size()) + " countries");
            console.Line("station at " + settings.locator + ", distances in " +
                         (settings.units == cluster::Units::Miles ? "miles" : "km"));
            const clusterbridge::Bridge bridge(settings, *table, console);
            win32io::RunMessageLoop();
        });
}
