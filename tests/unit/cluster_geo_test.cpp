// Where a spotted station is and how to turn to it: locators, the station's own position, the
// short path, and a spot followed from its line to a heading.
#include <gtest/gtest.h>

#include "base/failure.h"
#include "bridges/cluster/core/cluster_line.h"
#include "bridges/cluster/core/position.h"
#include "bridges/cluster/core/spot_path.h"

namespace {

using cluster::Position;

TEST(ClusterGeo, LocatorsGiveTheCentreOfTheirSquareOrSayWhatIsWrong) {
    const std::pair<const char*, Position> valid[] = {
        {"JO62", {52.5, 13.0}},
        {"jo62qm", {52.5 + 1.0 / 48, 12.0 + 16.0 / 12 + 1.0 / 24}},
        {"JO62QM45", {52.5 + 5.0 / 240 + 1.0 / 480, 12.0 + 16.0 / 12 + 4.0 / 120 + 1.0 / 240}},
        {"AA00", {-89.5, -179.0}},
        {"RR99XX99", {90.0 - 1.0 / 480, 180.0 - 1.0 / 240}},
    };
    for (const auto& [text, centre] : valid) {
        const auto position = cluster::LocatorCentre(text);
        ASSERT_TRUE(position) << text;
        EXPECT_NEAR(position->latitude, centre.latitude, 1e-12) << text;
        EXPECT_NEAR(position->longitude, centre.longitude, 1e-12) << text;
        EXPECT_EQ(cluster::LocatorProblem(text), "");
    }
    const std::pair<const char*, const char*> invalid[] = {
        {"", "4, 6 or 8"},
        {"JO6", "4, 6 or 8"},
        {"JO62QM4", "4, 6 or 8"},
        {"JS62", "character 2 must be a letter from A to R"},
        {"JO6A", "character 4"},
        {"JO62YM", "character 5 must be a letter from A to X"},
        {"JO62QM4X", "character 8 must be a digit"},
        {"JO62 M", "character 5"},
    };
    for (const auto& [text, words] : invalid) {
        EXPECT_FALSE(cluster::LocatorCentre(text)) << text;
        EXPECT_NE(cluster::LocatorProblem(text).find(words), std::string::npos)
            << text << ": " << cluster::LocatorProblem(text);
    }
}

TEST(ClusterGeo, TheLocatorsOfACommentAreFoundInTheirOrder) {
    using Found = std::vector<std::string>;
    const std::pair<const char*, Found> cases[] = {
        {"CQ JO62", {"JO62"}},
        {"JN58TD<ES>JO62QM", {"JN58TD", "JO62QM"}},
        {"jo62 kp20le tnx", {"jo62", "kp20le"}},
        {"IO91-KM18 ms", {"IO91", "KM18"}},
        {"FT8 -10 dB RR73", {}},
        {"rr73 JO62", {"JO62"}},
        {"CW 12 dB 25 WPM CQ", {}},
        {"EU-123 IOTA", {}},
        {"JO62QM4", {}},
        {"", {}},
    };
    for (const auto& [comment, locators] : cases)
        EXPECT_EQ(cluster::LocatorsInComment(comment), locators) << comment;
}

TEST(ClusterGeo, OfTwoLocatorsInACommentTheOneThatFitsTheDxCallsCountryIsTheDxs) {
    static const auto table = cluster::CountryTable::Load(cluster::CountryTable::kDebianPath);
    const Position station = *cluster::LocatorCentre("JO62QM");
    const auto heading = [&](const std::string& line) {
        const auto classified = cluster::ClassifyLine(line);
        EXPECT_TRUE(classified.spot) << line;
        const auto path = cluster::PathToSpot(
            *classified.spot, cluster::LookUpCall(table, classified.spot->dxCall), table, station);
        return path ? path->path.bearing : -1;
    };
    const auto towards = [&](const char* locator) {
        return cluster::ShortPath(station, *cluster::LocatorCentre(locator)).bearing;
    };
    // A Greek station heard in England on 6 m: its locator first or last, any marks between.
    for (const char* comment : {"KM18<ES>IO91 ft8", "IO91<ES>KM18 ft8", "IO91-KM18", "KM18 IO91",
                                "es IO91>KM18 tnx", "KM18(ES)IO91JQ"})
        EXPECT_EQ(heading(std::string("DX de G4ABC:  50313.0  SV1XYZ  ") + comment + "  1612Z"),
                  towards("KM18"))
            << comment;
    // Both in the same country: the spotter's locator after the time tells them apart.
    EXPECT_EQ(heading("DX de W1ABC:  50125.0  W6XYZ  FN42<>DM04 es  2210Z FN42"), towards("DM04"));
    EXPECT_EQ(heading("DX de W1ABC:  50125.0  W6XYZ  DM04<>FN42 es  2210Z FN42"), towards("DM04"));
    // Neither fits the DX call's country: the country's position.
    const Position usa = cluster::LookUpCall(table, "W1AW").where->position;
    EXPECT_EQ(heading("DX de DL1ABC:  14025.0  W1AW  JO62 de JN58  1612Z"),
              cluster::ShortPath(station, usa).bearing);
    EXPECT_EQ(heading("DX de DL1ABC:  14025.0  W1AW  CQ JO62  1612Z"),
              cluster::ShortPath(station, usa).bearing)
        << "one locator far from the call's country is not the DX's either";
}

TEST(ClusterGeo, TheStationIsALocatorOrLatitudeAndLongitude) {
    EXPECT_EQ(cluster::StationPosition(" JO62 "), (Position{52.5, 13.0}));
    EXPECT_EQ(cluster::StationPosition("52.52 13.40"), (Position{52.52, 13.40}));
    EXPECT_EQ(cluster::StationPosition("-33.9, 151.2"), (Position{-33.9, 151.2}));
    EXPECT_EQ(cluster::StationPosition("+40\t-75"), (Position{40.0, -75.0}));
    const std::pair<const char*, const char*> invalid[] = {
        {"", "a locator or latitude"}, {"JO6", "4, 6 or 8"},     {"52.5", "both"},
        {"91 0", "latitude"},          {"45 181", "longitude"},  {"45 1e2", "longitude"},
        {"45, nan", "longitude"},      {"45 13 7", "longitude"},
    };
    for (const auto& [text, words] : invalid) {
        try {
            cluster::StationPosition(text);
            ADD_FAILURE() << text;
        } catch (const base::Failure& failure) {
            EXPECT_NE(failure.Description().find(words), std::string::npos) << failure.what();
            EXPECT_NE(failure.Description().find(std::string("\"") + text), std::string::npos);
        }
    }
}

TEST(ClusterGeo, ShortPathBearingAndDistance) {
    const auto path = [](Position a, Position b) { return cluster::ShortPath(a, b); };
    EXPECT_EQ(path({0, 0}, {0, 90}).bearing, 90);
    EXPECT_NEAR(path({0, 0}, {0, 90}).kilometres, 90 * 111.2, 1e-9);
    EXPECT_NEAR(path({0, 0}, {0, 90}).StatuteMiles(), 90 * 111.2 / 1.609344, 1e-9);
    EXPECT_EQ(path({10, 20}, {-10, 20}).bearing, 180);
    EXPECT_EQ(path({0, 170}, {0, -170}).bearing, 90);  // across the date line
    EXPECT_EQ(path({0, 0}, {0.0001, -0.0005}).bearing, 281);
    EXPECT_EQ(path({0, 0}, {0.0001, -0.00001}).bearing, 354);
    EXPECT_EQ(path({45, 45}, {45, 45}).kilometres, 0.0);
    EXPECT_NEAR(path({40, -75}, {-40, 105}).kilometres, 180 * 111.2, 1e-6);
    // Short paths keep their precision: 100 m.
    EXPECT_NEAR(path({52, 13}, {52 + 0.1 / 111.2, 13}).kilometres, 0.1, 1e-9);
}

TEST(ClusterGeo, ASpotLineBecomesAHeadingFromItsCommentLocatorOrItsCountry) {
    const auto table = cluster::CountryTable::Parse(
        "Testland:  5:  8:  NA:   40.00:   75.00:   5.0:  T9:\n    T9,=T9XYZ<10/-10>;\n", "test");
    const Position station{40.0, -75.0};
    const auto spotPath = [&](const char* line) {
        const auto classified = cluster::ClassifyLine(line);
        EXPECT_TRUE(classified.spot) << line;
        return cluster::PathToSpot(
            *classified.spot, cluster::LookUpCall(table, classified.spot->dxCall), table, station);
    };
    // The spotter's locator after the time is not the DX's: the country's position is used.
    const auto byCountry = spotPath("DX de W1ABC: 14025.0 T91AB CQ 1234Z JO62");
    ASSERT_TRUE(byCountry);
    EXPECT_EQ(byCountry->source, cluster::DxPositionSource::CountryFile);
    EXPECT_EQ(byCountry->path.kilometres, 0.0);
    EXPECT_EQ(byCountry->call.outcome, cluster::CallOutcome::Found);
    // An exact alias with its own position.
    const auto exact = spotPath("DX de W1ABC: 14025.0 T9XYZ CQ 1234Z");
    ASSERT_TRUE(exact);
    EXPECT_EQ(exact->path.bearing, cluster::ShortPath(station, {10, 10}).bearing);
    // A locator in the comment wins, even for a call of no known country.
    const auto byLocator = spotPath("DX de W1ABC: 144300.0 ZZ9ZZ JO62<ES>FN20 1234Z JO62");
    ASSERT_TRUE(byLocator);
    EXPECT_EQ(byLocator->source, cluster::DxPositionSource::CommentLocator);
    EXPECT_EQ(byLocator->call.outcome, cluster::CallOutcome::NotFound);
    EXPECT_EQ(byLocator->path.bearing,
              cluster::ShortPath(station, *cluster::LocatorCentre("FN20")).bearing);
    // No place: at sea, or no country.
    EXPECT_FALSE(spotPath("DX de W1ABC: 14025.0 T91AB/MM CQ 1234Z"));
    EXPECT_FALSE(spotPath("DX de W1ABC: 14025.0 ZZ9ZZ CQ 1234Z"));
}

}  // namespace
