// The country of a spotted call, from Debian's country file, in every form a call takes on the
// air; and what a country file that cannot be used is told as.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "bridges/cluster/core/call_country.h"
#include "bridges/cluster/core/country_table.h"

namespace {

using cluster::CallOutcome;
using cluster::CountryFileError;
using cluster::CountryTable;

const CountryTable& DebianTable() {
    static const CountryTable table = CountryTable::Load(CountryTable::kDebianPath);
    return table;
}

std::string CountryOf(const char* call) {
    const auto lookup = cluster::LookUpCall(DebianTable(), call);
    switch (lookup.outcome) {
        case CallOutcome::Found:
            return lookup.where->country->name;
        case CallOutcome::MaritimeMobile:
            return "/MM";
        case CallOutcome::AeronauticalMobile:
            return "/AM";
        case CallOutcome::NotFound:
            break;
    }
    return "-";
}

TEST(ClusterCountry, CallsOfEveryFormFindTheirCountryInTheDebianFile) {
    const std::pair<const char*, const char*> cases[] = {
        {"DL1ABC", "Fed. Rep. of Germany"},
        {"dl1abc", "Fed. Rep. of Germany"},
        // SSIDs and skimmer marks.
        {"DL1ABC-2", "Fed. Rep. of Germany"},
        {"DL1ABC-#", "Fed. Rep. of Germany"},
        {"DL1ABC-1-#", "Fed. Rep. of Germany"},
        // Exact calls listed in the file, "/M" and "/MM" forms included.
        {"9M2/PG5M", "Spratly Islands"},
        {"3A/4Z5KJ/LH", "Monaco"},
        {"VE2EM/M", "Canada"},
        {"N2NL/MM", "United States of America"},
        {"KG4AC/P", "Guantanamo Bay"},
        // Suffixes that say nothing about the place.
        {"W1ABC/P", "United States of America"},
        {"W1ABC/M", "United States of America"},
        {"W1ABC/QRP", "United States of America"},
        {"W1ABC/A", "United States of America"},
        {"EA8/DL1ABC/B", "Canary Islands"},
        {"W1ABC/R", "United States of America"},  // a rover, not Russia's R prefix
        {"DL1ABC/LH", "Fed. Rep. of Germany"},    // a lighthouse, not Norway's LH prefix
        {"EA8/DL1ABC/LH", "Canary Islands"},
        // At sea and in the air.
        {"W1ABC/MM", "/MM"},
        {"DL1ABC/AM", "/AM"},
        {"DL1ABC/MM/P", "/MM"},
        // Call areas.
        {"W1ABC/4", "United States of America"},
        {"UA3ABC/9", "Asiatic Russia"},
        {"UA9ABC/3", "European Russia"},
        {"UA9ABC", "Asiatic Russia"},
        {"DL/W1ABC/4", "Fed. Rep. of Germany"},
        // A territory's call with an area digit is in that area of the United States.
        {"KP4ABC/1", "United States of America"},
        {"KL7ABC/6", "United States of America"},
        {"KH6ABC/4", "United States of America"},
        {"AH6ABC/7", "United States of America"},
        {"VE3ABC/7", "Canada"},
        // The shorter part gives the place.
        {"DL/W1ABC", "Fed. Rep. of Germany"},
        {"W1ABC/VP2E", "Anguilla"},
        {"VP2E/W1ABC", "Anguilla"},
        {"DL1ABC/EA8", "Canary Islands"},
        {"W1ABC/KH6", "Hawaii"},
        // Parts as long as each other: the one after the '/' gives the place.
        {"K9HZ/VP2V", "British Virgin Islands"},
        {"VP2V/K9HZ", "United States of America"},
        {"DL1ABC/EA8ABC", "Canary Islands"},
        // Guantanamo Bay: KG4 and two letters only.
        {"KG4XY", "Guantanamo Bay"},
        {"KG4XYZ", "United States of America"},
        {"KG4X", "United States of America"},
        {"W1ABC/KG4", "Guantanamo Bay"},
        // Award-list-only entities are not used: Sicily is in Italy.
        {"IT9ABC", "Italy"},
        // Not calls, or no country.
        {"", "-"},
        {"W1ABC/", "-"},
        {"/W1ABC", "-"},
        {"W1//ABC", "-"},
        {"W1 ABC", "-"},
        {"W1\xff"
         "ABC",
         "-"},
        {"-#", "-"},
        {"A/B/C/D/E/F/G", "-"},
    };
    for (const auto& [call, country] : cases) EXPECT_EQ(CountryOf(call), country) << call;
}

TEST(ClusterCountry, TheFileSignsAreTurnedRoundAndAliasOverridesApply) {
    EXPECT_EQ(DebianTable().Version(), "20230502");
    // Germany: 51.00 N, "-10.00" (west positive), "-1.0" (sign inverted).
    const auto germany = cluster::LookUpCall(DebianTable(), "DL1ABC").where;
    ASSERT_TRUE(germany);
    EXPECT_DOUBLE_EQ(germany->position.latitude, 51.0);
    EXPECT_DOUBLE_EQ(germany->position.longitude, 10.0);
    EXPECT_DOUBLE_EQ(germany->utcOffsetHours, 1.0);
    EXPECT_EQ(germany->cqZone, 14);
    EXPECT_EQ(cluster::ContinentCode(germany->continent), "EU");

    const auto table = CountryTable::Parse(
        "Somewhere:  14:  28:  EU:   50.00:   -10.00:    -1.0:  *XX:\n"
        "    XX;\n"
        "Testland:  5:  8:  NA:   40.00:   75.00:   5.0:  T9:\r\n"
        "    T9,T9A(4)[7],=T9XYZ<12.5/-20.25>{SA}~-3.5~,\r\n"
        "    =VER20260101;\r\n",
        "test");
    EXPECT_EQ(table.Version(), "20260101");
    EXPECT_EQ(table.Countries().size(), 2u);
    EXPECT_EQ(cluster::LookUpCall(table, "XX1A").outcome, CallOutcome::NotFound);
    const auto plain = cluster::LookUpCall(table, "T91A").where;
    const auto zones = cluster::LookUpCall(table, "T9A1A").where;
    const auto exact = cluster::LookUpCall(table, "T9XYZ").where;
    ASSERT_TRUE(plain && zones && exact);
    EXPECT_EQ(plain->country->name, "Testland");
    EXPECT_EQ(plain->position, (cluster::Position{40.0, -75.0}));
    EXPECT_DOUBLE_EQ(plain->utcOffsetHours, -5.0);
    EXPECT_EQ(zones->cqZone, 4);
    EXPECT_EQ(zones->ituZone, 7);
    EXPECT_EQ(exact->position, (cluster::Position{12.5, 20.25}));
    EXPECT_EQ(exact->continent, cluster::Continent::SouthAmerica);
    EXPECT_DOUBLE_EQ(exact->utcOffsetHours, 3.5);
    EXPECT_EQ(exact->cqZone, 5);
}

TEST(ClusterCountry, AFileThatCannotBeUsedIsNamedWithItsLine) {
    const std::string header = "Testland:  5:  8:  NA:   40.00:   75.00:   5.0:  T9:\n";
    const std::tuple<std::string, std::size_t, const char*> cases[] = {
        {"", 0, "no country record"},
        {"\n  \n", 0, "no country record"},
        {header + "    T9,T8,\n", 2, "cut short"},
        {header, 1, "cut short"},
        {"Testland:  5:  8:  NA:   40.00:   75.00:  T9:\n    T9;\n", 1, "eight fields"},
        {"Testland:  5:  8:  NA:   40.00:   75.00:  5.0:  T9:  x:\n    T9;\n", 1,
         "after the eighth"},
        {"Testland:  x:  8:  NA:   40.00:   75.00:  5.0:  T9:\n    T9;\n", 1, "CQ zone \"x\""},
        {"Testland:  5:  91:  NA:   40.00:   75.00:  5.0:  T9:\n    T9;\n", 1, "ITU zone"},
        {"Testland:  5:  8:  XX:   40.00:   75.00:  5.0:  T9:\n    T9;\n", 1, "continent"},
        {"Testland:  5:  8:  NA:   95.00:   75.00:  5.0:  T9:\n    T9;\n", 1, "latitude"},
        {"Testland:  5:  8:  NA:   40.00:   nan:  5.0:  T9:\n    T9;\n", 1, "longitude"},
        {"Testland:  5:  8:  NA:   40.00:   75.00:  5.0:  :\n    T9;\n", 1, "no prefix"},
        {"    T9;\n", 1, "before any record"},
        {header + "    T9,\n" + header, 3, "without ';'"},
        {header + "    T9; T8\n", 2, "after the ';'"},
        {header + "    T9,\n    t8#;\n", 3, "\"t8#\" has no call"},
        {header + "    T9(41);\n", 2, "CQ zone override"},
        {header + "    T9(4;\n", 2, "where an override"},
        {header + "    T9<1/x>;\n", 2, "position override"},
        {std::string("\x7f"
                     "ELF\x02\x01\x01\0\0",
                     9),
         1, "control byte"},
    };
    for (const auto& [text, line, words] : cases) {
        try {
            CountryTable::Parse(text, "cty.dat");
            ADD_FAILURE() << text;
        } catch (const CountryFileError& error) {
            EXPECT_EQ(error.File(), "cty.dat");
            EXPECT_EQ(error.Line(), line) << error.what();
            EXPECT_NE(std::string(error.what()).find(words), std::string::npos) << error.what();
            EXPECT_EQ(std::string(error.what()).rfind("cty.dat", 0), 0u) << error.what();
        }
    }
}

TEST(ClusterCountry, AMissingOrEmptyFileIsNamed) {
    const std::string missing = testing::TempDir() + "no-such-cty.dat";
    const std::string empty = testing::TempDir() + "empty-cty.dat";
    std::fclose(std::fopen(empty.c_str(), "wb"));
    for (const auto& [path, words] :
         {std::pair{missing, "cannot be opened"}, std::pair{empty, "is empty"},
          std::pair{testing::TempDir(), "cannot be read"}}) {
        try {
            CountryTable::Load(path);
            ADD_FAILURE() << path;
        } catch (const CountryFileError& error) {
            EXPECT_EQ(error.File(), path);
            EXPECT_NE(std::string(error.what()).find(words), std::string::npos) << error.what();
        }
    }
    std::remove(empty.c_str());
}

}  // namespace
