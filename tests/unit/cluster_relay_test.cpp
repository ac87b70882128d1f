// A live spot's way through the cluster bridge on a simulated clock: the host's spot line with
// heading and distance, the filters, duplicates, and the pace and age of publishing under a
// flood.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bridges/cluster/core/cluster_line.h"
#include "bridges/cluster/core/host_spot_line.h"
#include "bridges/cluster/core/spot_relay.h"

namespace {

using namespace std::chrono_literals;
using cluster::Clock;

const cluster::CountryTable& Table() {
    static const cluster::CountryTable table =
        cluster::CountryTable::Load(cluster::CountryTable::kDebianPath);
    return table;
}

cluster::Spot SpotOf(const std::string& line) {
    const cluster::ClusterLine classified = cluster::ClassifyLine(line);
    EXPECT_EQ(classified.kind, cluster::LineKind::Spot) << line;
    return classified.spot.value_or(cluster::Spot{});
}

cluster::Spot Spot(const std::string& call, const std::string& kHz = "14025.0",
                   const std::string& comment = "CQ", const std::string& spotter = "W3LPL") {
    return SpotOf("DX de " + spotter + ":  " + kHz + "  " + call + "  " + comment + "  1234Z");
}

// The fields joined by the host's separator, the byte 0xFF.
std::string Fields(std::initializer_list<std::string> fields) {
    std::string line;
    for (const std::string& field : fields) line += "\xFF" + field;
    return line.substr(1);
}

class SpotRelayTest : public ::testing::Test {
  protected:
    SpotRelayTest() {
        settings_.station = cluster::StationPosition("JO62QM");
        settings_.maxAge = 60s;
    }

    // Everything published from now until `span` has passed, the bridge's timer looking every
    // 50 ms.
    std::vector<cluster::Outgoing> Publish(cluster::SpotRelay& relay, Clock::duration span) {
        std::vector<cluster::Outgoing> published;
        for (const Clock::time_point until = now_ + span; now_ < until; now_ += 50ms)
            if (auto out = relay.Next(now_)) published.push_back(std::move(*out));
        return published;
    }

    cluster::BridgeSettings settings_;
    Clock::time_point now_{};
};

TEST_F(SpotRelayTest, ASpotIsPublishedAsTheHostsLineWithHeadingAndDistanceFromTheStation) {
    cluster::SpotRelay relay(settings_, Table());
    relay.Receive(Spot("JA1XYZ", "14025.0", "CQ", "W3LPL-#"), now_);
    relay.Receive(Spot("W1ABC", "7025.5", "FN42 worked him"), now_);  // the comment's locator
    relay.Receive(Spot("G4ABC/MM"), now_);
    relay.Receive(Spot("Q9QQQ"), now_);
    const auto published = Publish(relay, 2s);
    ASSERT_EQ(published.size(), 2u);
    // Japan's place in the country file: 42 degrees, 8790 km from Berlin.
    EXPECT_EQ(published[0].hostLine,
              Fields({"W3LPL-#", "JA1XYZ", "14025.0", "0", "1234", "42", "8790", "0\r\n"}));
    EXPECT_EQ(published[0].text, "JA1XYZ 14025.0 1234Z de W3LPL-#: 42 deg, 8790 km");
    EXPECT_TRUE(published[1].hostLine.ends_with(Fields({"", "296", "6065", "0\r\n"})));
    EXPECT_EQ(relay.Counts().noCountry, 2u);

    settings_.units = cluster::Units::Miles;
    cluster::SpotRelay inMiles(settings_, Table());
    inMiles.Receive(Spot("JA1XYZ"), now_);
    const auto miles = Publish(inMiles, 1s);
    ASSERT_EQ(miles.size(), 1u);
    EXPECT_TRUE(miles[0].hostLine.ends_with(Fields({"", "42", "5462", "1\r\n"})));

    // Nothing in a field can break the line apart.
    EXPECT_EQ(cluster::HostSpotLine({"W3\xFFLPL", "JA1\r\nXYZ", "14025.0", "1234", 42, 8790}),
              Fields({"W3LPL", "JA1XYZ", "14025.0", "0", "1234", "42", "8790", "0\r\n"}));
}

TEST_F(SpotRelayTest, SkimmerBandAndModeSettingsKeepSpotsOut) {
    settings_.skimmer = false;
    settings_.bands = {"20m", "40m"};
    settings_.modes = {cluster::Mode::Cw, cluster::Mode::Digital};
    cluster::SpotRelay relay(settings_, Table());
    const std::vector<std::pair<cluster::Spot, bool>> cases = {
        {Spot("JA1AA", "14025.0", "CQ"), true},          // CW part of 20m
        {Spot("JA1AB", "14074.0", "CQ"), true},          // digital part
        {Spot("JA1AC", "14250.0", "CQ"), false},         // phone part
        {Spot("JA1AD", "14250.0", "FT8 -12 dB"), true},  // the comment says digital
        {Spot("JA1AE", "7150.0", "cw up 1"), true},      // ... or CW
        {Spot("JA1AF", "7030.0", "SSB"), false},         // ... or phone
        {Spot("JA1AG", "21025.0", "CQ"), false},         // 15m
        {Spot("JA1AH", "12345.0", "CQ"), false},         // no band
        {Spot("JA1AI", "14025.0", "CW 12 dB 25 WPM CQ", "DL1ABC-#"), false},  // skimmer
    };
    std::vector<std::string> expected;
    for (const auto& [spot, passes] : cases) {
        relay.Receive(spot, now_);
        if (passes) expected.push_back(spot.dxCall);
    }
    std::vector<std::string> calls;
    for (const auto& out : Publish(relay, 10s)) calls.push_back(out.text.substr(0, 5));
    EXPECT_EQ(calls, expected);
    EXPECT_EQ(relay.Counts().filtered, cases.size() - expected.size());
}

TEST_F(SpotRelayTest, MicrowaveBandsModesOfTheDxsRegionAndSpotterContinents) {
    settings_.bands = {"13cm", "9cm", "6cm", "3cm", "40m", "20m"};
    settings_.modes = {cluster::Mode::Cw};
    settings_.spotterContinents = {cluster::Continent::Europe, cluster::Continent::NorthAmerica};
    cluster::SpotRelay relay(settings_, Table());
    const std::vector<std::pair<cluster::Spot, bool>> cases = {
        {Spot("OK1AA", "2320050.0", "", "DL1ABC"), true},    // the CW part of each band
        {Spot("OK1AB", "3400100.0", "", "DL1ABC"), true},    //
        {Spot("OK1AC", "5760100.0", "", "DL1ABC"), true},    //
        {Spot("OK1AD", "10368100.0", "", "DL1ABC"), true},   //
        {Spot("OK1AE", "10368250.0", "", "DL1ABC"), false},  // narrowband phone
        {Spot("OK1AF", "10368200.0", "cw", "DL1ABC"), true},
        // 7055 kHz is CW in Region 2 (as the United States keep it), phone in Region 3 and
        // digital in Region 1.
        {Spot("W1AA", "7055.0", "", "DL1ABC"), true},
        {Spot("JA1AA", "7055.0", "", "DL1ABC"), false},
        {Spot("OK1AG", "7055.0", "", "DL1ABC"), false},
        // 14120 kHz: phone in Region 1, CW and data in the United States.
        {Spot("K1AA", "14120.0", "", "W3LPL"), false},  // data, not CW
        {Spot("OK1AH", "14025.0", "", "W3LPL-#"), true},
        // Heard in Asia, or by a spotter of no known country: not wanted.
        {Spot("OK1AI", "14025.0", "", "JA1ABC-#"), false},
        {Spot("OK1AJ", "14025.0", "", "Q9QQQ"), false},
    };
    std::vector<std::string> expected;
    for (const auto& [spot, passes] : cases) {
        relay.Receive(spot, now_);
        if (passes) expected.push_back(spot.dxCall);
    }
    std::vector<std::string> calls;
    for (const auto& out : Publish(relay, 10s))
        calls.push_back(out.text.substr(0, out.text.find(' ')));
    EXPECT_EQ(calls, expected);
    EXPECT_EQ(relay.Counts().filtered, cases.size() - expected.size());
}

TEST_F(SpotRelayTest, TheSameCallOnTheSameBandWithinTheWindowIsADuplicate) {
    settings_.duplicateWindow = 10min;
    settings_.maxAge = 2s;
    cluster::SpotRelay relay(settings_, Table());
    relay.Receive(Spot("JA1XYZ", "14025.0"), now_);
    relay.Receive(Spot("ja1xyz", "14030.0"), now_);  // same band
    relay.Receive(Spot("JA1XYZ", "21025.0"), now_);  // another band
    relay.Receive(Spot("JA1XYZ", "21030.0"), now_);
    EXPECT_EQ(Publish(relay, 2s).size(), 2u);
    EXPECT_EQ(relay.Counts().duplicates, 2u);

    now_ += 9min;
    relay.Receive(Spot("JA1XYZ", "14025.0"), now_);
    now_ += 61s;
    relay.Receive(Spot("JA1XYZ", "14025.0"), now_);
    EXPECT_EQ(Publish(relay, 2s).size(), 1u);
    EXPECT_EQ(relay.Counts().duplicates, 3u);

    // A spot let go unpublished does not keep its call out.
    relay.Receive(Spot("VK2ABC"), now_);
    now_ += 3s;
    relay.LetGoStale(now_);
    relay.Receive(Spot("VK2ABC"), now_);
    EXPECT_EQ(Publish(relay, 1s).size(), 1u);
    EXPECT_EQ(relay.Counts().tooOld, 1u);
}

TEST_F(SpotRelayTest,
       UnderAFloodTwoSpotsASecondAtMostGoOutTheNewestReachTheListAndTheRestAreCounted) {
    settings_.maxAge = 5s;
    cluster::SpotRelay relay(settings_, Table());
    std::vector<cluster::Outgoing> published;
    std::size_t mostWaiting = 0;
    // 1,000 spots a second for 10 s, each call new.
    for (int i = 0; i < 10000; ++i) {
        const std::string call = {
            'J', 'A', '1', char('A' + i / 676 % 26), char('A' + i / 26 % 26), char('A' + i % 26)};
        relay.Receive(Spot(call), now_);
        mostWaiting = std::max(mostWaiting, relay.Waiting());
        if (auto out = relay.Next(now_)) published.push_back(std::move(*out));
        now_ += 1ms;
    }
    EXPECT_LE(mostWaiting, relay.Capacity());
    EXPECT_EQ(relay.Capacity(), 9u) << "5 s at 0.55 s a spot";
    EXPECT_GE(published.size(), 18u);
    EXPECT_LE(published.size(), 19u);

    // The flood over, what waits is the newest, and it goes out at the pace.
    const auto rest = Publish(relay, 10s);
    ASSERT_EQ(rest.size(), 9u);
    EXPECT_TRUE(rest.back().text.starts_with("JA1OUP ")) << rest.back().text;
    const cluster::RelayCounts counts = relay.Counts();
    EXPECT_EQ(counts.received, 10000u);
    EXPECT_EQ(counts.published + counts.tooOld, counts.received);
    EXPECT_EQ(counts.published, published.size() + rest.size());

    // Nobody linked: spots wait no longer than the maximum age.
    relay.Receive(Spot("ZL1ABC"), now_);
    now_ += 6s;
    relay.LetGoStale(now_);
    EXPECT_EQ(relay.Waiting(), 0u);
    EXPECT_EQ(relay.Counts().tooOld, counts.tooOld + 1);
}

}  // namespace
