#pragma once
// The cluster bridge's settings, declared once in a table (see bridges/common/settings_table.h):
// each read from the command line or, failing that, from the settings file beside the program,
// and checked before anything starts. A missing or invalid setting is a bridges::SettingsError
// whose text names the setting, where it came from and how to fix it.
#include <chrono>
#include <set>
#include <string>
#include <vector>

#include "base/dde_names.h"
#include "bridges/cluster/core/band_plan.h"
#include "bridges/cluster/core/country_table.h"
#include "bridges/cluster/core/node_address.h"
#include "bridges/cluster/core/position.h"
#include "bridges/common/settings_table.h"

namespace cluster {

enum class Units { Kilometres, Miles };

// The host program's two DDE service names.
inline constexpr const char* kService32 = dde_names::host::kService32;
inline constexpr const char* kService16 = dde_names::host::kService;

// The settings; what they hold when made is each setting's default.
struct BridgeSettings {
    NodeAddress node;
    std::vector<NodeAddress> backupNodes;    // tried in turn after the node
    std::string callsign;                    // upper case
    std::string password;                    // empty: none
    std::vector<std::string> loginCommands;  // sent one by one after each login
    std::string locator;                     // as written: a locator or latitude and longitude
    Position station;
    Units units = Units::Kilometres;
    std::string countryFile = "cty.dat";  // a relative path is taken from the program's folder
    std::set<std::string> bands;          // band names; empty: every band and off-band spots
    std::set<Mode> modes;                 // empty: every mode, unknown ones included
    bool skimmer = true;
    std::set<Continent> spotterContinents;  // empty: spots heard anywhere
    std::chrono::milliseconds duplicateWindow = std::chrono::minutes(10);  // zero: no check
    std::chrono::milliseconds maxAge = std::chrono::minutes(5);
    std::chrono::milliseconds keepAlive = std::chrono::minutes(2);
    std::string service = kService32;
};

// The node, then the backup nodes.
std::vector<NodeAddress> NodesOf(const BridgeSettings& settings);

// The commands for the node after each login: the login commands, after "set/skimmer" when
// skimmer spots are wanted (nodes of the DXSpider and CC-Cluster families send none without
// it), unless the login commands say themselves whether they are wanted.
std::vector<std::string> NodeCommandsOf(const BridgeSettings& settings);

// Every setting, in the order the usage and the documentation list them.
const bridges::SettingsTable<BridgeSettings>& BridgeSettingsTable();

// The country file at the path; a file that cannot be used is a SettingsError of COUNTRY_FILE
// with the reader's reason (file and line) and how to get a good one.
CountryTable OpenCountryFile(const std::string& path);

}  // namespace cluster
