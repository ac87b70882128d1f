#include "win32io/log_file.h"

#include <vector>

namespace win32io {

namespace {
std::string SystemText(DWORD error) {
    char* text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string said = length ? std::string(text, length) : "error " + std::to_string(error);
    if (text) LocalFree(text);
    while (!said.empty() && (said.back() == '\n' || said.back() == '\r' || said.back() == '.'))
        said.pop_back();
    return said;
}

bool WriteAll(HANDLE file, const std::string& bytes) {
    DWORD written = 0;
    return WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}
}  // namespace

LogFile::LogFile(const std::string& path, std::uint32_t limit) : path_(path), limit_(limit) {
    // Others may read it (and a second copy of the program, refused, may open it) meanwhile.
    const HANDLE file =
        CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        Fail("cannot be opened");
        return;
    }
    file_ = file;
}

void LogFile::Close() {
    if (file_) CloseHandle(file_);
    file_ = nullptr;
}

void LogFile::Fail(const std::string& what) {
    problem_ = "the log file " + path_ + " " + what + ": " + SystemText(GetLastError());
    Close();
}

void LogFile::Append(const std::string& line) {
    if (!file_) return;
    LARGE_INTEGER size{};
    if (!SetFilePointerEx(file_, {}, &size, FILE_END) || !WriteAll(file_, line + "\r\n"))
        return Fail("cannot be written");
    if (size.QuadPart + static_cast<LONGLONG>(line.size()) + 2 > limit_) KeepNewestHalf();
}

void LogFile::KeepNewestHalf() {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file_, &size)) return Fail("cannot be read");
    const DWORD keep = limit_ / 2;
    LARGE_INTEGER from{};
    from.QuadPart = size.QuadPart > keep ? size.QuadPart - keep : 0;
    std::vector<char> newest(static_cast<std::size_t>(size.QuadPart - from.QuadPart));
    DWORD read = 0;
    if (!SetFilePointerEx(file_, from, nullptr, FILE_BEGIN) ||
        !ReadFile(file_, newest.data(), static_cast<DWORD>(newest.size()), &read, nullptr))
        return Fail("cannot be read");
    std::string kept(newest.data(), read);
    // From the first whole line on.
    const std::size_t lineStart = kept.find('\n');
    kept = lineStart == std::string::npos ? std::string() : kept.substr(lineStart + 1);
    if (!SetFilePointerEx(file_, {}, nullptr, FILE_BEGIN) || !WriteAll(file_, kept) ||
        !SetEndOfFile(file_))
        Fail("cannot be written");
}

}  // namespace win32io
