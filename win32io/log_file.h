#pragma once
// The program's log file beside it: every line of the log, with its time, kept to a size. Past
// the limit the older half is let go, so that the file always holds the latest lines and never
// grows beyond the limit.
#include <windows.h>

#include <cstdint>
#include <string>

namespace win32io {

class LogFile {
  public:
    static constexpr std::uint32_t kLimit = 1024 * 1024;

    // Opens (or makes) the file; one that cannot be opened is said by Problem(), and lines then go
    // nowhere.
    explicit LogFile(const std::string& path, std::uint32_t limit = kLimit);
    ~LogFile() { Close(); }
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;

    // One line; CR LF is added. Not thread-safe: the caller keeps one writer at a time.
    void Append(const std::string& line);
    // Why the file cannot be written; empty while it can.
    const std::string& Problem() const { return problem_; }

  private:
    void KeepNewestHalf();
    void Fail(const std::string& what);
    void Close();

    std::string path_;
    std::uint32_t limit_;
    HANDLE file_ = nullptr;
    std::string problem_;
};

}  // namespace win32io
