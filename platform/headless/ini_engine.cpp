#include "platform/headless/ini_engine.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string_view>
#include <system_error>

namespace platform::headless {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::size_t kEndOfText = std::string_view::npos;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f' ||
           c == '\x1A';  // Ctrl-Z, the old end-of-file mark, counts as a blank
}

std::string_view TrimLeadingBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    return text;
}

std::string_view TrimBlanks(std::string_view text) {
    text = TrimLeadingBlanks(text);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

// What a C function sees of a text: everything before its first NUL.
std::string_view UpToNul(std::string_view text) {
    return text.substr(0, text.find('\0'));
}

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view stored, std::string_view wanted) {
    stored = UpToNul(stored);
    return std::equal(stored.begin(), stored.end(), wanted.begin(), wanted.end(),
                      [](char a, char b) { return AsciiLower(a) == AsciiLower(b); });
}

// Copies a value or default out as Windows does: a text in a matching pair of quotes loses its
// opening quote, is cut to the buffer, and then loses the last character copied when the buffer
// had room for at least the text between the quotes. That character is the closing quote, except
// when the text between the quotes just fills the buffer: then its own last character goes.
std::size_t CopyOut(std::string_view text, char* buffer, std::size_t size) {
    const bool quoted = text.size() >= 2 && (text.front() == '"' || text.front() == '\'') &&
                        text.back() == text.front();
    if (quoted) text.remove_prefix(1);
    std::size_t count = std::min(text.size(), size - 1);
    if (quoted && size >= text.size() && count > 0) --count;
    std::copy_n(text.data(), count, buffer);
    buffer[count] = '\0';
    return count;
}

// Windows cuts trailing spaces off a default, but never its first character.
std::string_view WithoutTrailingSpaces(std::string_view text) {
    while (text.size() > 1 && text.back() == ' ') text.remove_suffix(1);
    return text;
}

struct Line {
    std::size_t offset = 0;  // where the line starts in the text; identifies it
    bool isSection = false;
    bool hasValue = false;
    std::string_view name;
    std::string_view value;
};

Line ParseLine(std::string_view trimmed, std::size_t offset) {
    Line line;
    line.offset = offset;
    if (trimmed.front() == '[') {
        const std::size_t close = trimmed.rfind(']');
        if (close != std::string_view::npos) {
            line.isSection = true;
            line.name = TrimBlanks(trimmed.substr(1, close - 1));
            return line;
        }
    }
    const std::size_t equals = trimmed.find('=');
    if (equals == std::string_view::npos) {
        line.name = trimmed;
        return line;
    }
    line.hasValue = true;
    line.name = TrimBlanks(trimmed.substr(0, equals));
    line.value = TrimBlanks(trimmed.substr(equals + 1));
    return line;
}

// Walks the non-blank lines of a file's text in one pass.
class LineReader {
  public:
    explicit LineReader(std::string_view text) : text_(text) {}

    bool Next(Line& line) {
        while (position_ < text_.size()) {
            const std::size_t start = position_;
            const std::size_t end = std::min(text_.find_first_of("\r\n", start), text_.size());
            position_ = end + 1;
            const std::string_view trimmed = TrimBlanks(text_.substr(start, end - start));
            if (!trimmed.empty()) {
                line = ParseLine(trimmed, start);
                return true;
            }
        }
        return false;
    }

  private:
    std::string_view text_;
    std::size_t position_ = 0;
};

// Where a key stands in a file: in the first section of its name, as the first entry of its name.
struct Place {
    bool sectionFound = false;
    std::size_t sectionEnd = kEndOfText;  // offset of the line after the section
    std::optional<Line> key;
};

// Section and key are wanted names: trimmed and cut at their NUL.
Place Locate(std::string_view text, std::string_view section, std::string_view key) {
    Place place;
    place.sectionFound = section.empty();  // the nameless lines before the first header
    LineReader reader(text);
    Line line;
    while (reader.Next(line)) {
        if (line.isSection) {
            if (place.sectionFound) {
                place.sectionEnd = line.offset;
                break;
            }
            place.sectionFound = SameName(line.name, section);
        } else if (place.sectionFound && SameName(line.name, key)) {
            place.key = line;
            break;
        }
    }
    return place;
}

std::string_view WantedName(const std::string& name) {
    return TrimBlanks(UpToNul(name));
}

enum class FileState { kMissing, kUnusable, kRead };

struct ProfileFile {
    FileState state = FileState::kMissing;
    std::string bytes;

    std::string_view Bom() const {
        return std::string_view(bytes).starts_with(kUtf8Bom) ? kUtf8Bom : std::string_view();
    }
    std::string_view Text() const { return std::string_view(bytes).substr(Bom().size()); }
};

ProfileFile Load(const fs::path& path) {
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (status.type() == fs::file_type::not_found) return {};
    if (!fs::is_regular_file(status)) return {FileState::kUnusable, {}};

    std::ifstream in(path, std::ios::binary);
    if (!in) return {FileState::kUnusable, {}};
    ProfileFile file{FileState::kRead, {}};
    char chunk[1 << 16];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) file.bytes.append(chunk, in.gcount());
    if (in.bad()) return {FileState::kUnusable, {}};

    // A UTF-16 file would be mangled by a byte-wise rewrite: leave it alone.
    const std::string_view bytes = file.bytes;
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
        return {FileState::kUnusable, {}};
    }
    return file;
}

void AppendLine(std::string& out, std::string_view text) {
    out += text;
    out += "\r\n";
}

void AppendEntry(std::string& out, std::string_view name, std::string_view value) {
    out += name;
    out += '=';
    AppendLine(out, value);
}

void AppendNormalForm(std::string& out, const Line& line) {
    if (line.isSection) {
        out += '[';
        out += line.name;
        AppendLine(out, "]");
    } else if (line.hasValue) {
        AppendEntry(out, line.name, line.value);
    } else {
        AppendLine(out, line.name);
    }
}

// The file's new bytes: every line in its normal form, with the key's value set. Names of a new
// section and key are given as written, value without its leading blanks.
std::string Rewrite(const ProfileFile& file, const Place& place, std::string_view section,
                    std::string_view key, std::string_view value) {
    std::string out;
    out.reserve(file.bytes.size() + section.size() + key.size() + value.size() + 16);
    out += file.Bom();
    LineReader reader(file.Text());
    Line line;
    while (reader.Next(line)) {
        if (!place.key && line.offset == place.sectionEnd) AppendEntry(out, key, value);
        if (place.key && line.offset == place.key->offset) {
            AppendEntry(out, line.name, value);
        } else {
            AppendNormalForm(out, line);
        }
    }
    if (!place.key && place.sectionEnd == kEndOfText) {
        if (!place.sectionFound) {
            out += '[';
            out += section;
            AppendLine(out, "]");
        }
        AppendEntry(out, key, value);
    }
    return out;
}

// Windows opens the file for writing before it looks for the key, so even a write that would
// change nothing fails on a file it may not write.
bool Writable(const fs::path& path) {
    return static_cast<bool>(std::fstream(path, std::ios::in | std::ios::out | std::ios::binary));
}

// Rewrites the file in place; opening it without truncation first proves it writable and
// leaves it whole when it is not.
bool Store(const fs::path& path, bool exists, const std::string& bytes, std::size_t oldSize) {
    {
        std::fstream out(path, exists ? std::ios::in | std::ios::out | std::ios::binary
                                      : std::ios::out | std::ios::binary);
        if (!out) return false;
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) return false;
    }
    if (bytes.size() >= oldSize) return true;
    std::error_code error;
    fs::resize_file(path, bytes.size(), error);
    return !error;
}

}  // namespace

std::size_t IniRead(const std::string& section, const std::string& key,
                    const std::string& defaultValue, char* buffer, std::size_t size,
                    const std::string& path) {
    if (buffer == nullptr || size == 0) return 0;
    std::string_view result = WithoutTrailingSpaces(UpToNul(defaultValue));
    const ProfileFile file = Load(fs::path(path));
    if (file.state == FileState::kRead) {
        const Place place = Locate(file.Text(), WantedName(section), WantedName(key));
        if (place.key && place.key->hasValue) result = UpToNul(place.key->value);
    }
    return CopyOut(result, buffer, size);
}

bool IniWrite(const std::string& section, const std::string& key, const std::string& value,
              const std::string& path) {
    const fs::path filePath(path);
    const ProfileFile file = Load(filePath);
    if (file.state == FileState::kUnusable) return false;

    const std::string_view newValue = TrimLeadingBlanks(UpToNul(value));
    const Place place = Locate(file.Text(), WantedName(section), WantedName(key));
    if (place.key && place.key->hasValue && UpToNul(place.key->value) == newValue) {
        return Writable(filePath);
    }

    const std::string bytes = Rewrite(file, place, TrimLeadingBlanks(UpToNul(section)),
                                      TrimLeadingBlanks(UpToNul(key)), newValue);
    return Store(filePath, file.state == FileState::kRead, bytes, file.bytes.size());
}

}  // namespace platform::headless
