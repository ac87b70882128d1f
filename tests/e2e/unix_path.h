#pragma once
// Wine shows the Linux file system as drive Z:.
#include <string>

namespace e2e {

inline std::string WindowsPath(const std::string& unixPath) {
    std::string path = "Z:" + unixPath;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

}  // namespace e2e
