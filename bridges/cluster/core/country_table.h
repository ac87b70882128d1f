#pragma once
// The amateur country file (cty.dat, "Big CTY" format), read into a table for look-ups.
//
// A record is a header line of eight ':'-terminated fields (name, CQ zone, ITU zone, continent,
// latitude north positive, longitude WEST positive, UTC offset with its sign inverted, primary
// prefix, a leading '*' marking an entity counted only for one award list), then aliases on
// indented lines, comma-separated, the last followed by ';'. "=CALL" matches that whole call
// only; any alias can carry overrides "(CQ)", "[ITU]", "<lat/lon>", "{continent}", "~offset~".
// The table turns the file's conventions round: longitudes are east positive and UTC offsets are
// the hours to add to UTC.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/failure.h"
#include "bridges/cluster/core/position.h"

namespace cluster {

enum class Continent { Africa, Antarctica, Asia, Europe, NorthAmerica, Oceania, SouthAmerica };
// "AF", "AN", "AS", "EU", "NA", "OC", "SA"
std::string_view ContinentCode(Continent continent);
// The continent of a code, either case; nothing for anything else.
std::optional<Continent> ContinentNamed(std::string_view code);

struct Country {
    std::string name;
    std::string primaryPrefix;   // without the '*'
    bool awardListOnly = false;  // the '*' entities (for example a part of a country counted
                                 // apart); their aliases are read but not used by look-ups
};

// Where an alias puts a call: its country and the country's data with the alias's overrides.
struct CallCountry {
    const Country* country = nullptr;  // valid while the table lives
    int cqZone = 0;
    int ituZone = 0;
    Continent continent = Continent::Europe;
    Position position;
    double utcOffsetHours = 0.0;
};

// A country file that cannot be used: it names the file and the line (0 when the fault is not on
// one line, such as a missing file).
class CountryFileError : public base::Failure {
  public:
    CountryFileError(std::string file, std::size_t line, const std::string& problem);
    const std::string& File() const { return file_; }
    std::size_t Line() const { return line_; }

  private:
    std::string file_;
    std::size_t line_;
};

class CountryTable {
  public:
    CountryTable(const CountryTable&) = delete;  // look-up results point into the table
    CountryTable& operator=(const CountryTable&) = delete;
    CountryTable(CountryTable&&) = default;
    CountryTable& operator=(CountryTable&&) = default;

    // The file that Debian's hamradio-files package installs.
    static constexpr const char* kDebianPath = "/usr/share/hamradio-files/cty.dat";
    // Larger files are refused unread (today's file is about 330 KB).
    static constexpr std::size_t kFileLimit = 16 * 1024 * 1024;

    // Reads a file; throws CountryFileError when it is missing, unreadable, too large, truncated
    // or not a country file (the first fault found). A '=' alias or prefix listed twice keeps
    // its first meaning.
    static CountryTable Load(const std::string& path);
    // The same for text already read; fileName only names it in errors.
    static CountryTable Parse(std::string_view text, const std::string& fileName);

    // The file's version, the date of its "=VERyyyymmdd" alias ("20230502"); empty when none.
    const std::string& Version() const { return version_; }
    const std::deque<Country>& Countries() const { return countries_; }

    // The alias "=CALL" for exactly this call (upper case); nothing when there is none.
    const CallCountry* ExactCall(std::string_view call) const;
    // The longest prefix alias that begins the text (upper case), and its length; the
    // Guantanamo Bay rule of call_country.h is applied here. Nothing when none matches.
    const CallCountry* LongestPrefix(std::string_view text,
                                     std::size_t* matchedLength = nullptr) const;
    // Every prefix alias, for measuring a look-up against a scan of them all.
    std::vector<std::string_view> Prefixes() const;

  private:
    struct TextHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const {
            return std::hash<std::string_view>{}(text);
        }
    };
    // Alias to its place in places_.
    using AliasMap = std::unordered_map<std::string, std::uint32_t, TextHash, std::equal_to<>>;

    CountryTable() = default;
    friend class CountryFileParser;

    std::deque<Country> countries_;    // a deque: growing or moving it keeps the addresses
    std::vector<CallCountry> places_;  // each record's, then each alias's with overrides
    AliasMap exactCalls_;
    AliasMap prefixes_;
    std::size_t longestPrefix_ = 0;
    std::string version_;
};

}  // namespace cluster
