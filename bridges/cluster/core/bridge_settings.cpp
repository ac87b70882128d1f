#include "bridges/cluster/core/bridge_settings.h"

#include <algorithm>

#include "base/rounding.h"
#include "base/text.h"
#include "bridges/cluster/core/plain_text.h"
#include "bridges/common/setting_words.h"

namespace cluster {

namespace {

using bridges::FieldKind;
using Field = bridges::SettingField<BridgeSettings>;

constexpr std::string_view kListSeparators = ", \t";

// A login call: letters and digits with at least one of each, an optional SSID ("-2"). Nodes
// refuse a call with "/" (a portable suffix is no login).
std::string CallProblem(std::string_view call) {
    const std::size_t dash = call.find('-');
    const std::string_view base = call.substr(0, dash);
    if (base.find('/') != std::string_view::npos)
        return "nodes refuse a login with \"/\": log in with your plain call";
    bool letter = false, digit = false;
    for (const char c : base) {
        if (!base::IsLetterOrDigit(c)) return "a call has only letters and digits";
        letter = letter || base::IsLetter(c);
        digit = digit || base::IsDigit(c);
    }
    if (base.size() < 3 || base.size() > 12 || !letter || !digit)
        return "a call has 3 to 12 letters and digits, at least one of each";
    if (dash != std::string_view::npos) {
        const std::string_view ssid = call.substr(dash + 1);
        if (ssid.empty() || ssid.size() > 2 || !base::IsDigit(ssid[0]) ||
            (ssid.size() == 2 && !base::IsDigit(ssid[1])))
            return "an SSID after the call is \"-\" and a number from 0 to 99";
    }
    return {};
}

// A command for the node: one line of text. Leaving is the bridge's own business.
std::string CommandProblem(std::string_view command) {
    for (const char c : command)
        if (static_cast<unsigned char>(c) < 0x20 || c == '\x7F' || c == '\xFF')
            return "a command has no control characters";
    const std::string word = base::Lower(command.substr(0, command.find(' ')));
    if (word == "bye" || word == "quit" || word == "exit" || word == "logout")
        return base::Quoted(command) + " would end every login: the bridge leaves the node itself";
    return {};
}

bool IsAll(std::string_view text) {
    return base::SameNoCase(text, "all");
}

// A number of minutes, decimals allowed, within the range; zero too when allowed.
Field MinutesField(bridges::FieldInfo info, std::chrono::milliseconds BridgeSettings::*member,
                   double low, double high, bool zeroAllowed) {
    const std::string range = "give a number of minutes from " + bridges::NumberText(low) + " to " +
                              bridges::NumberText(high) + (zeroAllowed ? ", or 0 for none" : "");
    info.kind = FieldKind::Number;
    return {info,
            [=](const std::string& text, BridgeSettings& s) -> std::string {
                const std::optional<double> value = PlainDecimal(text, 1e9);
                if (!value || (*value == 0 ? !zeroAllowed : (*value < low || *value > high)))
                    return range;
                s.*member = std::chrono::milliseconds(
                    static_cast<long long>(base::RoundHalfAway(*value * 60000)));
                return {};
            },
            [=](const BridgeSettings& s) {
                return bridges::NumberText(static_cast<double>((s.*member).count()) / 60000);
            }};
}

// The items' names joined by commas, as the list settings are written.
template <class Items, class Name>
std::string Joined(const Items& items, Name name) {
    std::string text;
    for (const auto& item : items) text.append(text.empty() ? "" : ",").append(name(item));
    return text;
}

// A filter's list: "all" when it holds nothing.
template <class Item>
std::string ListText(const std::set<Item>& items, std::string (*name)(const Item&)) {
    return items.empty() ? "all" : Joined(items, name);
}

std::vector<Field> Fields() {
    std::vector<Field> fields;
    fields.push_back({bridges::FieldInfo("NODE_HOST", "--node-host", "HOST", "the node's address",
                                         "Node &address")
                          .Needed("dxc.example.org"),
                      [](const std::string& text, BridgeSettings& s) -> std::string {
                          if (text.find_first_of(" \t") != std::string::npos)
                              return "a host has no blanks";
                          s.node.host = text;
                          return {};
                      },
                      [](const BridgeSettings& s) { return s.node.host; }});
    fields.push_back({bridges::FieldInfo("NODE_PORT", "--node-port", "PORT", "its telnet port",
                                         "Node &port", FieldKind::Number),
                      [](const std::string& text, BridgeSettings& s) -> std::string {
                          if (!bridges::IsPortNumber(text))
                              return "give a port number from 1 to 65535";
                          s.node.port = text;
                          return {};
                      },
                      [](const BridgeSettings& s) { return s.node.port; }});
    fields.push_back(
        {bridges::FieldInfo("BACKUP_NODES", "--backup-nodes", "LIST",
                            "other nodes, host:port, tried in turn", "Backup n&odes",
                            FieldKind::List),
         [](const std::string& text, BridgeSettings& s) -> std::string {
             s.backupNodes.clear();
             for (const std::string_view item : bridges::ListItems(text, kListSeparators)) {
                 const std::optional<NodeAddress> node = ReadNodeAddress(item);
                 if (!node)
                     return base::Quoted(item) +
                            " is no node; give host:port, such as "
                            "dxc.example.org:7300, for each";
                 s.backupNodes.push_back(*node);
             }
             return {};
         },
         [](const BridgeSettings& s) {
             return Joined(s.backupNodes, [](const NodeAddress& node) { return node.Text(); });
         }});
    fields.push_back(
        {bridges::FieldInfo("CALLSIGN", "--callsign", "CALL", "your call, the login", "&Call")
             .Needed("N0CALL"),
         [](const std::string& text, BridgeSettings& s) -> std::string {
             const std::string call = base::Upper(text);
             if (std::string problem = CallProblem(call); !problem.empty()) return problem;
             s.callsign = call;
             return {};
         },
         [](const BridgeSettings& s) { return s.callsign; }});
    fields.push_back(
        {bridges::FieldInfo("PASSWORD", "--password", "TEXT", "for nodes that ask for one",
                            "Pass&word", FieldKind::Password),
         [](const std::string& text, BridgeSettings& s) -> std::string {
             for (const char c : text)
                 if (static_cast<unsigned char>(c) < 0x20 || c == '\x7F' || c == '\xFF')
                     return "a password has no control characters";
             s.password = text;
             return {};
         },
         [](const BridgeSettings& s) { return s.password; }});
    fields.push_back({bridges::FieldInfo("LOGIN_COMMANDS", "--login-commands", "LIST",
                                         "node commands after the login, separated by ;",
                                         "Login comma&nds", FieldKind::List),
                      [](const std::string& text, BridgeSettings& s) -> std::string {
                          s.loginCommands.clear();
                          for (const std::string_view command : bridges::ListItems(text, ";")) {
                              if (std::string problem = CommandProblem(command); !problem.empty())
                                  return problem;
                              s.loginCommands.emplace_back(command);
                          }
                          return {};
                      },
                      [](const BridgeSettings& s) {
                          std::string text;
                          for (const std::string& command : s.loginCommands)
                              text.append(text.empty() ? "" : "; ").append(command);
                          return text;
                      }});
    fields.push_back({bridges::FieldInfo("LOCATOR", "--locator", "LOC",
                                         "JO62QM, or \"52.52 13.40\"", "Your &locator")
                          .Needed("JO62QM"),
                      [](const std::string& text, BridgeSettings& s) -> std::string {
                          try {
                              s.station = StationPosition(text);
                          } catch (const base::Failure& problem) {
                              return problem.what();
                          }
                          s.locator = text;
                          return {};
                      },
                      [](const BridgeSettings& s) { return s.locator; }});
    fields.push_back({bridges::FieldInfo("UNITS", "--units", "km|miles", "distances", "&Units")
                          .OneOf({"km", "miles"}),
                      [](const std::string& text, BridgeSettings& s) -> std::string {
                          const std::string word = base::Upper(text);
                          if (word == "KM") {
                              s.units = Units::Kilometres;
                          } else if (word == "MILES" || word == "MI") {
                              s.units = Units::Miles;
                          } else {
                              return "give km or miles";
                          }
                          return {};
                      },
                      [](const BridgeSettings& s) {
                          return std::string(s.units == Units::Miles ? "miles" : "km");
                      }});
    fields.push_back({bridges::FieldInfo("COUNTRY_FILE", "--country-file", "PATH",
                                         "the country file, beside the program", "Country &file",
                                         FieldKind::FilePath),
                      [](const std::string& text, BridgeSettings& s) -> std::string {
                          s.countryFile = text;
                          return {};
                      },
                      [](const BridgeSettings& s) { return s.countryFile; }});
    fields.push_back(
        {bridges::FieldInfo("BANDS", "--bands", "LIST",
                            "all, or bands to list, e.g. \"160m,40m,20m\"", "&Bands",
                            FieldKind::List),
         [](const std::string& text, BridgeSettings& s) -> std::string {
             s.bands.clear();
             if (IsAll(text)) return {};
             for (const std::string_view word : bridges::ListItems(text, kListSeparators)) {
                 const Band* band = BandNamed(word);
                 if (!band)
                     return base::Quoted(word) +
                            " is no band; give \"all\" or bands such as 160m, "
                            "40m, 20m, 2m, 70cm";
                 s.bands.insert(std::string(band->name));
             }
             return {};
         },
         [](const BridgeSettings& s) {
             return ListText<std::string>(s.bands, [](const std::string& band) { return band; });
         }});
    fields.push_back(
        {bridges::FieldInfo("MODES", "--modes", "LIST", "all, or some of CW,phone,digital",
                            "&Modes", FieldKind::List),
         [](const std::string& text, BridgeSettings& s) -> std::string {
             s.modes.clear();
             if (IsAll(text)) return {};
             for (const std::string_view word : bridges::ListItems(text, kListSeparators)) {
                 const std::string upper = base::Upper(word);
                 if (upper == "CW") {
                     s.modes.insert(Mode::Cw);
                 } else if (upper == "PHONE" || upper == "SSB") {
                     s.modes.insert(Mode::Phone);
                 } else if (upper == "DIGITAL" || upper == "DIGI") {
                     s.modes.insert(Mode::Digital);
                 } else {
                     return base::Quoted(word) +
                            " is no mode; give \"all\" or some of CW, phone, "
                            "digital";
                 }
             }
             return {};
         },
         [](const BridgeSettings& s) {
             return ListText<Mode>(s.modes,
                                   [](const Mode& mode) { return std::string(ModeName(mode)); });
         }});
    fields.push_back({bridges::FieldInfo("SKIMMER", "--skimmer", "on|off", "skimmer spots",
                                         "&Skimmer spots", FieldKind::OnOff),
                      [](const std::string& text, BridgeSettings& s) -> std::string {
                          const std::optional<bool> on = bridges::OnOffWord(text);
                          if (!on) return "give on or off";
                          s.skimmer = *on;
                          return {};
                      },
                      [](const BridgeSettings& s) { return bridges::OnOffText(s.skimmer); }});
    fields.push_back(
        {bridges::FieldInfo("SPOTTER_CONTINENTS", "--spotter-continents", "LIST",
                            "all, or spots heard on some of AF,AN,AS,EU,NA,OC,SA",
                            "Spotter con&tinents", FieldKind::List),
         [](const std::string& text, BridgeSettings& s) -> std::string {
             s.spotterContinents.clear();
             if (IsAll(text)) return {};
             for (const std::string_view word : bridges::ListItems(text, kListSeparators)) {
                 const std::optional<Continent> continent = ContinentNamed(word);
                 if (!continent)
                     return base::Quoted(word) +
                            " is no continent; give \"all\" or some of AF, AN, AS, EU, NA, OC, "
                            "SA";
                 s.spotterContinents.insert(*continent);
             }
             return {};
         },
         [](const BridgeSettings& s) {
             return ListText<Continent>(s.spotterContinents, [](const Continent& continent) {
                 return std::string(ContinentCode(continent));
             });
         }});
    fields.push_back(MinutesField(
        bridges::FieldInfo("DUPLICATE_MINUTES", "--duplicate-minutes", "N",
                           "same call, same band within it: a duplicate", "&Duplicate minutes"),
        &BridgeSettings::duplicateWindow, 0.01, 1440, true));
    fields.push_back(
        MinutesField(bridges::FieldInfo("MAX_AGE_MINUTES", "--max-age-minutes", "N",
                                        "a spot waits at most this long", "Ma&ximum age, minutes"),
                     &BridgeSettings::maxAge, 0.01, 60, false));
    fields.push_back(
        MinutesField(bridges::FieldInfo("KEEPALIVE_MINUTES", "--keepalive-minutes", "N",
                                        "an empty line after this silence", "&Keep-alive minutes"),
                     &BridgeSettings::keepAlive, 0.01, 30, false));
    fields.push_back({bridges::FieldInfo("SERVICE", "--service", "NAME", "the DDE service to offer",
                                         "DDE s&ervice")
                          .OneOf({kService32, kService16}),
                      [](const std::string& text, BridgeSettings& s) -> std::string {
                          const std::string name = base::Upper(text);
                          if (name != kService32 && name != kService16)
                              return std::string("give ") + kService32 + " or " + kService16;
                          s.service = name;
                          return {};
                      },
                      [](const BridgeSettings& s) { return s.service; }});
    return fields;
}

}  // namespace

std::vector<NodeAddress> NodesOf(const BridgeSettings& settings) {
    std::vector<NodeAddress> nodes{settings.node};
    nodes.insert(nodes.end(), settings.backupNodes.begin(), settings.backupNodes.end());
    return nodes;
}

std::vector<std::string> NodeCommandsOf(const BridgeSettings& settings) {
    const bool saysSkimmer =
        std::any_of(settings.loginCommands.begin(), settings.loginCommands.end(),
                    [](const std::string& command) {
                        const std::string lower = base::Lower(command);
                        return lower.starts_with("set/skim") || lower.starts_with("set/noskim");
                    });
    std::vector<std::string> commands;
    if (settings.skimmer && !saysSkimmer) commands.emplace_back("set/skimmer");
    commands.insert(commands.end(), settings.loginCommands.begin(), settings.loginCommands.end());
    return commands;
}

const bridges::SettingsTable<BridgeSettings>& BridgeSettingsTable() {
    static const bridges::SettingsTable<BridgeSettings> table(Fields());
    return table;
}

CountryTable OpenCountryFile(const std::string& path) {
    try {
        return CountryTable::Load(path);
    } catch (const CountryFileError& problem) {
        const std::string why =
            std::string("the country file cannot be used: ") + problem.what() +
            ". Put a current cty.dat there (Debian's hamradio-files package has one, its "
            "publisher's site the newest), or name another with COUNTRY_FILE";
        throw bridges::SettingsError("COUNTRY_FILE", why, why);
    }
}

}  // namespace cluster
