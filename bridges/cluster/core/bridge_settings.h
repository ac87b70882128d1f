#pragma once
// The cluster bridge's settings: each read from the command line or, failing that, from the
// settings file beside the program, and checked before anything starts. A missing or invalid
// setting is a SettingsError whose text names the setting, where it came from and how to fix it.
#include <chrono>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "base/dde_names.h"
#include "base/failure.h"
#include "bridges/cluster/core/band_plan.h"
#include "bridges/cluster/core/country_table.h"
#include "bridges/cluster/core/position.h"

namespace cluster {

class SettingsError : public base::Failure {
  public:
    using base::Failure::Failure;
};

// Where settings come from: a key (upper case, "NODE_HOST") to its text, nothing when the key is
// not there.
class SettingSource {
  public:
    virtual ~SettingSource() = default;
    virtual std::optional<std::string> Text(const std::string& key) const = 0;
    // How messages name it: "the command line", "C:\Radio\clusterbridge.INI".
    virtual std::string Name() const = 0;
};

class MapSettings : public SettingSource {
  public:
    MapSettings(std::string name, std::map<std::string, std::string> values)
        : name_(std::move(name)), values_(std::move(values)) {}
    std::optional<std::string> Text(const std::string& key) const override;
    std::string Name() const override { return name_; }

  private:
    std::string name_;
    std::map<std::string, std::string> values_;
};

enum class Units { Kilometres, Miles };

// The host program's two DDE service names.
inline constexpr const char* kService32 = dde_names::host::kService32;
inline constexpr const char* kService16 = dde_names::host::kService;

struct BridgeSettings {
    std::string nodeHost;
    std::string nodePort = "7300";
    std::string callsign;  // upper case
    std::string password;  // empty: none
    std::string locator;   // as written: a locator or latitude and longitude
    Position station;
    Units units = Units::Kilometres;
    std::string countryFile = "cty.dat";  // a relative path is taken from the program's folder
    std::set<std::string> bands;          // band names; empty: every band and off-band spots
    std::set<Mode> modes;                 // empty: every mode, unknown ones included
    bool skimmer = true;
    std::chrono::milliseconds duplicateWindow = std::chrono::minutes(10);  // zero: no check
    std::chrono::milliseconds maxAge = std::chrono::minutes(5);
    std::chrono::milliseconds keepAlive = std::chrono::minutes(2);
    std::string service = kService32;
};

// Every key, in the order the usage and the documentation list them.
const std::vector<std::string>& SettingKeys();
// "--node-host" for "NODE_HOST".
std::string OptionOf(const std::string& key);

// "--key value" pairs (the option of every key, see OptionOf) as a source named "the command
// line". Throws SettingsError for an unknown option or one without its value.
MapSettings CommandLineSettings(const std::vector<std::string>& arguments);

// The settings, the command line winning over the file; throws SettingsError for the first
// setting that is missing or invalid.
BridgeSettings ReadSettings(const SettingSource& commandLine, const SettingSource& file);

// The country file at the path; a file that cannot be used is a SettingsError with the reader's
// reason (file and line) and how to get a good one.
CountryTable OpenCountryFile(const std::string& path);

}  // namespace cluster
