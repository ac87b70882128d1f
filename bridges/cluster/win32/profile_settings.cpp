#include "bridges/cluster/win32/profile_settings.h"

#include <windows.h>

#include <vector>

#include "win32io/module.h"

namespace clusterbridge {

namespace {
// What no settings file can hold as a value: the key is missing.
constexpr const char* kMissing = "\x01";
constexpr DWORD kLongestValue = 4096;
}  // namespace

ProfileSettings::ProfileSettings() {
    const std::string program = win32io::ProgramFilePath();
    const std::size_t slash = program.find_last_of("\\/");
    const std::size_t dot = program.rfind('.');
    path_ = (dot != std::string::npos && (slash == std::string::npos || dot > slash)
                 ? program.substr(0, dot)
                 : program) +
            ".INI";
}

std::optional<std::string> ProfileSettings::Text(const std::string& key) const {
    std::vector<char> value(kLongestValue);
    const DWORD length = GetPrivateProfileStringA(kSection, key.c_str(), kMissing, value.data(),
                                                  kLongestValue, path_.c_str());
    const std::string text(value.data(), length);
    if (text == kMissing) return std::nullopt;
    return text;
}

}  // namespace clusterbridge
