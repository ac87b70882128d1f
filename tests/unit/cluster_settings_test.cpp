// The cluster bridge's settings, read through their one table: the command line wins over the
// settings file, defaults, a clear message naming the setting and its source for everything
// missing or invalid (the country file included), and the usage, a dialog's current values and
// its check taken from the same declarations.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "base/text.h"
#include "bridges/cluster/core/bridge_settings.h"

namespace {

using bridges::MapSettings;
using bridges::SettingsError;

const auto& kTable = cluster::BridgeSettingsTable();

bridges::CommandLineSettings CommandLine(const std::vector<std::string>& arguments) {
    return kTable.CommandLine(arguments);
}

std::string OptionOf(const std::string& key) {
    return kTable.Find(key)->option;
}

const MapSettings kNoFile("clusterbridge.INI", {});

const MapSettings kFile("clusterbridge.INI", {{"NODE_HOST", "dxc.example.org"},
                                              {"CALLSIGN", "dl1abc"},
                                              {"LOCATOR", "JO62QM"},
                                              {"UNITS", "miles"},
                                              {"BANDS", ""}});

std::string Problem(const bridges::SettingSource& commandLine, const MapSettings& file = kFile) {
    try {
        kTable.Read(commandLine, file);
    } catch (const SettingsError& error) {
        return error.what();
    }
    return "no problem";
}

TEST(ClusterSettings, TheCommandLineWinsOverTheFileAndWhatNeitherGivesHasItsDefault) {
    const auto commandLine = CommandLine({"--node-port", "8000", "--units", "km", "--bands",
                                          "20m, 40 15m", "--modes", "cw digi", "--skimmer", "off",
                                          "--max-age-minutes", "0.5", "--service", "wendra"});
    const cluster::BridgeSettings s = kTable.Read(commandLine, kFile);
    EXPECT_EQ(s.node, (cluster::NodeAddress{"dxc.example.org", "8000"}));
    EXPECT_EQ(s.callsign, "DL1ABC");
    EXPECT_NEAR(s.station.latitude, 52.52, 0.01);
    EXPECT_EQ(s.units, cluster::Units::Kilometres);
    EXPECT_EQ(s.bands, (std::set<std::string>{"15m", "20m", "40m"}));
    EXPECT_EQ(s.modes, (std::set<cluster::Mode>{cluster::Mode::Cw, cluster::Mode::Digital}));
    EXPECT_FALSE(s.skimmer);
    EXPECT_EQ(s.maxAge, std::chrono::seconds(30));
    EXPECT_EQ(s.service, "WENDRA");

    const cluster::BridgeSettings d = kTable.Read(MapSettings("", {}), kFile);
    EXPECT_EQ(d.node.port, "7300");
    EXPECT_TRUE(d.backupNodes.empty());
    EXPECT_EQ(d.units, cluster::Units::Miles);
    EXPECT_TRUE(d.bands.empty()) << "an empty value keeps the default: every band";
    EXPECT_TRUE(d.modes.empty());
    EXPECT_TRUE(d.skimmer);
    EXPECT_EQ(d.duplicateWindow, std::chrono::minutes(10));
    EXPECT_EQ(d.maxAge, std::chrono::minutes(5));
    EXPECT_EQ(d.keepAlive, std::chrono::minutes(2));
    EXPECT_EQ(d.countryFile, "cty.dat");
    EXPECT_EQ(d.service, "WENDRA32");
}

TEST(ClusterSettings, AMissingOrInvalidSettingIsNamedWithWhereItCameFrom) {
    EXPECT_EQ(Problem(MapSettings("the command line", {}), kNoFile),
              "NODE_HOST is not set: write NODE_HOST=dxc.example.org in clusterbridge.INI, or "
              "give --node-host dxc.example.org on the command line");
    EXPECT_EQ(Problem(MapSettings("", {{"CALLSIGN", " "}})),
              "CALLSIGN is not set: write CALLSIGN=N0CALL in clusterbridge.INI, or give "
              "--callsign N0CALL on the command line");

    const std::vector<std::tuple<std::string, std::string, std::string>> invalid = {
        {"NODE_HOST", "dxc example", "a host has no blanks"},
        {"NODE_PORT", "70000", "a port number from 1 to 65535"},
        {"NODE_PORT", "+23", "a port number"},
        {"CALLSIGN", "DL1ABC/P", "nodes refuse a login with \"/\""},
        {"CALLSIGN", "DLABC", "at least one of each"},
        {"CALLSIGN", "DL1ABC-123", "an SSID"},
        {"PASSWORD",
         "a\x01"
         "b",
         "no control characters"},
        {"LOCATOR", "JO6", "a locator has 4, 6 or 8 characters"},
        {"LOCATOR", "91 13", "latitude"},
        {"UNITS", "furlongs", "give km or miles"},
        {"BANDS", "20m,11m", "\"11m\" is no band"},
        {"MODES", "CW,AM", "\"AM\" is no mode"},
        {"SKIMMER", "maybe", "give on or off"},
        {"DUPLICATE_MINUTES", "-1", "from 0.01 to 1440, or 0 for none"},
        {"MAX_AGE_MINUTES", "0", "from 0.01 to 60"},
        {"KEEPALIVE_MINUTES", "nan", "from 0.01 to 30"},
        {"SERVICE", "WENDRA16", "give WENDRA32 or WENDRA"},
        {"BACKUP_NODES", "dxc2.example.org:7300, dxc3:0", "\"dxc3:0\" is no node"},
        {"LOGIN_COMMANDS", "set/nobeep; bye", "\"bye\" would end every login"},
        {"SPOTTER_CONTINENTS", "EU, XX", "\"XX\" is no continent"},
    };
    for (const auto& [key, value, why] : invalid) {
        std::map<std::string, std::string> values = {
            {"NODE_HOST", "dxc.example.org"}, {"CALLSIGN", "DL1ABC"}, {"LOCATOR", "JO62"}};
        values[key] = value;
        const std::string fromFile =
            Problem(MapSettings("", {}), MapSettings("clusterbridge.INI", values));
        EXPECT_TRUE(fromFile.starts_with(key + " \"" + value + "\" (" + key +
                                         " in clusterbridge.INI) is not usable: "))
            << fromFile;
        EXPECT_NE(fromFile.find(why), std::string::npos) << fromFile;
        const std::string fromOption = Problem(CommandLine({OptionOf(key), value}));
        EXPECT_NE(fromOption.find("(option " + OptionOf(key) + ")"), std::string::npos)
            << fromOption;
    }

    EXPECT_THROW(CommandLine({"--callsign"}), SettingsError);
    EXPECT_THROW(CommandLine({"--call", "DL1ABC"}), SettingsError);
    EXPECT_THROW(CommandLine({"DL1ABC"}), SettingsError);
}

TEST(ClusterSettings, BackupNodesLoginCommandsAndSpotterContinents) {
    const cluster::BridgeSettings s = kTable.Read(
        CommandLine({"--backup-nodes", "dxc2.example.org:8000 dxc3.example.org", "--login-commands",
                     "set/nobeep;  accept/spots on hf/cw,rtty ;", "--spotter-continents", "eu,NA"}),
        kFile);
    EXPECT_EQ(cluster::NodesOf(s),
              (std::vector<cluster::NodeAddress>{{"dxc.example.org", "7300"},
                                                 {"dxc2.example.org", "8000"},
                                                 {"dxc3.example.org", "7300"}}));
    EXPECT_EQ(s.loginCommands,
              (std::vector<std::string>{"set/nobeep", "accept/spots on hf/cw,rtty"}));
    EXPECT_EQ(s.spotterContinents,
              (std::set<cluster::Continent>{cluster::Continent::Europe,
                                            cluster::Continent::NorthAmerica}));
    // Skimmer spots on: the node is asked for them first, unless the commands say themselves.
    EXPECT_EQ(cluster::NodeCommandsOf(s), (std::vector<std::string>{"set/skimmer", "set/nobeep",
                                                                    "accept/spots on hf/cw,rtty"}));
    cluster::BridgeSettings own = s;
    own.loginCommands = {"set/nobeep", "SET/SKIMMER CW"};
    EXPECT_EQ(cluster::NodeCommandsOf(own), own.loginCommands);
    own.loginCommands = {"set/noskimmer"};
    EXPECT_EQ(cluster::NodeCommandsOf(own), own.loginCommands);
    own.skimmer = false;
    own.loginCommands = {"set/nobeep"};
    EXPECT_EQ(cluster::NodeCommandsOf(own), own.loginCommands);
}

TEST(ClusterSettings, UsageDialogTextsAndCheckComeFromTheSameDeclarations) {
    // Every setting is in the usage with its option, key and default, on a line of its own.
    const std::string usage = kTable.Usage();
    std::set<char> accessKeys;
    for (const auto& field : kTable.Fields()) {
        const std::size_t line = usage.find("  " + field.option + " ");
        ASSERT_NE(line, std::string::npos) << field.key;
        const std::string text = usage.substr(line, usage.find('\n', line) - line);
        EXPECT_NE(text.find(" " + field.key + " "), std::string::npos) << text;
        const std::string defaultText = field.show(cluster::BridgeSettings{});
        if (field.needed) {
            EXPECT_TRUE(text.ends_with("(needed)")) << text;
        } else if (!defaultText.empty()) {
            EXPECT_TRUE(text.ends_with("(" + defaultText + ")")) << text;
        }
        // A dialog's labels each have an access key of their own.
        const std::size_t amp = field.label.find('&');
        ASSERT_NE(amp, std::string::npos) << field.label;
        EXPECT_TRUE(accessKeys.insert(base::LowerCase(field.label[amp + 1])).second) << field.label;
        if (field.kind != bridges::FieldKind::Choice) continue;
        for (const std::string& choice : field.choices)
            EXPECT_EQ(kTable.Check(MapSettings("the dialog", {{"NODE_HOST", "h"},
                                                              {"CALLSIGN", "N0CALL"},
                                                              {"LOCATOR", "FN42"},
                                                              {field.key, choice}})),
                      std::nullopt)
                << choice;
    }
    EXPECT_EQ(usage.find("  --node-host HOST"), 0u) << "in the order of the table";

    // What a dialog shows reads back as the same settings.
    const cluster::BridgeSettings read = kTable.Read(
        CommandLine({"--bands", "20m 40", "--modes", "cw,digital", "--skimmer", "no",
                     "--duplicate-minutes", "0", "--max-age-minutes", "0.5", "--units", "mi"}),
        kFile);
    const std::map<std::string, std::string> texts = kTable.Texts(read);
    EXPECT_EQ(texts.at("BANDS"), "20m,40m");
    EXPECT_EQ(texts.at("MODES"), "CW,digital");
    EXPECT_EQ(texts.at("SKIMMER"), "off");
    EXPECT_EQ(texts.at("MAX_AGE_MINUTES"), "0.5");
    EXPECT_EQ(texts.at("UNITS"), "miles");
    EXPECT_EQ(kTable.Texts(kTable.Read(MapSettings("dialog", texts), kNoFile)), texts);

    // The dialog's check names the field at fault and why, for the dialog to say.
    std::map<std::string, std::string> edited = texts;
    edited["NODE_PORT"] = "0";
    edited["UNITS"] = "parsecs";
    const auto problem = kTable.Check(MapSettings("the dialog", edited));
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->Key(), "NODE_PORT");
    EXPECT_EQ(problem->Why(), "give a port number from 1 to 65535");
    edited = texts;
    edited["LOCATOR"] = " ";
    EXPECT_EQ(kTable.Check(MapSettings("the dialog", edited))->Key(), "LOCATOR");
}

TEST(ClusterSettings, ACountryFileThatCannotBeUsedIsAnInvalidSettingNamingFileAndLine) {
    const std::string path = testing::TempDir() + "cluster_settings_cty.dat";
    std::ofstream(path) << "Germany: 14: 28: EU: 51.00: -10.00: -1.0: DL:\n    DL,DA;\n"
                        << "Broken: 14: 28: XX: 51.00\n";
    try {
        cluster::OpenCountryFile(path);
        ADD_FAILURE() << "a broken file was taken";
    } catch (const SettingsError& error) {
        const std::string text = error.what();
        EXPECT_NE(text.find(path + ", line 3: "), std::string::npos) << text;
        EXPECT_NE(text.find("or name another with COUNTRY_FILE"), std::string::npos) << text;
    }
    std::remove(path.c_str());
    EXPECT_THROW(cluster::OpenCountryFile(path), SettingsError);
    EXPECT_FALSE(cluster::OpenCountryFile(cluster::CountryTable::kDebianPath).Version().empty());
}

}  // namespace
