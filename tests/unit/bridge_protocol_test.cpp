// rotctld's answers as the bridge reads them, and the requests built on them.
#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "bridges/rotator/core/address.h"
#include "bridges/rotator/core/rotctld_client.h"
#include "bridges/rotator/core/rotctld_protocol.h"

namespace {

using rotbridge::Outcome;

TEST(BridgeProtocol, SetPositionAlwaysCarriesAnElevation) {
    EXPECT_EQ(rotbridge::SetPositionCommand(123), "P 123 0");
    EXPECT_EQ(rotbridge::SetPositionCommand(-90), "P -90 0");
    EXPECT_EQ(rotbridge::SetPositionCommand(45.5), "P 45.5 0");
}

TEST(BridgeProtocol, ReportLines) {
    const std::pair<const char*, std::optional<int>> cases[] = {
        {"RPRT 0", 0},    {"RPRT -1", -1}, {"RPRT -11 ", -11}, {"RPRT", {}}, {"RPRT x", {}},
        {"RPRT 0 1", {}}, {"rprt 0", {}},  {"0.00", {}},       {"", {}},     {"RPRT  -5", -5},
    };
    for (const auto& [line, code] : cases) EXPECT_EQ(rotbridge::ReportCode(line), code) << line;
}

TEST(BridgeProtocol, AngleLines) {
    const std::pair<const char*, std::optional<double>> cases[] = {
        {"48.18", 48.18}, {"-180.000000", -180.0},
        {"0", 0.0},       {" 12.5 ", 12.5},
        {"+3", 3.0},      {"1e2", 100.0},
        {"", {}},         {"x", {}},
        {"12 13", {}},    {"nan", {}},
        {"RPRT 0", {}},
    };
    for (const auto& [line, value] : cases) EXPECT_EQ(rotbridge::AngleValue(line), value) << line;
}

TEST(BridgeProtocol, RangeFromEitherFormOfDumpState) {
    // As Hamlib 4.5's rotctld answers "+\dump_state" ...
    const std::vector<std::string> extended = {"dump_state:",
                                               "rotctld Protocol Ver: 1",
                                               "Rotor Model: 1",
                                               "Minimum Azimuth: -180.000000",
                                               "Maximum Azimuth: 450.000000",
                                               "Minimum Elevation: 0.000000",
                                               "Maximum Elevation: 90.000000",
                                               "South Zero: 0",
                                               "rot_type=AzEl",
                                               "done"};
    // ... and "\dump_state".
    const std::vector<std::string> plain = {
        "1",   "1", "min_az=0.000000", "max_az=360.000000", "min_el=0.000000", "max_el=90.000000",
        "done"};
    const auto a = rotbridge::RangeFromDumpState(extended);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->min, -180.0);
    EXPECT_EQ(a->max, 450.0);
    const auto b = rotbridge::RangeFromDumpState(plain);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->min, 0.0);
    EXPECT_EQ(b->max, 360.0);

    EXPECT_FALSE(rotbridge::RangeFromDumpState({"Minimum Azimuth: 0"})) << "no maximum";
    EXPECT_FALSE(rotbridge::RangeFromDumpState({"min_az=10", "max_az=10"})) << "empty range";
    EXPECT_FALSE(rotbridge::RangeFromDumpState({"min_az=x", "max_az=360"}));
    EXPECT_FALSE(rotbridge::RangeFromDumpState({"Minimum Elevation: 0", "Maximum Elevation: 90"}));
}

TEST(BridgeProtocol, LinesAreCutAtLineFeedsWhateverTheChunks) {
    rotbridge::LineBuffer buffer;
    buffer.Append("48.1");
    EXPECT_FALSE(buffer.TakeLine());
    buffer.Append("8\r\n0.00\nRPRT");
    EXPECT_EQ(buffer.TakeLine(), "48.18");
    EXPECT_EQ(buffer.TakeLine(), "0.00");
    EXPECT_FALSE(buffer.TakeLine());
    buffer.Append(" 0\n\n");
    EXPECT_EQ(buffer.TakeLine(), "RPRT 0");
    EXPECT_EQ(buffer.TakeLine(), "");
    EXPECT_FALSE(buffer.Overflowed());
}

TEST(BridgeProtocol, AnEndlessLineIsAnOverflowNotAGrowingBuffer) {
    rotbridge::LineBuffer buffer;
    for (int i = 0; i < 10 && !buffer.Overflowed(); ++i) buffer.Append(std::string(1000, 'x'));
    EXPECT_TRUE(buffer.Overflowed());
    buffer.Clear();
    buffer.Append(std::string(5000, 'y') + "\n");
    EXPECT_FALSE(buffer.TakeLine());
    EXPECT_TRUE(buffer.Overflowed());
}

// Answers each command with the next scripted lines.
class ScriptedConnection : public rotbridge::RotctldConnection {
  public:
    std::deque<std::string> answers;
    std::vector<std::string> sent;

    bool Open() override { return true; }
    void Close() override {}
    bool SendLine(const std::string& line) override {
        sent.push_back(line);
        return true;
    }
    std::optional<std::string> ReadLine() override {
        if (answers.empty()) return std::nullopt;
        std::string line = answers.front();
        answers.pop_front();
        return line;
    }
    std::string LastError() const override { return "no answer in time"; }
};

TEST(BridgeClient, AnswersAreTakenAsDoneRefusedOrABrokenLink) {
    using Kind = Outcome::Kind;
    struct Case {
        std::deque<std::string> answers;
        Kind set;
        Kind get;
    };
    const Case cases[] = {
        {{"RPRT 0"}, Kind::Done, Kind::LinkFailed},         // "RPRT 0" is no position
        {{"12.50", "0.00"}, Kind::LinkFailed, Kind::Done},  // a position is no answer to P
        {{"RPRT -5"}, Kind::Refused, Kind::Refused},
        {{}, Kind::LinkFailed, Kind::LinkFailed},         // nothing in time
        {{"12.50"}, Kind::LinkFailed, Kind::LinkFailed},  // the elevation never came
        {{"12.50", "x"}, Kind::LinkFailed, Kind::LinkFailed},
        {{"Caps dump"}, Kind::LinkFailed, Kind::LinkFailed},
    };
    for (const Case& c : cases) {
        ScriptedConnection connection;
        rotbridge::RotctldClient client(connection);
        connection.answers = c.answers;
        EXPECT_EQ(client.SetPosition(10).kind, c.set) << (c.answers.empty() ? "" : c.answers[0]);
        connection.answers = c.answers;
        double azimuth = -1;
        EXPECT_EQ(client.GetPosition(azimuth).kind, c.get)
            << (c.answers.empty() ? "" : c.answers[0]);
        if (c.get == Kind::Done) {
            EXPECT_EQ(azimuth, 12.5);
        }
    }
}

TEST(BridgeClient, TheRangeIsReadUpToTheEndOfTheAnswer) {
    ScriptedConnection connection;
    rotbridge::RotctldClient client(connection);
    rotbridge::AzimuthRange range;

    connection.answers = {"dump_state:", "Minimum Azimuth: -180.0", "Maximum Azimuth: 180.0",
                          "RPRT 0", "left over"};
    ASSERT_TRUE(client.GetRange(range).Done());
    EXPECT_EQ(connection.sent.back(), "+\\dump_state");
    EXPECT_EQ(range.min, -180.0);
    EXPECT_EQ(range.max, 180.0);
    EXPECT_EQ(connection.answers.size(), 1u) << "nothing is read past RPRT";

    connection.answers = {"dump_state:", "RPRT 0"};
    EXPECT_EQ(client.GetRange(range).kind, Outcome::Kind::Refused);
    connection.answers = {"RPRT -4"};
    EXPECT_EQ(client.GetRange(range).kind, Outcome::Kind::Refused);
    connection.answers = std::deque<std::string>(300, "x");
    EXPECT_EQ(client.GetRange(range).kind, Outcome::Kind::LinkFailed);
}

TEST(BridgeAddress, TheCommandLineAddressWithItsDefaults) {
    const std::tuple<const char*, const char*, const char*, const char*> good[] = {
        {"", "127.0.0.1", "4533", "127.0.0.1:4533"},
        {"shack-pi", "shack-pi", "4533", "shack-pi:4533"},
        {"192.168.1.20:4535", "192.168.1.20", "4535", "192.168.1.20:4535"},
        {":4537", "127.0.0.1", "4537", "127.0.0.1:4537"},
        {"[::1]:4533", "::1", "4533", "[::1]:4533"},
        {"[fe80::1]", "fe80::1", "4533", "[fe80::1]:4533"},
        {"::1", "::1", "4533", "[::1]:4533"},
    };
    for (const auto& [text, host, port, shown] : good) {
        const auto address = rotbridge::ParseAddress(text);
        ASSERT_TRUE(address) << text;
        EXPECT_EQ(address->host, host);
        EXPECT_EQ(address->port, port);
        EXPECT_EQ(address->Text(), shown);
    }
    for (const char* bad : {"host:", "host:0", "host:65536", "host:45x", "host:+45", "[::1",
                            "[]:4533", "[::1]4533", "[::1]:", "a b:4533"})
        EXPECT_FALSE(rotbridge::ParseAddress(bad)) << bad;
}

}  // namespace
