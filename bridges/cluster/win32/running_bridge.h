#pragma once
// The cluster bridge at work, made from the settings dialog's texts: the settings, the country
// file they name, and the bridge that uses both.
#include <memory>

#include "bridges/cluster/core/bridge_settings.h"
#include "bridges/cluster/core/country_table.h"
#include "bridges/cluster/win32/bridge.h"
#include "win32io/companion.h"

namespace clusterbridge {

class RunningBridge : public win32io::RunningCompanion {
  public:
    // Throws win32io::SettingUnusable when the country file cannot be used, base::Failure when
    // the DDE service cannot be offered.
    RunningBridge(const win32io::SettingTexts& texts, win32io::CompanionOutput& output);

  private:
    cluster::BridgeSettings settings_;
    cluster::CountryTable table_;
    Bridge bridge_;  // last: it uses the two above
};

}  // namespace clusterbridge
