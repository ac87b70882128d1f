// The station list: splitting spot lines, the fixed-column list line, which spots are listed, the
// distance caption, the 100-line limit and the selection.
#include <string>
#include <vector>

#include "spots/list_line.h"
#include "spots_fixture.h"

namespace spots_test {
namespace {

using Fields = std::vector<std::string>;

struct SplitCase {
    std::string text, separator;
    Fields fields;
};

TEST(SplitFieldsTest, SplitsAndTrimsAsTheListNeeds) {
    const std::string sep(1, '\xFF');
    const std::vector<SplitCase> cases = {
        {"", sep, {}},
        {"a", sep, {"a"}},
        {"  a b  ", sep, {"  a b  "}},  // no separator: the text as it is
        {" a \xFF b \xFF c ", sep, {"a", "b", "c"}},
        {"a\xFF\xFF"
         "b",
         sep,
         {"a", "", "b"}},
        {"\xFF"
         "a",
         sep,
         {"", "a"}},
        {"a\xFF"
         "b\xFF",
         sep,
         {"a", "b"}},  // no empty field at the end
        {"a\xFF"
         "b\xFF   ",
         sep,
         {"a", "b"}},
        {"a\xFF   \xFF"
         "c",
         sep,
         {"a", "", "c"}},
        {"\xFF", sep, {""}},
        {"a\tb\xFF\tc\t", sep, {"a\tb", "\tc\t"}},  // only spaces are trimmed
        {"a\r\n\xFF"
         "b",
         sep,
         {"a\r\n", "b"}},
        {"x, y ,z", ",", {"x", "y", "z"}},
        {"a::b::", "::", {"a", "b"}},
        {"a\xFF"
         "b",
         "",
         {"a\xFF"
          "b"}},  // an empty separator splits nothing
    };
    for (const SplitCase& c : cases) {
        Fields fields = {"left over"};
        frmRCI::SplitFields(c.text, c.separator, fields);
        EXPECT_EQ(fields, c.fields) << "text: " << c.text;
    }
}

struct LineCase {
    std::string callsign, frequency, heading, distance, line;
};

TEST(ListLineTest, ColumnsAreCutAndPadded) {
    const std::vector<LineCase> cases = {
        {"DL1A", "14025.0", "047", "7311", "DL1A         14025.0  047   7311"},
        {"", "", "", "", std::string(32, ' ')},
        {"VP2V/W1ABCD", "1296123.4567", "123456", "12345678",
         "VP2V/W1ABC96123.4567234562345678"},  // first 10, last 10, last 5, last 7
        {"0123456789", "0123456789", "01234", "0123456", "01234567890123456789012340123456"},
        {"A B", " 7 ", "x", "-",  // inner spaces are kept: fields come trimmed
         "A B       "
         "        7 "
         "    x"
         "      -"},
    };
    for (const LineCase& c : cases) {
        const std::string line = spots::ListLine(c.callsign, c.frequency, c.heading, c.distance);
        EXPECT_EQ(line, c.line);
        EXPECT_EQ(line.size(), spots::kListLineLength);
    }
}

struct SpotCase {
    std::string name, line;
    bool listed;
    std::string caption;  // after it, starting from the design's "Distance"
};

class AddSpotTest : public SpotsTest {};

TEST_F(AddSpotTest, FieldRulesDecideWhatIsListedAndTheCaption) {
    const auto spot = [](std::string_view mark, std::string_view units,
                         std::initializer_list<std::string_view> more = {}) {
        std::string line = Spot({"DL1AA", "K1ABC", "14025.0", mark, "1234Z", "47", "7311", units});
        for (std::string_view field : more) line += '\xFF' + std::string(field);
        return line;
    };
    const std::string km = " Dist.km", miles = "Dist.miles", design = "Distance";
    const std::vector<SpotCase> cases = {
        {"eight fields", spot("0", "0"), true, km},
        {"nine fields", spot("0", "1", {"comment"}), true, miles},
        {"seven fields", Spot({"DL1AA", "K1ABC", "14025.0", "0", "1234Z", "47", "7311"}), false,
         design},
        {"seven and a separator",
         Spot({"DL1AA", "K1ABC", "14025.0", "0", "1234Z", "47", "7311", ""}), false, design},
        {"empty eighth", spot("0", ""), false, design},
        {"spaces as eighth", spot("0", "   "), false, design},
        {"empty line", "", false, design},
        {"mark", spot("-32768", "0"), false, design},
        {"padded mark", spot("  -32768  ", "0"), false, design},
        {"decimal mark", spot("-32768.0", "0"), false, design},
        {"exponent mark", spot("-3.2768E4", "0"), false, design},
        {"hexadecimal mark", spot("&H8000", "0"), false, design},
        {"blanks inside the mark", spot("- 32 768", "0"), false, design},
        {"not a number", spot("n/a", "0"), true, km},
        {"empty number", spot("", "0"), true, km},
        {"near miss below", spot("-32767", "0"), true, km},
        {"near miss above", spot("-32768.5", "0"), true, km},
        {"beyond double range", spot("1E999", "0"), true, km},
        {"below double range", spot("-1E999", "0"), true, km},
        {"padded km flag", spot("0", " 0 "), true, km},
        {"one", spot("0", "1"), true, miles},
        {"double zero", spot("0", "00"), true, miles},
        {"zero point zero", spot("0", "0.0"), true, miles},
        {"empty flag, more fields", spot("0", "", {"x"}), true, miles},
    };
    for (const SpotCase& c : cases) {
        frmRCI& form = Start();
        form.AddSpot(c.line);
        EXPECT_EQ(form.lstStations.ListCount(), c.listed ? 1 : 0) << c.name;
        EXPECT_EQ(form.lstStations.ListIndex(), c.listed ? 0 : -1) << c.name;
        EXPECT_EQ(form.labDist.Caption(), c.caption) << c.name;
        if (c.listed) {
            EXPECT_EQ(Lines()[0], "K1ABC        14025.0   47   7311") << c.name;
        }
    }
}

TEST_F(AddSpotTest, ListLineComesFromFieldsTwoThreeSixAndSeven) {
    frmRCI& form = Start();
    form.AddSpot(
        Spot({" W1AW ", " VP8LZE/P  ", " 3600.9 ", "0", "1424Z", "  261 ", " 16554 ", "1"}));
    form.AddSpot(Spot({"W1AW", "K1ABC", "7012.5", "0", "1424Z", "", "", "0"}));
    EXPECT_EQ(Lines(), (Fields{"VP8LZE/P      3600.9  261  16554",
                               "K1ABC     "
                               "    7012.5"
                               "     "
                               "       "}));
}

TEST_F(AddSpotTest, AtOneHundredLinesTheTwentyOldestGoFirst) {
    frmRCI& form = Start();
    for (int i = 1; i <= 99; ++i) form.AddSpot(Spot("C" + std::to_string(i)));
    form.AddSpot(Spot("C100"));  // the 100th: nothing removed
    ASSERT_EQ(form.lstStations.ListCount(), 100);
    EXPECT_EQ(Callsigns().front(), "C1");

    headless::Select(form.lstStations, 10);
    form.AddSpot(Spot("C101"));
    Fields expected;
    for (int i = 21; i <= 101; ++i) expected.push_back("C" + std::to_string(i));
    EXPECT_EQ(Callsigns(), expected);
    EXPECT_EQ(form.lstStations.ListIndex(), 80);

    // A dropped spot at 100 lines removes nothing and leaves the user's selection.
    for (int i = 102; i <= 120; ++i) form.AddSpot(Spot("C" + std::to_string(i)));
    ASSERT_EQ(form.lstStations.ListCount(), 100);
    headless::Select(form.lstStations, 5);
    form.AddSpot(Spot({"x", "C999", "1", "-32768", "x", "1", "1", "0"}));
    EXPECT_EQ(form.lstStations.ListCount(), 100);
    EXPECT_EQ(form.lstStations.ListIndex(), 5);
}

}  // namespace
}  // namespace spots_test
