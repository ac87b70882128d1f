#include "win32io/profile_section.h"

#include <windows.h>

#include <vector>

namespace win32io {

namespace {
// What no profile file can hold as a value: the key is missing.
constexpr const char* kMissing = "\x01";
constexpr DWORD kLongestValue = 4096;
}  // namespace

std::optional<std::string> ProfileSection::Read(const std::string& key) const {
    std::vector<char> value(kLongestValue);
    const DWORD length = GetPrivateProfileStringA(section_.c_str(), key.c_str(), kMissing,
                                                  value.data(), kLongestValue, path_.c_str());
    std::string text(value.data(), length);
    if (text == kMissing) return std::nullopt;
    return text;
}

bool ProfileSection::Write(const std::string& key, const std::string& text) const {
    return WritePrivateProfileStringA(section_.c_str(), key.c_str(), text.c_str(), path_.c_str()) !=
           FALSE;
}

}  // namespace win32io
