#pragma once
// The rotator bridge's settings, declared once in a table (see bridges/common/settings_table.h)
// that the command line, the settings file, the usage text and the settings dialog read.
#include <string>
#include <vector>

#include "bridges/common/settings_table.h"
#include "bridges/rotator/core/address.h"

namespace rotbridge {

struct RotatorSettings {
    RotctldAddress rotctld;
};

const bridges::SettingsTable<RotatorSettings>& RotatorSettingsTable();

// The arguments with a first one that is no option read as rotctld's address, as scripts have
// written it from the start ("rotbridge shack-pi:4533"): the options the table reads.
std::vector<std::string> OptionsOf(const std::vector<std::string>& arguments);

}  // namespace rotbridge
