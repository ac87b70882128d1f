#pragma once
// One section of a profile (INI) file, read and written with the profile API, one key at a time.
#include <optional>
#include <string>

namespace win32io {

class ProfileSection {
  public:
    ProfileSection(std::string path, std::string section)
        : path_(std::move(path)), section_(std::move(section)) {}

    // The key's text (at most 4095 characters), nothing when the key is not there.
    std::optional<std::string> Read(const std::string& key) const;
    // False when the file cannot be written; Windows' reason is then GetLastError's.
    bool Write(const std::string& key, const std::string& text) const;

    const std::string& Path() const { return path_; }

  private:
    std::string path_;
    std::string section_;
};

}  // namespace win32io
