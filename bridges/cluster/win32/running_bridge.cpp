#include "bridges/cluster/win32/running_bridge.h"

#include "bridges/common/win32/companion_settings.h"
#include "win32io/module.h"

namespace clusterbridge {

namespace {
std::string CountryPath(const std::string& file) {
    const bool drive = file.size() >= 2 && file[1] == ':';
    const bool relative = !drive && !file.starts_with("\\") && !file.starts_with("/");
    return relative ? win32io::ProgramFolder() + "\\" + file : file;
}

cluster::CountryTable OpenCountryFile(const std::string& path, win32io::CompanionOutput& output) {
    try {
        cluster::CountryTable table = cluster::OpenCountryFile(path);
        output.Line("country file " + path + ", version " +
                    (table.Version().empty() ? "unknown" : table.Version()) + ", " +
                    std::to_string(table.Countries().size()) + " countries");
        return table;
    } catch (const bridges::SettingsError& problem) {
        output.Line(problem.what());
        throw win32io::SettingUnusable(problem.Key(), problem.Why());
    }
}
}  // namespace

RunningBridge::RunningBridge(const win32io::SettingTexts& texts, win32io::CompanionOutput& output)
    : settings_(bridges::SettingsOf(cluster::BridgeSettingsTable(), texts)),
      table_(OpenCountryFile(CountryPath(settings_.countryFile), output)),
      bridge_(settings_, table_, output) {
    output.Line("station at " + settings_.locator + ", distances in " +
                (settings_.units == cluster::Units::Miles ? "miles" : "km"));
}

}  // namespace clusterbridge
