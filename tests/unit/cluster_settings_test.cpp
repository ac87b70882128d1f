// The cluster bridge's settings: the command line wins over the settings file, defaults, and a
// clear message naming the setting and its source for everything missing or invalid, the
// country file included.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "bridges/cluster/core/bridge_settings.h"

namespace {

using cluster::MapSettings;
using cluster::SettingsError;

const MapSettings kNoFile("clusterbridge.INI", {});

const MapSettings kFile("clusterbridge.INI", {{"NODE_HOST", "dxc.example.org"},
                                              {"CALLSIGN", "dl1abc"},
                                              {"LOCATOR", "JO62QM"},
                                              {"UNITS", "miles"},
                                              {"BANDS", ""}});

std::string Problem(const MapSettings& commandLine, const MapSettings& file = kFile) {
    try {
        cluster::ReadSettings(commandLine, file);
    } catch (const SettingsError& error) {
        return error.what();
    }
    return "no problem";
}

TEST(ClusterSettings, TheCommandLineWinsOverTheFileAndWhatNeitherGivesHasItsDefault) {
    const MapSettings commandLine = cluster::CommandLineSettings(
        {"--node-port", "8000", "--units", "km", "--bands", "20m, 40 15m", "--modes", "cw digi",
         "--skimmer", "off", "--max-age-minutes", "0.5", "--service", "wendra"});
    const cluster::BridgeSettings s = cluster::ReadSettings(commandLine, kFile);
    EXPECT_EQ(s.nodeHost, "dxc.example.org");
    EXPECT_EQ(s.nodePort, "8000");
    EXPECT_EQ(s.callsign, "DL1ABC");
    EXPECT_NEAR(s.station.latitude, 52.52, 0.01);
    EXPECT_EQ(s.units, cluster::Units::Kilometres);
    EXPECT_EQ(s.bands, (std::set<std::string>{"15m", "20m", "40m"}));
    EXPECT_EQ(s.modes, (std::set<cluster::Mode>{cluster::Mode::Cw, cluster::Mode::Digital}));
    EXPECT_FALSE(s.skimmer);
    EXPECT_EQ(s.maxAge, std::chrono::seconds(30));
    EXPECT_EQ(s.service, "WENDRA");

    const cluster::BridgeSettings d = cluster::ReadSettings(MapSettings("", {}), kFile);
    EXPECT_EQ(d.nodePort, "7300");
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
        const std::string fromOption =
            Problem(cluster::CommandLineSettings({cluster::OptionOf(key), value}));
        EXPECT_NE(fromOption.find("(option " + cluster::OptionOf(key) + ")"), std::string::npos)
            << fromOption;
    }

    EXPECT_THROW(cluster::CommandLineSettings({"--callsign"}), SettingsError);
    EXPECT_THROW(cluster::CommandLineSettings({"--call", "DL1ABC"}), SettingsError);
    EXPECT_THROW(cluster::CommandLineSettings({"DL1ABC"}), SettingsError);
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
