#include "bridges/cluster/core/country_table.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <fstream>
#include <optional>
#include <utility>

#include "base/text.h"
#include "bridges/cluster/core/plain_text.h"

namespace cluster {

namespace {

constexpr std::string_view kContinentCodes[] = {"AF", "AN", "AS", "EU", "NA", "OC", "SA"};

std::optional<int> Zone(std::string_view text, int highest) {
    text = base::TrimBlanks(text);
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < 1 ||
        value > highest)
        return std::nullopt;
    return value;
}

bool IsCallCharacter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '/';
}

}  // namespace

std::string_view ContinentCode(Continent continent) {
    return kContinentCodes[static_cast<std::size_t>(continent)];
}

std::optional<Continent> ContinentNamed(std::string_view code) {
    for (std::size_t i = 0; i < std::size(kContinentCodes); ++i)
        if (base::SameNoCase(code, kContinentCodes[i])) return static_cast<Continent>(i);
    return std::nullopt;
}

CountryFileError::CountryFileError(std::string file, std::size_t line, const std::string& problem)
    : base::Failure(file + (line > 0 ? ", line " + std::to_string(line) : std::string()) + ": " +
                    problem),
      file_(std::move(file)),
      line_(line) {}

// Reads the file line by line: a record's header line, then its alias lines up to the ';'.
class CountryFileParser {
  public:
    CountryFileParser(CountryTable& table, const std::string& fileName)
        : table_(table), fileName_(fileName) {}

    void Parse(std::string_view text) {
        while (!text.empty()) {
            const std::size_t end = text.find('\n');
            std::string_view line = text.substr(0, end);
            text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
            if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
            ++lineNumber_;
            for (const char c : line)
                if (static_cast<unsigned char>(c) < 0x20 && c != '\t')
                    Fail("holds a control byte: this is not a country file");
            if (inRecord_) {
                AliasLine(line);
            } else if (!base::TrimBlanks(line).empty()) {
                HeaderLine(line);
            }
        }
        if (inRecord_)
            Fail("the file ends inside the record of " +
                 base::Quoted(table_.countries_.back().name) +
                 ", whose alias list has no closing ';': the file is cut short");
        if (table_.countries_.empty())
            throw CountryFileError(fileName_, 0, "no country record: this is not a country file");
    }

  private:
    [[noreturn]] void Fail(const std::string& problem) const {
        throw CountryFileError(fileName_, lineNumber_, problem);
    }

    void HeaderLine(std::string_view line) {
        if (line.front() == ' ' || line.front() == '\t')
            Fail("an alias line stands before any record's first line");
        std::string_view fields[8];
        std::string_view rest = line;
        for (auto& field : fields) {
            const std::size_t colon = rest.find(':');
            if (colon == std::string_view::npos)
                Fail("a record's first line has eight fields, each ended by ':'");
            field = base::TrimBlanks(rest.substr(0, colon));
            rest.remove_prefix(colon + 1);
        }
        if (!base::TrimBlanks(rest).empty())
            Fail("text after the eighth field of a record's first line");

        Country country;
        country.name = std::string(fields[0]);
        if (country.name.empty()) Fail("a country without a name");
        std::string_view prefix = fields[7];
        if (!prefix.empty() && prefix.front() == '*') {
            country.awardListOnly = true;
            prefix.remove_prefix(1);
        }
        if (prefix.empty()) Fail("the record of " + base::Quoted(country.name) + " has no prefix");
        country.primaryPrefix = std::string(prefix);

        const auto cq = Zone(fields[1], 40);
        const auto itu = Zone(fields[2], 90);
        const auto continent = ContinentNamed(fields[3]);
        const auto latitude = PlainDecimal(fields[4], 90.0);
        const auto westLongitude = PlainDecimal(fields[5], 180.0);
        const auto invertedOffset = PlainDecimal(fields[6], 24.0);
        if (!cq) Fail("the CQ zone " + base::Quoted(fields[1]) + " is not a number from 1 to 40");
        if (!itu) Fail("the ITU zone " + base::Quoted(fields[2]) + " is not a number from 1 to 90");
        if (!continent)
            Fail("the continent " + base::Quoted(fields[3]) +
                 " is not AF, AN, AS, EU, NA, OC or SA");
        if (!latitude)
            Fail("the latitude " + base::Quoted(fields[4]) + " is not a number from -90 to 90");
        if (!westLongitude)
            Fail("the longitude " + base::Quoted(fields[5]) + " is not a number from -180 to 180");
        if (!invertedOffset)
            Fail("the UTC offset " + base::Quoted(fields[6]) + " is not a number from -24 to 24");

        table_.countries_.push_back(std::move(country));
        recordPlace_ = static_cast<std::uint32_t>(table_.places_.size());
        table_.places_.push_back(CallCountry{&table_.countries_.back(), *cq, *itu, *continent,
                                             Position{*latitude, -*westLongitude},
                                             -*invertedOffset});
        inRecord_ = true;
    }

    void AliasLine(std::string_view line) {
        if (!line.empty() && line.front() != ' ' && line.front() != '\t')
            Fail("the record of " + base::Quoted(table_.countries_.back().name) +
                 " ends without ';' before this line");
        const std::size_t semicolon = line.find(';');
        if (semicolon != std::string_view::npos) {
            if (!base::TrimBlanks(line.substr(semicolon + 1)).empty())
                Fail("text after the ';' of a record");
            line = line.substr(0, semicolon);
            inRecord_ = false;
        }
        while (!line.empty()) {
            const std::size_t comma = line.find(',');
            const std::string_view alias = base::TrimBlanks(line.substr(0, comma));
            line.remove_prefix(comma == std::string_view::npos ? line.size() : comma + 1);
            if (!alias.empty()) Alias(alias);
        }
    }

    void Alias(std::string_view alias) {
        const bool exact = alias.front() == '=';
        if (exact) alias.remove_prefix(1);
        std::size_t length = 0;
        while (length < alias.size() && IsCallCharacter(alias[length])) ++length;
        const std::string_view call = alias.substr(0, length);
        if (call.empty()) Fail("the alias " + base::Quoted(alias) + " has no call or prefix");
        // Most aliases are the record's own place; one with overrides gets a place of its own.
        std::uint32_t place = recordPlace_;
        if (length < alias.size()) {
            CallCountry where = table_.places_[recordPlace_];
            Overrides(alias.substr(length), where);
            place = static_cast<std::uint32_t>(table_.places_.size());
            table_.places_.push_back(where);
        }

        if (exact && call.starts_with("VER") && call.size() == 11) {
            table_.version_ = std::string(call.substr(3));
            return;
        }
        if (table_.countries_.back().awardListOnly) return;
        auto& map = exact ? table_.exactCalls_ : table_.prefixes_;
        map.try_emplace(std::string(call), place);
        if (!exact) table_.longestPrefix_ = std::max(table_.longestPrefix_, call.size());
    }

    // "(CQ)", "[ITU]", "<lat/lon>", "{continent}", "~offset~", in any order.
    void Overrides(std::string_view text, CallCountry& where) {
        while (!text.empty()) {
            const char open = text.front();
            const char close = open == '('   ? ')'
                               : open == '[' ? ']'
                               : open == '<' ? '>'
                               : open == '{' ? '}'
                               : open == '~' ? '~'
                                             : '\0';
            const std::size_t end = close ? text.find(close, 1) : std::string_view::npos;
            if (end == std::string_view::npos)
                Fail("an alias has " + base::Quoted(text) + " where an override or ',' belongs");
            const std::string_view value = text.substr(1, end - 1);
            text.remove_prefix(end + 1);
            if (open == '(') {
                const auto zone = Zone(value, 40);
                if (!zone) Fail("the CQ zone override " + base::Quoted(value) + " is not 1 to 40");
                where.cqZone = *zone;
            } else if (open == '[') {
                const auto zone = Zone(value, 90);
                if (!zone) Fail("the ITU zone override " + base::Quoted(value) + " is not 1 to 90");
                where.ituZone = *zone;
            } else if (open == '<') {
                const std::size_t slash = value.find('/');
                const auto latitude = PlainDecimal(value.substr(0, slash), 90.0);
                const auto westLongitude = slash == std::string_view::npos
                                               ? std::nullopt
                                               : PlainDecimal(value.substr(slash + 1), 180.0);
                if (!latitude || !westLongitude)
                    Fail("the position override " + base::Quoted(value) +
                         " is not latitude/longitude");
                where.position = Position{*latitude, -*westLongitude};
            } else if (open == '{') {
                const auto continent = ContinentNamed(base::TrimBlanks(value));
                if (!continent)
                    Fail("the continent override " + base::Quoted(value) + " is unknown");
                where.continent = *continent;
            } else {
                const auto offset = PlainDecimal(value, 24.0);
                if (!offset)
                    Fail("the UTC offset override " + base::Quoted(value) + " is not a number");
                where.utcOffsetHours = -*offset;
            }
        }
    }

    CountryTable& table_;
    const std::string& fileName_;
    std::size_t lineNumber_ = 0;
    bool inRecord_ = false;
    std::uint32_t recordPlace_ = 0;
};

CountryTable CountryTable::Parse(std::string_view text, const std::string& fileName) {
    CountryTable table;
    table.exactCalls_.reserve(text.size() / 12);
    table.prefixes_.reserve(text.size() / 40);
    CountryFileParser(table, fileName).Parse(text);
    return table;
}

CountryTable CountryTable::Load(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw CountryFileError(path, 0, std::string("cannot be opened: ") + std::strerror(errno));
    std::string text;
    std::string chunk(64 * 1024, '\0');
    while (file.read(chunk.data(), static_cast<std::streamsize>(chunk.size())) ||
           file.gcount() > 0) {
        text.append(chunk, 0, static_cast<std::size_t>(file.gcount()));
        if (text.size() > kFileLimit)
            throw CountryFileError(path, 0, "is larger than 16 MB: this is not a country file");
    }
    if (file.bad()) throw CountryFileError(path, 0, "cannot be read");
    if (text.empty()) throw CountryFileError(path, 0, "is empty");
    return Parse(text, path);
}

const CallCountry* CountryTable::ExactCall(std::string_view call) const {
    const auto found = exactCalls_.find(call);
    return found == exactCalls_.end() ? nullptr : &places_[found->second];
}

const CallCountry* CountryTable::LongestPrefix(std::string_view text,
                                               std::size_t* matchedLength) const {
    for (std::size_t length = std::min(text.size(), longestPrefix_); length > 0; --length) {
        const auto found = prefixes_.find(text.substr(0, length));
        if (found == prefixes_.end()) continue;
        // Guantanamo Bay: KG4 and a two-letter suffix (or the bare prefix), see call_country.h.
        if (found->first == "KG4") {
            const std::string_view suffix = text.substr(3);
            const bool twoLetters = suffix.size() == 2 && suffix[0] >= 'A' && suffix[0] <= 'Z' &&
                                    suffix[1] >= 'A' && suffix[1] <= 'Z';
            if (!suffix.empty() && !twoLetters) continue;
        }
        if (matchedLength) *matchedLength = length;
        return &places_[found->second];
    }
    return nullptr;
}

std::vector<std::string_view> CountryTable::Prefixes() const {
    std::vector<std::string_view> all;
    all.reserve(prefixes_.size());
    for (const auto& [prefix, where] : prefixes_) all.push_back(prefix);
    return all;
}

}  // namespace cluster
