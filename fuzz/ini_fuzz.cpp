// Any bytes as a settings file: reads always give a terminated text of the right length, and a
// write keeps every line it does not own (in the normal form the rewrite gives all lines), adds
// at most the key and its section, and changes nothing more when made again.
// The first input byte picks the section, key and value to write; the rest is the file.
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <string_view>

#include "platform/headless/ini_engine.h"

namespace {

using platform::headless::IniRead;
using platform::headless::IniWrite;

constexpr std::array<const char*, 5> kSections = {"SETUP", "setup", "", " Sec Two ", "A"};
constexpr std::array<const char*, 4> kKeys = {"LEFT", "show_rotator", " k ", ";k"};
// Each value with what reading it back must give.
constexpr std::array<std::pair<const char*, const char*>, 4> kValues = {
    {{"TRUE", "TRUE"}, {"  x y  ", "x y"}, {"\"q\"", "q"}, {"", ""}}};

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "ini_fuzz: %s\n", what);
        std::abort();
    }
}

bool IsBlank(char c) {
    return std::string_view(" \t\r\n\v\f\x1A").find(c) != std::string_view::npos;
}

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

// The form a rewrite gives a line: blanks gone around it, around a header's name and around
// the first '='; a header ends at its last ']'.
std::string NormalForm(std::string_view line) {
    line = Trim(line);
    const std::size_t close = line.rfind(']');
    if (line.front() == '[' && close != std::string_view::npos) {
        return "[" + std::string(Trim(line.substr(1, close - 1))) + "]";
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) return std::string(line);
    return std::string(Trim(line.substr(0, equals))) + "=" +
           std::string(Trim(line.substr(equals + 1)));
}

std::map<std::string, int> NonBlankLines(std::string_view text, int& count) {
    std::map<std::string, int> lines;
    count = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find_first_of("\r\n", start), text.size());
        const std::string_view line = text.substr(start, end - start);
        if (!Trim(line).empty()) {
            ++lines[NormalForm(line)];
            ++count;
        }
        start = end + 1;
    }
    return lines;
}

bool IsKeyLine(const std::string& line, std::string_view key) {
    std::string_view name = std::string_view(line).substr(0, line.find('='));
    name = name.substr(0, name.find('\0'));
    key = Trim(key);
    return std::equal(name.begin(), name.end(), key.begin(), key.end(),
                      [](char a, char b) { return Lower(a) == Lower(b); });
}

// One file per fuzzing process, removed at its end.
struct ScratchFile {
    std::string path =
        (std::filesystem::temp_directory_path() / ("ini_fuzz_" + std::to_string(getpid()) + ".ini"))
            .string();
    ~ScratchFile() {
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
    }
};

bool LooksUtf16(std::string_view bytes) {
    return bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF");
}

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void Spit(const std::string& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), bytes.size());
}

std::string ReadChecked(const char* section, const char* key, std::size_t size,
                        const std::string& path) {
    std::array<char, 501> buffer;
    buffer.fill('#');
    const std::size_t count = IniRead(section, key, "DEF", buffer.data(), size, path);
    Check(count < size, "read longer than its buffer");
    Check(std::strlen(buffer.data()) == count, "read count is not the text's length");
    return std::string(buffer.data(), count);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    static const ScratchFile scratch;
    const std::string& path = scratch.path;
    const char* section = kSections[data[0] % kSections.size()];
    const char* key = kKeys[(data[0] / kSections.size()) % kKeys.size()];
    const auto& [value, readBack] = kValues[(data[0] / 20) % kValues.size()];
    const std::string_view before(reinterpret_cast<const char*>(data + 1), size - 1);
    Spit(path, before);

    for (const char* wanted : kKeys) {
        ReadChecked(section, wanted, 500, path);
        ReadChecked(section, wanted, 1 + data[0] % 4, path);
    }

    const bool utf16 = LooksUtf16(before);
    const bool written = IniWrite(section, key, value, path);
    const std::string after = Slurp(path);
    Check(written != utf16, "write result");
    if (utf16) {
        Check(after == before, "a file not understood was changed");
        return 0;
    }
    const std::string_view bom = "\xEF\xBB\xBF";
    const bool hasBom = before.starts_with(bom);
    // Lines are compared after the mark: glued to the first line, it would hide that line's form.
    const std::size_t markSize = hasBom ? bom.size() : 0;
    Check(!hasBom || after.starts_with(bom), "the UTF-8 mark was lost");
    int countBefore = 0;
    int countAfter = 0;
    const auto linesBefore = NonBlankLines(before.substr(markSize), countBefore);
    const auto linesAfter = NonBlankLines(std::string_view(after).substr(markSize), countAfter);
    int missing = 0;
    for (const auto& [line, count] : linesBefore) {
        const auto found = linesAfter.find(line);
        const int lost = count - (found == linesAfter.end() ? 0 : found->second);
        if (lost <= 0) continue;
        Check(lost == 1 && IsKeyLine(line, key), "a line the write does not own was lost");
        missing += lost;
    }
    Check(missing <= 1, "more than the key's line was replaced");
    Check(countAfter >= countBefore && countAfter <= countBefore + 2, "unexpected lines added");
    // Untouched when the key already held the value; otherwise every line ends in CR LF.
    for (std::size_t i = 0; after != before && i < after.size(); ++i) {
        Check(after[i] != '\n' || (i > 0 && after[i - 1] == '\r'), "a line end other than CR LF");
        Check(after[i] != '\r' || (i + 1 < after.size() && after[i + 1] == '\n'),
              "a line end other than CR LF");
    }

    // Losing its leading blanks may bring a byte-order mark in the first line to the front: the
    // file then reads as UTF-16 or UTF-8, as it would under Wine.
    if (LooksUtf16(after) || (!hasBom && after.starts_with(bom))) return 0;
    Check(ReadChecked(section, key, 500, path) == readBack, "the written value does not read back");

    // Again: a new key's name loses its trailing blanks when its value has some, nothing else.
    Check(IniWrite(section, key, value, path), "second write failed");
    const std::string again = Slurp(path);
    int countAgain = 0;
    Check(NonBlankLines(std::string_view(again).substr(markSize), countAgain) ==
                  NonBlankLines(std::string_view(after).substr(markSize), countAfter) &&
              countAgain == countAfter,
          "the same write again changed a line");
    Check(IniWrite(section, key, value, path) && Slurp(path) == again,
          "a third write changed the file");
    return 0;
}
