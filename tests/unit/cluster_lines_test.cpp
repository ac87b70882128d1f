// A cluster node's byte stream as the cluster bridge reads it: telnet negotiation, a login prompt
// without a line end, every line end and hostile byte, and each kind of line it must tell apart.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "bridges/cluster/core/cluster_line.h"
#include "bridges/cluster/core/line_reader.h"

namespace {

using cluster::ClassifyLine;
using cluster::LineKind;
using cluster::LineReader;

using namespace std::string_literals;

const std::string kIac = "\xff";

// What a node sends from the connection to its login prompt, which waits for an answer ...
std::string NodeGreeting() {
    return kIac + "\xfb\x01" + kIac + "\xfd\x18" + kIac +
           "\xfb\x03" +  // WILL ECHO, DO TTYPE, WILL SGA
           "Welcome to GB7XYZ\r\n\r\nlogin: ";
}

// ... and after it.
std::string NodeSession() {
    const std::string longLine(5000, 'x');
    return "\r\n" + kIac + "\xfb\x01" + kIac + "\xfa\x18\x01" + kIac + "\xf0" +  // asked again; SB
           "Hello W1ABC,\tthis is GB7XYZ\n\r" +                                  // LF CR, a tab
           "DX de W3LPL:     14025.0  JA1XYZ       CQ up 2        1234Z FN20\a\a\r\n" +
           "DX de DL1A" + kIac + kIac + "BC-#:  7025.30  EA8ZZ  CW 12 dB 25 WPM CQ  0001Z\a\a\n" +
           "WWV de W0MU <18>:   SFI=150, A=8, K=2\r" +                   // a lone CR
           longLine + "\r\n" +                                           // cut at the limit
           "To ALL de G0ABC: contest\x7f\x01 this weekend\x00\r\x00"s +  // CR NUL
           "W1ABC de G0ABC: hello\r\n";
}

TEST(ClusterLines, ANodeSessionFedInAnyPiecesGivesTheSameLinesAndRefusals) {
    std::mt19937 random(15);
    for (int round = 0; round < 50; ++round) {
        LineReader reader;
        std::vector<cluster::ReceivedLine> lines;
        std::string replies;
        std::string prompt;
        const auto feed = [&](const std::string& bytes) {
            for (std::size_t at = 0; at < bytes.size();) {
                const std::size_t size = round == 0 ? bytes.size() : random() % 7 + 1;
                reader.Feed(std::string_view(bytes).substr(at, size));
                at += size;
                replies += reader.TakeReplies();
                while (auto line = reader.TakeLine()) lines.push_back(std::move(*line));
            }
        };
        feed(NodeGreeting());
        // The node is quiet: the bridge answers the prompt.
        if (ClassifyLine(reader.Partial()).kind == LineKind::LoginPrompt)
            prompt = reader.TakePartial();
        feed(NodeSession());
        ASSERT_EQ(prompt, "login: ");
        // DONT ECHO, WONT TTYPE, DONT SGA: each once, though ECHO was offered twice.
        EXPECT_EQ(replies, kIac + "\xfe\x01" + kIac + "\xfc\x18" + kIac + "\xfe\x03");

        std::vector<std::string> texts;
        for (const auto& line : lines) {
            EXPECT_EQ(line.text.find('\xff'), std::string::npos);
            for (const char c : line.text) EXPECT_GE(static_cast<unsigned char>(c), 0x20);
            texts.push_back(line.text);
        }
        ASSERT_EQ(texts.size(), 10u) << "round " << round;
        EXPECT_EQ(texts[0], "Welcome to GB7XYZ");
        EXPECT_EQ(texts[1], "");
        EXPECT_EQ(texts[2], "");  // the rest of the answered prompt's line
        EXPECT_EQ(texts[3], "Hello W1ABC, this is GB7XYZ");
        EXPECT_EQ(texts[4], "DX de W3LPL:     14025.0  JA1XYZ       CQ up 2        1234Z FN20");
        EXPECT_EQ(texts[5], "DX de DL1ABC-#:  7025.30  EA8ZZ  CW 12 dB 25 WPM CQ  0001Z");
        EXPECT_EQ(texts[6], "WWV de W0MU <18>:   SFI=150, A=8, K=2");
        EXPECT_EQ(texts[7].size(), LineReader::kLineLimit);
        EXPECT_TRUE(lines[7].cut);
        EXPECT_EQ(texts[8], "To ALL de G0ABC: contest this weekend");
        EXPECT_FALSE(lines[8].cut);
        EXPECT_EQ(texts[9], "W1ABC de G0ABC: hello");
        EXPECT_EQ(reader.Partial(), "");

        const LineKind kinds[] = {LineKind::Other, LineKind::Other, LineKind::Other,
                                  LineKind::Other, LineKind::Spot,  LineKind::Spot,
                                  LineKind::Wwv,   LineKind::Other, LineKind::Announcement,
                                  LineKind::Talk};
        for (std::size_t i = 0; i < std::size(kinds); ++i)
            EXPECT_EQ(ClassifyLine(texts[i]).kind, kinds[i]) << texts[i];
    }
}

struct SpotCase {
    const char* line;
    LineKind kind;
    const char* spotter;
    const char* frequency;
    double khz;
    const char* dxCall;
    const char* comment;
    const char* time;
    const char* afterTime;
    const char* date;
    bool skimmer;
};

TEST(ClusterLines, SpotsAreReadByWordsWhereverTheColumnsShift) {
    const SpotCase cases[] = {
        {"DX de W3LPL:     14025.0  JA1XYZ       CQ up 2                        1234Z FN20",
         LineKind::Spot, "W3LPL", "14025.0", 14025.0, "JA1XYZ", "CQ up 2", "1234", "FN20", "",
         false},
        // A long spotter runs into the frequency; no word after the time.
        {"DX de DL1ABCDEFG-#:14025.30 JA1XYZ CW 12 dB 25 WPM CQ 1234Z", LineKind::Spot,
         "DL1ABCDEFG-#", "14025.30", 14025.3, "JA1XYZ", "CW 12 dB 25 WPM CQ", "1234", "", "", true},
        {"DX de G4ABC:   10368100.0  G3XYZ/P      JO01 tnx 0000Z for QSO  2359Z IO91",
         LineKind::Spot, "G4ABC", "10368100.0", 10368100.0, "G3XYZ/P", "JO01 tnx 0000Z for QSO",
         "2359", "IO91", "", false},
        {"DX de K1TTT: 3799.125 VP2E/DL1ABCDEFGH 1200Z MA", LineKind::Spot, "K1TTT", "3799.125",
         3799.125, "VP2E/DL1ABCDEFGH", "", "1200", "MA", "", false},
        {"DX de VE7CC-1-#: 7025.3 JA1XYZ CW 10 dB 28 WPM CQ 1234Z Q:9 Z:5,14", LineKind::Spot,
         "VE7CC-1-#", "7025.3", 7025.3, "JA1XYZ", "CW 10 dB 28 WPM CQ", "1234", "Q:9 Z:5,14", "",
         true},
        // The older column form: a spotter of 8 or more has lost its colon, and one of 8 runs
        // into a frequency of 10 characters.
        {"DX de DL1ABC-2   14025.0  JA1XYZ       cq test                        1612Z",
         LineKind::Spot, "DL1ABC-2", "14025.0", 14025.0, "JA1XYZ", "cq test", "1612", "", "",
         false},
        {"DX de DL8LAS-#    7012.0  K1ABC        CW 24 dB 25 WPM CQ             1234Z",
         LineKind::Spot, "DL8LAS-#", "7012.0", 7012.0, "K1ABC", "CW 24 dB 25 WPM CQ", "1234", "",
         "", true},
        {"DX de DL1ABC-210368100.0  G3XYZ        JO01<ES>JO62 qrp: 5w          0001Z",
         LineKind::Spot, "DL1ABC-2", "10368100.0", 10368100.0, "G3XYZ", "JO01<ES>JO62 qrp: 5w",
         "0001", "", "", false},
        {"DX de G4ABC:   10368100.0  G3XYZ  cq 1200Z", LineKind::Spot, "G4ABC", "10368100.0",
         10368100.0, "G3XYZ", "cq", "1200", "", "", false},
        {"DX de DL1ABC-2:10368100.0  G3XYZ  cq 1200Z", LineKind::Spot, "DL1ABC-2", "10368100.0",
         10368100.0, "G3XYZ", "cq", "1200", "", "", false},
        {"DX de W1ABC 14025.0 JA1XYZ 1200Z login:", LineKind::Spot, "W1ABC", "14025.0", 14025.0,
         "JA1XYZ", "", "1200", "login:", "", false},
        // DX calls of more than 12 characters shift the rest.
        {"DX de G4ABC:     50313.0  IU2024GIUBILEO/IW2ABC/P ft8 -5 dB  1612Z", LineKind::Spot,
         "G4ABC", "50313.0", 50313.0, "IU2024GIUBILEO/IW2ABC/P", "ft8 -5 dB", "1612", "", "",
         false},
        // A reverse beacon's skimmer spot.
        {"DX de W3LPL-#:   14025.0  K1ABC          CW    24 dB  25 WPM  CQ      1234Z",
         LineKind::Spot, "W3LPL-#", "14025.0", 14025.0, "K1ABC", "CW    24 dB  25 WPM  CQ", "1234",
         "", "", true},
        {"14025.0  JA1XYZ       7-Dec-2026 1234Z  CQ up 2                 <W1ABC>",
         LineKind::BacklogSpot, "W1ABC", "14025.0", 14025.0, "JA1XYZ", "CQ up 2", "1234", "",
         "7-Dec-2026", false},
        {" 7025.30 EA8ZZ 07-Dec-2026 0001Z <W3LPL-#>", LineKind::BacklogSpot, "W3LPL-#", "7025.30",
         7025.3, "EA8ZZ", "", "0001", "", "07-Dec-2026", true},
    };
    for (const auto& c : cases) {
        const auto line = ClassifyLine(c.line);
        ASSERT_EQ(line.kind, c.kind) << c.line;
        ASSERT_TRUE(line.spot) << c.line;
        const cluster::Spot& spot = *line.spot;
        EXPECT_EQ(spot.spotter, c.spotter) << c.line;
        EXPECT_EQ(spot.frequencyText, c.frequency) << c.line;
        EXPECT_DOUBLE_EQ(spot.frequencyKhz, c.khz) << c.line;
        EXPECT_EQ(spot.dxCall, c.dxCall) << c.line;
        EXPECT_EQ(spot.comment, c.comment) << c.line;
        EXPECT_EQ(spot.time, c.time) << c.line;
        EXPECT_EQ(spot.afterTime, c.afterTime) << c.line;
        EXPECT_EQ(spot.date, c.date) << c.line;
        EXPECT_EQ(spot.skimmer, c.skimmer) << c.line;
    }
}

TEST(ClusterLines, SkimmerCommentsGiveModeSignalSpeedAndKind) {
    const auto report = [](const char* line) {
        const auto classified = ClassifyLine(line);
        EXPECT_TRUE(classified.spot && classified.spot->skimmerReport) << line;
        return classified.spot && classified.spot->skimmerReport ? *classified.spot->skimmerReport
                                                                 : cluster::SkimmerReport{};
    };
    auto cw = report("DX de W1ABC-#: 14025.0 JA1XYZ CW 12 dB 25 WPM CQ 1234Z");
    EXPECT_EQ(cw.mode, "CW");
    EXPECT_EQ(cw.snrDb, 12);
    EXPECT_EQ(cw.wpm, 25);
    EXPECT_EQ(cw.kind, "CQ");
    auto ft8 = report("DX de W1ABC-1-#: 14074.0 JA1XYZ FT8 -12 dB 1234Z");
    EXPECT_EQ(ft8.mode, "FT8");
    EXPECT_EQ(ft8.snrDb, -12);
    EXPECT_EQ(ft8.wpm, std::nullopt);
    EXPECT_EQ(ft8.kind, "");
    EXPECT_EQ(report("DX de K9LC-#: 14100.0 4U1UN CW 15 dB 22 WPM NCDXF B 2359Z").kind, "NCDXF B");
}

TEST(ClusterLines, BulletinsTalkPromptsAndWhatIsNoSpot) {
    const std::tuple<const char*, LineKind, const char*, const char*> cases[] = {
        {"WWV de W0MU <18>:   SFI=150, A=8, K=2, No Storms", LineKind::Wwv, "W0MU",
         "SFI=150, A=8, K=2, No Storms"},
        {"WCY de DK0WCY-1 <18> : K=2 expK=3 A=8 R=34 SFI=113", LineKind::Wcy, "DK0WCY-1",
         "K=2 expK=3 A=8 R=34 SFI=113"},
        {"To ALL de G0ABC: 20m open to JA", LineKind::Announcement, "G0ABC", "20m open to JA"},
        {"W1ABC de G0ABC: hello: Bob", LineKind::Talk, "G0ABC", "hello: Bob"},
        {"login: ", LineKind::LoginPrompt, "", ""},
        {"Please enter your call: ", LineKind::LoginPrompt, "", ""},
        {"Password:", LineKind::PasswordPrompt, "", ""},
        {"N0ABC-2 de G4ABC-12: Reconnected as you", LineKind::Talk, "G4ABC-12",
         "Reconnected as you"},
        // Lines that start like spots but lack what a spot needs.
        {"DX de W1ABC: 14025.0 JA1XYZ CQ no time", LineKind::UnreadableSpot, "", ""},
        {"DX de W1ABC: 14025.0 JA1XYZ 2400Z", LineKind::UnreadableSpot, "", ""},
        {"DX de W1ABC: 14025.0001 JA1XYZ 1200Z", LineKind::UnreadableSpot, "", ""},
        {"DX de W1ABC: 14O25.0 JA1XYZ 1200Z", LineKind::UnreadableSpot, "", ""},
        {"DX de W1ABC: 14025.0 ?? 1200Z", LineKind::UnreadableSpot, "", ""},
        {"DX de : 14025.0 JA1XYZ 1200Z", LineKind::UnreadableSpot, "", ""},
        {"DX de DL1ABC-2x10368100.0 G3XYZ 1200Z", LineKind::UnreadableSpot, "", ""},
        {"14025.0 JA1XYZ 7-Dex-2026 1234Z CQ <W1ABC>", LineKind::Other, "", ""},
        {"14025.0 JA1XYZ 7-Dec-2026 1234Z CQ W1ABC", LineKind::Other, "", ""},
        {"WWV de", LineKind::Other, "", ""},
        {"", LineKind::Other, "", ""},
    };
    for (const auto& [text, kind, sender, message] : cases) {
        const auto line = ClassifyLine(text);
        EXPECT_EQ(line.kind, kind) << text;
        EXPECT_EQ(line.sender, sender) << text;
        EXPECT_EQ(line.text, message) << text;
        EXPECT_EQ(line.spot.has_value(), kind == LineKind::Spot || kind == LineKind::BacklogSpot)
            << text;
    }
}

}  // namespace
