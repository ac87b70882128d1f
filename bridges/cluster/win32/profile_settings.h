#pragma once
// The bridge's settings file: a profile file beside the program, named after it
// ("clusterbridge.INI"), one section [SETTINGS], read with the profile API.
#include <string>

#include "bridges/common/settings_table.h"

namespace clusterbridge {

class ProfileSettings : public bridges::SettingSource {
  public:
    static constexpr const char* kSection = "SETTINGS";

    // The file beside the program.
    ProfileSettings();

    std::optional<std::string> Text(const std::string& key) const override;
    std::string Name() const override { return path_; }

  private:
    std::string path_;
};

}  // namespace clusterbridge
