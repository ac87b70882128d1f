#pragma once
// The two ways the program can read and write its settings file: the Windows profile functions
// and the headless backend's own engine, behind one face so that one scenario runs through both.
#include <cstddef>
#include <string>

namespace ini_diff {

struct ReadResult {
    std::size_t count = 0;
    std::string text;         // the first count characters of the buffer
    bool terminated = false;  // a NUL stands right after them
    bool operator==(const ReadResult&) const = default;
};

class ProfileBackend {
  public:
    virtual ~ProfileBackend() = default;
    virtual const char* Name() const = 0;
    virtual ReadResult Read(const std::string& section, const std::string& key,
                            const std::string& defaultValue, std::size_t size,
                            const std::string& path) const = 0;
    virtual bool Write(const std::string& section, const std::string& key, const std::string& value,
                       const std::string& path) const = 0;
};

// GetPrivateProfileStringA / WritePrivateProfileStringA.
const ProfileBackend& WindowsProfile();
// platform::headless::IniRead / IniWrite.
const ProfileBackend& OwnEngine();

}  // namespace ini_diff
