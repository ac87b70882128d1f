#include "bridges/cluster/core/bridge_settings.h"

#include <cmath>

#include "base/rounding.h"
#include "bridges/cluster/core/plain_text.h"

namespace cluster {

namespace {

std::string Upper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return upper;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The words of a list: separated by commas and/or blanks.
std::vector<std::string_view> ListWords(std::string_view text) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && (text[i] == ',' || text[i] == ' ' || text[i] == '\t')) ++i;
        std::size_t end = i;
        while (end < text.size() && text[end] != ',' && text[end] != ' ' && text[end] != '\t')
            ++end;
        if (end > i) words.push_back(text.substr(i, end - i));
        i = end;
    }
    return words;
}

// One setting being read: its text and the source it came from, for the messages.
class Setting {
  public:
    Setting(const std::string& key, const SettingSource& commandLine, const SettingSource& file)
        : key_(key), file_(file) {
        if ((text_ = commandLine.Text(key))) {
            from_ = "option " + OptionOf(key);
        } else if ((text_ = file.Text(key))) {
            from_ = key + " in " + file.Name();
        }
        if (text_) {
            *text_ = std::string(TrimBlanks(*text_));
            if (text_->empty()) text_.reset();  // "KEY=" keeps the default
        }
    }

    bool Given() const { return text_.has_value(); }
    const std::string& Text() const { return *text_; }

    // The text, or a SettingsError when there is none.
    const std::string& Required(const std::string& example) const {
        if (!text_)
            throw SettingsError(key_ + " is not set: write " + key_ + "=" + example + " in " +
                                file_.Name() + ", or give " + OptionOf(key_) + " " + example +
                                " on the command line");
        return *text_;
    }

    [[noreturn]] void Invalid(const std::string& why) const {
        throw SettingsError(key_ + " \"" + *text_ + "\" (" + from_ + ") is not usable: " + why);
    }

    // A number of minutes, decimals allowed, within the range.
    std::chrono::milliseconds Minutes(double low, double high, bool zeroAllowed) const {
        const std::optional<double> value = PlainDecimal(*text_, 1e9);
        if (!value || (*value == 0 ? !zeroAllowed : (*value < low || *value > high)))
            Invalid("give a number of minutes from " + Shown(low) + " to " + Shown(high) +
                    (zeroAllowed ? ", or 0 for none" : ""));
        return std::chrono::milliseconds(
            static_cast<long long>(base::RoundHalfAway(*value * 60000)));
    }

  private:
    static std::string Shown(double value) {
        std::string text = std::to_string(value);
        text.erase(text.find_last_not_of('0') + 1);
        if (text.back() == '.') text.pop_back();
        return text;
    }

    std::string key_;
    const SettingSource& file_;
    std::optional<std::string> text_;
    std::string from_;
};

// A login call: letters and digits with at least one of each, an optional SSID ("-2"). Nodes
// refuse a call with "/" (a portable suffix is no login).
std::string CallProblem(std::string_view call) {
    const std::size_t dash = call.find('-');
    const std::string_view base = call.substr(0, dash);
    if (base.find('/') != std::string_view::npos)
        return "nodes refuse a login with \"/\": log in with your plain call";
    bool letter = false, digit = false;
    for (const char c : base) {
        if (!IsLetter(c) && !IsDigit(c)) return "a call has only letters and digits";
        letter = letter || IsLetter(c);
        digit = digit || IsDigit(c);
    }
    if (base.size() < 3 || base.size() > 12 || !letter || !digit)
        return "a call has 3 to 12 letters and digits, at least one of each";
    if (dash != std::string_view::npos) {
        const std::string_view ssid = call.substr(dash + 1);
        if (ssid.empty() || ssid.size() > 2 || !IsDigit(ssid[0]) ||
            (ssid.size() == 2 && !IsDigit(ssid[1])))
            return "an SSID after the call is \"-\" and a number from 0 to 99";
    }
    return {};
}

bool IsPort(std::string_view text) {
    if (text.empty() || text.size() > 5) return false;
    for (const char c : text)
        if (!IsDigit(c)) return false;
    const long port = std::stol(std::string(text));
    return port >= 1 && port <= 65535;
}

std::optional<bool> OnOff(std::string_view text) {
    const std::string word = Upper(text);
    if (word == "ON" || word == "YES" || word == "TRUE" || word == "1") return true;
    if (word == "OFF" || word == "NO" || word == "FALSE" || word == "0") return false;
    return std::nullopt;
}

bool IsAll(std::string_view text) {
    return Upper(text) == "ALL";
}

}  // namespace

std::optional<std::string> MapSettings::Text(const std::string& key) const {
    const auto found = values_.find(key);
    if (found == values_.end()) return std::nullopt;
    return found->second;
}

const std::vector<std::string>& SettingKeys() {
    static const std::vector<std::string> keys = {"NODE_HOST",
                                                  "NODE_PORT",
                                                  "CALLSIGN",
                                                  "PASSWORD",
                                                  "LOCATOR",
                                                  "UNITS",
                                                  "COUNTRY_FILE",
                                                  "BANDS",
                                                  "MODES",
                                                  "SKIMMER",
                                                  "DUPLICATE_MINUTES",
                                                  "MAX_AGE_MINUTES",
                                                  "KEEPALIVE_MINUTES",
                                                  "SERVICE"};
    return keys;
}

std::string OptionOf(const std::string& key) {
    std::string option = "--";
    for (const char c : key)
        option += c == '_' ? '-' : (c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
    return option;
}

MapSettings CommandLineSettings(const std::vector<std::string>& arguments) {
    std::map<std::string, std::string> values;
    for (std::size_t i = 0; i < arguments.size(); i += 2) {
        const std::string& option = arguments[i];
        std::string key;
        for (const std::string& known : SettingKeys())
            if (OptionOf(known) == option) key = known;
        if (key.empty()) throw SettingsError("unknown option \"" + option + "\"");
        if (i + 1 == arguments.size())
            throw SettingsError("the option " + option + " needs a value after it");
        values[key] = arguments[i + 1];  // the last one given wins
    }
    return MapSettings("the command line", std::move(values));
}

BridgeSettings ReadSettings(const SettingSource& commandLine, const SettingSource& file) {
    BridgeSettings s;
    const auto setting = [&](const char* key) { return Setting(key, commandLine, file); };

    const Setting host = setting("NODE_HOST");
    s.nodeHost = host.Required("dxc.example.org");
    if (s.nodeHost.find_first_of(" \t") != std::string::npos) host.Invalid("a host has no blanks");

    if (const Setting port = setting("NODE_PORT"); port.Given()) {
        if (!IsPort(port.Text())) port.Invalid("give a port number from 1 to 65535");
        s.nodePort = port.Text();
    }

    const Setting call = setting("CALLSIGN");
    s.callsign = Upper(call.Required("N0CALL"));
    if (const std::string problem = CallProblem(s.callsign); !problem.empty())
        call.Invalid(problem);

    if (const Setting password = setting("PASSWORD"); password.Given()) {
        for (const char c : password.Text())
            if (static_cast<unsigned char>(c) < 0x20 || c == '\x7F' || c == '\xFF')
                password.Invalid("a password has no control characters");
        s.password = password.Text();
    }

    const Setting locator = setting("LOCATOR");
    s.locator = locator.Required("JO62QM");
    try {
        s.station = StationPosition(s.locator);
    } catch (const base::Failure& problem) {
        locator.Invalid(problem.what());
    }

    if (const Setting units = setting("UNITS"); units.Given()) {
        const std::string word = Upper(units.Text());
        if (word == "KM") {
            s.units = Units::Kilometres;
        } else if (word == "MILES" || word == "MI") {
            s.units = Units::Miles;
        } else {
            units.Invalid("give km or miles");
        }
    }

    if (const Setting countryFile = setting("COUNTRY_FILE"); countryFile.Given())
        s.countryFile = countryFile.Text();

    if (const Setting bands = setting("BANDS"); bands.Given() && !IsAll(bands.Text())) {
        for (const std::string_view word : ListWords(bands.Text())) {
            const Band* band = BandNamed(word);
            if (!band)
                bands.Invalid("\"" + std::string(word) +
                              "\" is no band; give \"all\" or bands such as 160m, 40m, 20m, 2m, "
                              "70cm");
            s.bands.insert(std::string(band->name));
        }
    }

    if (const Setting modes = setting("MODES"); modes.Given() && !IsAll(modes.Text())) {
        for (const std::string_view word : ListWords(modes.Text())) {
            const std::string upper = Upper(word);
            if (upper == "CW") {
                s.modes.insert(Mode::Cw);
            } else if (upper == "PHONE" || upper == "SSB") {
                s.modes.insert(Mode::Phone);
            } else if (upper == "DIGITAL" || upper == "DIGI") {
                s.modes.insert(Mode::Digital);
            } else {
                modes.Invalid("\"" + std::string(word) +
                              "\" is no mode; give \"all\" or some of CW, phone, digital");
            }
        }
    }

    if (const Setting skimmer = setting("SKIMMER"); skimmer.Given()) {
        const std::optional<bool> on = OnOff(skimmer.Text());
        if (!on) skimmer.Invalid("give on or off");
        s.skimmer = *on;
    }

    if (const Setting window = setting("DUPLICATE_MINUTES"); window.Given())
        s.duplicateWindow = window.Minutes(0.01, 1440, true);
    if (const Setting age = setting("MAX_AGE_MINUTES"); age.Given())
        s.maxAge = age.Minutes(0.01, 60, false);
    if (const Setting keepAlive = setting("KEEPALIVE_MINUTES"); keepAlive.Given())
        s.keepAlive = keepAlive.Minutes(0.01, 30, false);

    if (const Setting service = setting("SERVICE"); service.Given()) {
        const std::string name = Upper(service.Text());
        if (name != kService32 && name != kService16) service.Invalid("give WENDRA32 or WENDRA");
        s.service = name;
    }
    return s;
}

CountryTable OpenCountryFile(const std::string& path) {
    try {
        return CountryTable::Load(path);
    } catch (const CountryFileError& problem) {
        throw SettingsError(
            std::string("the country file cannot be used: ") + problem.what() +
            ". Put a current cty.dat there (Debian's hamradio-files package has one, its "
            "publisher's site the newest), or name another with COUNTRY_FILE");
    }
}

}  // namespace cluster
