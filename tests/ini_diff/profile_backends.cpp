#include "profile_backends.h"

#include <windows.h>

#include <vector>

#include "platform/headless/ini_engine.h"

namespace ini_diff {
namespace {

// Both backends get the same buffer, filled with a mark so that a missing NUL shows.
template <typename Fill>
ReadResult ReadInto(std::size_t size, Fill fill) {
    std::vector<char> buffer(size + 1, '#');
    ReadResult result;
    result.count = fill(buffer.data());
    if (result.count < buffer.size()) {
        result.text.assign(buffer.data(), result.count);
        result.terminated = buffer[result.count] == '\0';
    }
    return result;
}

class WindowsProfileFunctions final : public ProfileBackend {
  public:
    const char* Name() const override { return "Windows profile functions"; }
    ReadResult Read(const std::string& section, const std::string& key,
                    const std::string& defaultValue, std::size_t size,
                    const std::string& path) const override {
        return ReadInto(size, [&](char* buffer) {
            return static_cast<std::size_t>(
                GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(), buffer,
                                         static_cast<DWORD>(size), path.c_str()));
        });
    }
    bool Write(const std::string& section, const std::string& key, const std::string& value,
               const std::string& path) const override {
        return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(),
                                          path.c_str()) != FALSE;
    }
};

class HeadlessEngine final : public ProfileBackend {
  public:
    const char* Name() const override { return "own engine"; }
    ReadResult Read(const std::string& section, const std::string& key,
                    const std::string& defaultValue, std::size_t size,
                    const std::string& path) const override {
        return ReadInto(size, [&](char* buffer) {
            return platform::headless::IniRead(section, key, defaultValue, buffer, size, path);
        });
    }
    bool Write(const std::string& section, const std::string& key, const std::string& value,
               const std::string& path) const override {
        return platform::headless::IniWrite(section, key, value, path);
    }
};

}  // namespace

const ProfileBackend& WindowsProfile() {
    static const WindowsProfileFunctions backend;
    return backend;
}

const ProfileBackend& OwnEngine() {
    static const HeadlessEngine backend;
    return backend;
}

}  // namespace ini_diff
