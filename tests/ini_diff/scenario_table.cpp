// The settings file as the program meets it: its first start, its restarts, its writes at a
// toggle and at exit, and the odd files a user or a failing disk can leave beside it. Each
// scenario lists the reads and writes the program makes (section SETUP, its five keys, a 500-
// character buffer) or that a hostile file calls for, and what each gives.
#include <string>
#include <string_view>

#include "scenarios.h"

namespace ini_diff {
namespace {

using namespace std::string_literals;

constexpr const char* S = "SETUP";

// The file the first start writes, with the centred position of a 1024 x 768 screen.
const std::string kFirstFile =
    "[SETUP]\r\nLEFT=4185\r\nTOP=3000\r\nSHOW_ROTATOR=TRUE\r\nMINIMIZED=FALSE\r\n"
    "ALWAYS_ON_TOP=FALSE\r\n";

// Every byte but NUL, CR and LF, between two letters so that no blank stands at an edge.
std::string EveryByte() {
    std::string bytes = "a";
    for (int c = 1; c < 256; ++c) {
        if (c != '\r' && c != '\n') bytes += static_cast<char>(c);
    }
    return bytes + "z";
}

// About 10 MB of a logging program's sections in normal form, then the given tail.
std::string BigFile(std::string_view tail) {
    constexpr std::size_t kSize = 10 * 1024 * 1024;
    std::string bytes;
    bytes.reserve(kSize + 200);
    for (int i = 0; bytes.size() < kSize; ++i) {
        const std::string n = std::to_string(i);
        bytes += "[QSO" + n + "]\r\nCALL=DL" + n + "XYZ\r\nFREQ=14.074\r\n;note " + n + "\r\n";
    }
    bytes += tail;
    return bytes;
}

std::string Repeat(char c, std::size_t count) {
    return std::string(count, c);
}

std::vector<Scenario> MakeTable() {
    return {
        {"FirstStartSeedsTheFiveKeysInOrder",
         Before::kNoFile,
         {},
         {Read(S, "LEFT", "4185", "4185"), Write(S, "LEFT", "4185"), Read(S, "TOP", "3000", "3000"),
          Write(S, "TOP", "3000"), Read(S, "SHOW_ROTATOR", "TRUE", "TRUE"),
          Write(S, "SHOW_ROTATOR", "TRUE"), Read(S, "MINIMIZED", "FALSE", "FALSE"),
          Write(S, "MINIMIZED", "FALSE"), Read(S, "ALWAYS_ON_TOP", "FALSE", "FALSE"),
          Write(S, "ALWAYS_ON_TOP", "FALSE")},
         kFirstFile},

        {"RestartReadsTheSavedValuesAndExitWritesThePlacement",
         Before::kFile,
         "[SETUP]\r\nLEFT=1500\r\nTOP=-900\r\nSHOW_ROTATOR=FALSE\r\nMINIMIZED=FALSE\r\n"
         "ALWAYS_ON_TOP=TRUE\r\n",
         {Read(S, "LEFT", "4185", "1500"), Read(S, "TOP", "3000", "-900"),
          Read(S, "SHOW_ROTATOR", "TRUE", "FALSE"), Read(S, "MINIMIZED", "FALSE", "FALSE"),
          Write(S, "MINIMIZED", "FALSE"), Read(S, "ALWAYS_ON_TOP", "FALSE", "TRUE"),
          Write(S, "LEFT", "1620"), Write(S, "TOP", "-900"), Write(S, "MINIMIZED", "TRUE")},
         "[SETUP]\r\nLEFT=1620\r\nTOP=-900\r\nSHOW_ROTATOR=FALSE\r\nMINIMIZED=TRUE\r\n"
         "ALWAYS_ON_TOP=TRUE\r\n"},

        // The same value written back leaves the file alone: blank lines, blanks and LF stay.
        {"WritingTheValueAKeyHasLeavesTheFileUntouched",
         Before::kFile,
         "[setup]\n  left = 4185 \n\n; kept\nTop=\"3000\"\nSHOW_ROTATOR=TRUE",
         {Read(S, "LEFT", "4185", "4185"), Write(S, "LEFT", "4185"), Read(S, "TOP", "3000", "3000"),
          Read(S, "SHOW_ROTATOR", "TRUE", "TRUE"), Write(S, "SHOW_ROTATOR", "TRUE")},
         "[setup]\n  left = 4185 \n\n; kept\nTop=\"3000\"\nSHOW_ROTATOR=TRUE"},

        // Case counts when comparing with the old value: the write replaces it, the name stays.
        {"AValueDifferingOnlyInCaseIsRewritten",
         Before::kFile,
         "[SETUP]\r\nshow_rotator=true\r\nAlways_On_Top=false\r\n",
         {Read(S, "SHOW_ROTATOR", "TRUE", "true"), Read(S, "ALWAYS_ON_TOP", "FALSE", "false"),
          Write(S, "SHOW_ROTATOR", "TRUE")},
         "[SETUP]\r\nshow_rotator=TRUE\r\nAlways_On_Top=false\r\n"},

        {"MenuTogglesAreWrittenAtOnce",
         Before::kFile,
         kFirstFile,
         {Write(S, "SHOW_ROTATOR", "FALSE"), Read(S, "SHOW_ROTATOR", "TRUE", "FALSE"),
          Write(S, "ALWAYS_ON_TOP", "TRUE"), Read(S, "ALWAYS_ON_TOP", "FALSE", "TRUE"),
          Write(S, "ALWAYS_ON_TOP", "FALSE"), Read(S, "ALWAYS_ON_TOP", "TRUE", "FALSE"),
          Write(S, "SHOW_ROTATOR", "TRUE")},
         kFirstFile},

        {"ExitWritesTheLimitsOfThePositionRange",
         Before::kFile,
         kFirstFile,
         {Write(S, "LEFT", "-32768"), Write(S, "TOP", "32767"), Write(S, "MINIMIZED", "TRUE"),
          Read(S, "LEFT", "0", "-32768"), Read(S, "TOP", "0", "32767")},
         "[SETUP]\r\nLEFT=-32768\r\nTOP=32767\r\nSHOW_ROTATOR=TRUE\r\nMINIMIZED=TRUE\r\n"
         "ALWAYS_ON_TOP=FALSE\r\n"},

        // The program's buffer holds 499 characters and the NUL.
        {"LongValuesAreCutTo499Characters",
         Before::kFile,
         "[SETUP]\r\nLEFT=" + Repeat('7', 600) + "\r\nTOP=" + Repeat('8', 499) +
             "\r\nSHOW_ROTATOR=" + Repeat('y', 500) + "\r\nMINIMIZED=" + Repeat('m', 498) + "\r\n",
         {Read(S, "LEFT", "4185", Repeat('7', 499)), Read(S, "TOP", "3000", Repeat('8', 499)),
          Read(S, "SHOW_ROTATOR", "TRUE", Repeat('y', 499)),
          Read(S, "MINIMIZED", "FALSE", Repeat('m', 498)),
          Read(S, "ALWAYS_ON_TOP", Repeat('d', 520), Repeat('d', 499))},
         "[SETUP]\r\nLEFT=" + Repeat('7', 600) + "\r\nTOP=" + Repeat('8', 499) +
             "\r\nSHOW_ROTATOR=" + Repeat('y', 500) + "\r\nMINIMIZED=" + Repeat('m', 498) + "\r\n"},

        // Matching quotes are taken off; a quoted text that just fills the buffer loses its last
        // character as well.
        {"QuotedValues",
         Before::kFile,
         "[SETUP]\r\nLEFT=\"120\"\r\nTOP=' -7 '\r\nSHOW_ROTATOR=\"yes'\r\nMINIMIZED=\"TRUE\r\n"
         "ALWAYS_ON_TOP=\"\"\r\nA=\"" +
             Repeat('a', 499) + "\"\r\nB='" + Repeat('b', 498) + "'\r\nC=\"" + Repeat('c', 497) +
             "\"\r\n",
         {Read(S, "LEFT", "4185", "120"), Read(S, "TOP", "3000", " -7 "),
          Read(S, "SHOW_ROTATOR", "TRUE", "\"yes'"), Read(S, "MINIMIZED", "FALSE", "\"TRUE"),
          Read(S, "ALWAYS_ON_TOP", "FALSE", ""), Read(S, "A", "", Repeat('a', 498)),
          Read(S, "B", "", Repeat('b', 498)), Read(S, "C", "", Repeat('c', 497)),
          Read(S, "MISSING", "'quoted default'", "quoted default"), Write(S, "TOP", "\"5\""),
          Read(S, "TOP", "3000", "5")},
         "[SETUP]\r\nLEFT=\"120\"\r\nTOP=\"5\"\r\nSHOW_ROTATOR=\"yes'\r\nMINIMIZED=\"TRUE\r\n"
         "ALWAYS_ON_TOP=\"\"\r\nA=\"" +
             Repeat('a', 499) + "\"\r\nB='" + Repeat('b', 498) + "'\r\nC=\"" + Repeat('c', 497) +
             "\"\r\n"},

        // Blanks around names, values and lines go; an empty value is not the default, a key
        // without '=' is; a rewrite puts every line in its normal form.
        {"BlanksEmptyValuesAndKeysWithoutEquals",
         Before::kFile,
         "  [ SETUP ]  \r\n\tLEFT\t=\t120.6\t\r\n  TOP =  -40000  \r\n\r\n \r\nSHOW_ROTATOR =\r\n"
         "MINIMIZED\r\nALWAYS_ON_TOP = a = b\r\n",
         {Read(S, "LEFT", "4185", "120.6"), Read(S, "TOP", "3000", "-40000"),
          Read(S, "SHOW_ROTATOR", "TRUE", ""), Read(S, "MINIMIZED", "FALSE", "FALSE"),
          Read(S, "ALWAYS_ON_TOP", "FALSE", "a = b"), Read(" setup ", " left ", "", "120.6"),
          Write(S, "MINIMIZED", "FALSE")},
         "[SETUP]\r\nLEFT=120.6\r\nTOP=-40000\r\nSHOW_ROTATOR=\r\nMINIMIZED=FALSE\r\n"
         "ALWAYS_ON_TOP=a = b\r\n"},

        // No inline comments, and a commented-out key is not the key.
        {"CommentsAreKeptAndNeverRead",
         Before::kFile,
         "; Vantro32 settings\r\n# by hand\r\n[SETUP]\r\n;LEFT=9\r\n#TOP=8\r\nLEFT=7 ; seven\r\n"
         "; end\r\n",
         {Read(S, "LEFT", "4185", "7 ; seven"), Read(S, "TOP", "3000", "3000"),
          Write(S, "TOP", "3000"), Write(S, "LEFT", "7")},
         "; Vantro32 settings\r\n# by hand\r\n[SETUP]\r\n;LEFT=9\r\n#TOP=8\r\nLEFT=7\r\n; end\r\n"
         "TOP=3000\r\n"},

        {"DuplicatedKeysTheFirstIsReadAndWritten",
         Before::kFile,
         "[SETUP]\r\nLEFT=1\r\nLEFT=2\r\nleft=3\r\n",
         {Read(S, "LEFT", "4185", "1"), Write(S, "LEFT", "5"), Read(S, "LEFT", "4185", "5")},
         "[SETUP]\r\nLEFT=5\r\nLEFT=2\r\nleft=3\r\n"},

        {"DuplicatedSectionsOnlyTheFirstCounts",
         Before::kFile,
         "[SETUP]\r\nLEFT=1\r\n[Other]\r\nk=v\r\n[setup]\r\nTOP=2\r\n",
         {Read(S, "TOP", "3000", "3000"), Write(S, "TOP", "3000"), Read(S, "TOP", "3001", "3000")},
         "[SETUP]\r\nLEFT=1\r\nTOP=3000\r\n[Other]\r\nk=v\r\n[setup]\r\nTOP=2\r\n"},

        {"OtherSectionsAndUnknownKeysSurvive",
         Before::kFile,
         "[Radio]\r\nrig=IC-7300\r\n\r\n[SETUP]\r\nCOLOR=blue\r\nLEFT=1\r\n\r\n[Log]\r\n"
         "file=c:\\log.adi\r\n",
         {Read("Radio", "LEFT", "x", "x"), Write(S, "TOP", "2"), Write(S, "LEFT", "3")},
         "[Radio]\r\nrig=IC-7300\r\n[SETUP]\r\nCOLOR=blue\r\nLEFT=3\r\nTOP=2\r\n[Log]\r\n"
         "file=c:\\log.adi\r\n"},

        {"AMissingSectionIsAddedAtTheEnd",
         Before::kFile,
         "LEFT=9\r\n[Radio]\r\nrig=x",
         {Read(S, "LEFT", "4185", "4185"), Write(S, "LEFT", "4185"), Read("", "LEFT", "0", "9")},
         "LEFT=9\r\n[Radio]\r\nrig=x\r\n[SETUP]\r\nLEFT=4185\r\n"},

        {"ASectionInAnotherCaseIsUsedAsItStands",
         Before::kFile,
         "[setup]\r\n",
         {Write(S, "ALWAYS_ON_TOP", "TRUE"), Read(S, "always_on_top", "FALSE", "TRUE")},
         "[setup]\r\nALWAYS_ON_TOP=TRUE\r\n"},

        // Text after a header's last ']' is dropped; a '[' line without ']' is an ordinary line.
        {"OddHeaders",
         Before::kFile,
         "[SETUP] ; main\r\n[SETUP\r\nLEFT=4\r\n[ [x] ]y\r\nTOP=5\r\n",
         {Read(S, "LEFT", "4185", "4"), Read("[x]", "TOP", "3000", "5"), Write(S, "TOP", "1")},
         "[SETUP]\r\n[SETUP\r\nLEFT=4\r\nTOP=1\r\n[[x]]\r\nTOP=5\r\n"},

        {"LfOnlyLinesBecomeCrLfOnARewrite",
         Before::kFile,
         "[SETUP]\nLEFT=10\nTOP=20\n",
         {Read(S, "TOP", "3000", "20"), Write(S, "LEFT", "11")},
         "[SETUP]\r\nLEFT=11\r\nTOP=20\r\n"},

        {"CrOnlyLinesBecomeCrLfOnARewrite",
         Before::kFile,
         "[SETUP]\rLEFT=10\rTOP=20\r",
         {Read(S, "LEFT", "4185", "10"), Write(S, "TOP", "21")},
         "[SETUP]\r\nLEFT=10\r\nTOP=21\r\n"},

        {"AnEmptyFileIsFilled",
         Before::kFile,
         "",
         {Read(S, "LEFT", "4185", "4185"), Write(S, "LEFT", "4185")},
         "[SETUP]\r\nLEFT=4185\r\n"},

        // Ctrl-Z, the old end-of-file mark, is a blank like the others.
        {"AFileOfBlanksAndAnEndOfFileMark",
         Before::kFile,
         " \r\n\t\v\f\r\n[SETUP]\r\nLEFT=5\r\n\x1a",
         {Read(S, "LEFT", "4185", "5"), Write(S, "TOP", "6")},
         "[SETUP]\r\nLEFT=5\r\nTOP=6\r\n"},

        {"EveryByteOfAValueIsReadAndKept",
         Before::kFile,
         "[SETUP]\r\nLEFT=" + EveryByte() + "\r\n",
         {Read(S, "LEFT", "4185", EveryByte()), Write(S, "TOP", "1")},
         "[SETUP]\r\nLEFT=" + EveryByte() + "\r\nTOP=1\r\n"},

        // A NUL ends a name or a value for the reader. Never written: see the report on rewrites.
        {"ANulByteEndsAValueOrAName",
         Before::kFile,
         "[SETUP]\r\nLEFT=12\0"
         "34\r\nTO\0P=5\r\n"s,
         {Read(S, "LEFT", "4185", "12"), Read(S, "TOP", "3000", "3000"),
          Read(S, "TO", "3000", "5")},
         "[SETUP]\r\nLEFT=12\0"
         "34\r\nTO\0P=5\r\n"s},

        {"AUtf8ByteOrderMarkIsSkippedAndKept",
         Before::kFile,
         "\xEF\xBB\xBF[SETUP]\r\nLEFT=5\r\n",
         {Read(S, "LEFT", "4185", "5"), Write(S, "TOP", "6")},
         "\xEF\xBB\xBF[SETUP]\r\nLEFT=5\r\nTOP=6\r\n"},

        {"ALineLongerThanAnyBuffer",
         Before::kFile,
         "[SETUP]\r\nNOTE=" + Repeat('n', 70000) + "\r\nLEFT=3\r\n",
         {Read(S, "NOTE", "", Repeat('n', 499)), Read(S, "LEFT", "4185", "3"),
          Write(S, "TOP", "4")},
         "[SETUP]\r\nNOTE=" + Repeat('n', 70000) + "\r\nLEFT=3\r\nTOP=4\r\n"},

        {"ATenMegabyteFile",
         Before::kFile,
         BigFile("[SETUP]\r\nLEFT=120\r\nMINIMIZED=FALSE\r\n"),
         {Read(S, "LEFT", "4185", "120"), Read("QSO1000", "CALL", "", "DL1000XYZ"),
          Read(S, "TOP", "3000", "3000"), Write(S, "TOP", "3000"), Write(S, "MINIMIZED", "TRUE")},
         BigFile("[SETUP]\r\nLEFT=120\r\nMINIMIZED=TRUE\r\nTOP=3000\r\n")},

        // A file that cannot be read or written: reads give the defaults, writes fail.
        {"AFolderWhereTheFileShouldBe",
         Before::kFolder,
         {},
         {Read(S, "LEFT", "4185", "4185"), Write(S, "LEFT", "4185", false)},
         std::nullopt},

        {"TheFilesFolderIsMissing",
         Before::kMissingFolder,
         {},
         {Read(S, "LEFT", "4185", "4185"), Write(S, "LEFT", "4185", false)},
         std::nullopt},

        {"AReadOnlyFileIsReadButNotWritten",
         Before::kReadOnlyFile,
         kFirstFile,
         {Read(S, "LEFT", "4185", "4185"), Write(S, "LEFT", "4185", false),
          Write(S, "LEFT", "100", false), Read(S, "LEFT", "4185", "4185")},
         kFirstFile},
    };
}

}  // namespace

const std::vector<Scenario>& TableScenarios() {
    static const std::vector<Scenario> table = MakeTable();
    return table;
}

}  // namespace ini_diff
