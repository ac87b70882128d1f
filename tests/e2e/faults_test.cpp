// Faults and floods with the substitute peers as processes of their own: peers killed and
// restarted, a rotator that refuses or never answers, floods and odd bytes from the host. The
// program must carry on with nothing lost and tell the truth about its links.
//
// The short form runs by default; VANTRO_LONG=1 runs the long one (100 rotator restarts instead
// of 5). The figures each scenario measures (how long the window kept input waiting, how soon a
// lost link showed, memory) are printed as "[  figure  ]" lines and recorded as test properties.
#include <gtest/gtest.h>
#include <windows.h>

#include <psapi.h>  // after windows.h, which it needs

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "harness.h"
#include "input_probe.h"
#include "panel_view.h"
#include "simulators.h"

namespace {

using e2e::ListLine;
using e2e::SpotLine;

bool LongForm() {
    const char* flag = std::getenv("VANTRO_LONG");
    return flag && std::string(flag) == "1";
}

void Figure(const std::string& name, long long value, const std::string& unit) {
    testing::Test::RecordProperty(name, std::to_string(value));
    std::printf("[  figure  ] %s: %lld %s\n", name.c_str(), value, unit.c_str());
    std::fflush(stdout);
}

// The memory the program's process has committed for itself, in bytes (Wine leaves PrivateUsage
// at 0 and counts it as PagefileUsage).
std::size_t CommittedBytes(const e2e::Program& program) {
    const HANDLE process =
        OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, program.ProcessId());
    PROCESS_MEMORY_COUNTERS counters{};
    const bool read = process && GetProcessMemoryInfo(process, &counters, sizeof counters);
    if (process) CloseHandle(process);
    return read ? counters.PagefileUsage : 0;
}

// How much more it has committed than before, in bytes.
long long Growth(const e2e::Program& program, std::size_t before) {
    return static_cast<long long>(CommittedBytes(program)) - static_cast<long long>(before);
}

struct Station {
    std::string call, kHz, heading, km;
};

// Four stations all round the compass, listed in this order.
const Station kStations[] = {
    {"JA1ABC", "21074.0", "40", "8900"},
    {"VK2DEF", "14025.5", "120", "16000"},
    {"ZS6GHI", "7012.0", "200", "9100"},
    {"W1JKL", "3525.0", "280", "5600"},
};

std::string StationsFeed() {
    std::string feed;
    for (const Station& s : kStations) feed += SpotLine(s.call, s.kHz, s.heading, s.km);
    return feed;
}

std::vector<std::string> StationLines() {
    std::vector<std::string> lines;
    for (const Station& s : kStations) lines.push_back(ListLine(s.call, s.kHz, s.heading, s.km));
    return lines;
}

// Numbered stations for the floods and the host restarts: the same fields but the callsign.
std::string NumberedCall(const std::string& prefix, int n) {
    char call[16];
    std::snprintf(call, sizeof call, "%s%05d", prefix.c_str(), n);
    return call;
}
std::string NumberedFeed(const std::string& prefix, int count) {
    std::string feed;
    for (int n = 1; n <= count; ++n)
        feed += SpotLine(NumberedCall(prefix, n), "14000.0", "90", "1000");
    return feed;
}
std::vector<std::string> NumberedLines(const std::string& prefix, int first, int last) {
    std::vector<std::string> lines;
    for (int n = first; n <= last; ++n)
        lines.push_back(ListLine(NumberedCall(prefix, n), "14000.0", "90", "1000"));
    return lines;
}

// The window with both peers: the station list, the Go button, and what the rotator link shows.
class Window {
  public:
    explicit Window(const e2e::Program& program)
        : program_(program), list_(program.StationList()), go_(program.Control("&Go")) {}

    HWND List() const { return list_; }
    std::vector<std::string> Lines() const { return program_.ListLines(list_); }
    bool WaitForLines(std::size_t count, DWORD limitMs = e2e::kPatienceMs) const {
        return e2e::WaitUntil([&] { return Lines().size() >= count; }, limitMs);
    }
    // The indicator and the Go button both say the rotator link is up, or both say it is down.
    bool ShowsRotatorLink(bool up) const {
        return go_ && IsWindowVisible(go_) == (up ? TRUE : FALSE) &&
               e2e::PixelAt(program_.Window(), e2e::RotatorIndicator()) ==
                   (up ? e2e::kLightGreen : e2e::kLightRed);
    }
    bool ShowsHostLink(bool up) const {
        return e2e::PixelAt(program_.Window(), e2e::HostIndicator()) ==
               (up ? e2e::kLightGreen : e2e::kLightRed);
    }

  private:
    const e2e::Program& program_;
    HWND list_;
    HWND go_;
};

// A link retry comes every tenth tick: five seconds, and a connection on top.
constexpr DWORD kReconnectLimitMs = 20000;

TEST(FaultsTest, RotatorKilledAndRestartedWhileStationsAreDoubleClicked) {
    const int restarts = LongForm() ? 100 : 5;
    const e2e::FeedFile feed(StationsFeed());
    e2e::HostSim host(feed, "--interval 100 --once");
    std::optional<e2e::RotatorSim> rotator(std::in_place, "--speed 60");
    e2e::Program program;
    const Window window(program);
    ASSERT_TRUE(window.WaitForLines(4));
    ASSERT_EQ(window.Lines(), StationLines());

    ULONGLONG slowestLoss = 0, slowestReturn = 0;
    for (int round = 0; round <= restarts; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const ULONGLONG started = GetTickCount64();
        ASSERT_TRUE(
            e2e::WaitUntil([&] { return window.ShowsRotatorLink(true); }, kReconnectLimitMs));
        slowestReturn = std::max(slowestReturn, GetTickCount64() - started);
        // Each connection asks for the azimuth once; what was clicked while down was not kept.
        ASSERT_TRUE(rotator->Received("RA:"));
        EXPECT_EQ(rotator->Pokes(), std::vector<std::string>{"RA:"});

        const Station& station = kStations[round % 4];
        program.DoubleClickLine(window.List(), round % 4);
        ASSERT_TRUE(rotator->Received("GA:" + station.heading));
        if (round == restarts) {
            // The last one is left to finish its turn, and the window follows it there.
            const HWND azimuth = e2e::AzimuthLabel(program);
            EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::TextOf(azimuth) == station.heading; }));
            EXPECT_EQ(e2e::CompassView(program).WaitForPointer(std::stoi(station.heading)), "");
            break;
        }

        // Killed while it turns.
        rotator->Kill();
        const ULONGLONG killed = GetTickCount64();
        ASSERT_TRUE(e2e::WaitUntil([&] { return window.ShowsRotatorLink(false); }));
        slowestLoss = std::max(slowestLoss, GetTickCount64() - killed);
        EXPECT_EQ(rotator->Pokes(), (std::vector<std::string>{"RA:", "GA:" + station.heading}));

        // The user goes on clicking while the link is down.
        program.DoubleClickLine(window.List(), (round + 1) % 4);
        program.PressEnter(window.List());
        rotator.reset();
        rotator.emplace("--speed 60");
    }
    EXPECT_TRUE(program.Running());
    Figure("rotator restarts survived", restarts, "");
    Figure("slowest loss shown (indicator and Go)", static_cast<long long>(slowestLoss), "ms");
    Figure("slowest reconnection", static_cast<long long>(slowestReturn), "ms");
}

TEST(FaultsTest, HostKilledAndRestartedWhileSpotsArriveListsEveryReceivedLineOnceInOrder) {
    const e2e::FeedFile first(NumberedFeed("A", 40)), second(NumberedFeed("B", 10));
    e2e::RotatorSim rotator("");
    std::optional<e2e::HostSim> host(std::in_place, first, "--interval 150 --once");
    e2e::Program program;
    const Window window(program);

    // Killed between two of its updates, far ahead of the list: a backlog waits in the program.
    ASSERT_TRUE(e2e::WaitUntil([&] { return host->UpdatesSent() >= 15; }));
    host->Kill();
    ASSERT_TRUE(e2e::WaitUntil([&] { return window.ShowsHostLink(false); }));
    const int received = static_cast<int>(host->UpdatesSent());
    const std::size_t listedWhileDown = window.Lines().size();
    EXPECT_LT(listedWhileDown, static_cast<std::size_t>(received));
    // While the link is down the backlog waits.
    e2e::WaitUntil([] { return false; }, 1500);
    EXPECT_EQ(window.Lines().size(), listedWhileDown);

    // A new host, with other spots: it publishes once the program has linked again.
    host.emplace(second, "--interval 150 --once");
    ASSERT_TRUE(e2e::WaitUntil([&] { return window.ShowsHostLink(true); }, kReconnectLimitMs));
    ASSERT_TRUE(host->Reported("end of the feed", 30000));

    std::vector<std::string> expected = NumberedLines("A", 1, received);
    const std::vector<std::string> fromSecond = NumberedLines("B", 1, 10);
    expected.insert(expected.end(), fromSecond.begin(), fromSecond.end());
    ASSERT_TRUE(window.WaitForLines(expected.size(), 60000)) << window.Lines().size() << " listed";
    e2e::WaitUntil([] { return false; }, 1500);  // nothing more comes
    EXPECT_EQ(window.Lines(), expected);
    Figure("lines received before the host was killed", received, "");
    Figure("of them listed when its loss showed", static_cast<long long>(listedWhileDown), "");
}

TEST(FaultsTest, RotatorRefusingEveryPokeThenAcceptingAgain) {
    const e2e::FeedFile feed(StationsFeed());
    e2e::RotatorSim rotator("--refuse --speed 60");
    e2e::HostSim host(feed, "--interval 100 --once");
    e2e::Program program;
    const Window window(program);
    // The link is made and the azimuth query refused: the rotator program was found.
    ASSERT_TRUE(rotator.Received("RA:"));
    EXPECT_FALSE(program.WaitForMessageBox(1000));
    EXPECT_TRUE(window.ShowsRotatorLink(true));

    ASSERT_TRUE(window.WaitForLines(4));
    const e2e::InputProbe probe(program);
    for (int i = 0; i < 4; ++i) {
        program.DoubleClickLine(window.List(), i);
        ASSERT_TRUE(rotator.Received("GA:" + std::string(kStations[i].heading)));
    }
    EXPECT_TRUE(probe.WaitForAnswers(3));
    EXPECT_TRUE(window.ShowsRotatorLink(true));

    rotator.Send("accept");
    ASSERT_TRUE(rotator.Reported("pokes: accept"));
    program.DoubleClickLine(window.List(), 2);
    ASSERT_TRUE(rotator.Reported("turning to 200"));
    const HWND azimuth = e2e::AzimuthLabel(program);
    EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::TextOf(azimuth) == "200"; }));
    EXPECT_EQ(probe.Unanswered(), 0);
    Figure("refusing rotator: longest wait of the window",
           static_cast<long long>(probe.LongestMs()), "ms");
    EXPECT_LE(probe.LongestMs(), e2e::kLongestPeerWaitMs);
}

TEST(FaultsTest, RotatorThatNeverAnswersHoldsTheWindowOnlyForThePokesTimeout) {
    const e2e::FeedFile feed(StationsFeed());
    e2e::RotatorSim rotator("--speed 60");
    e2e::HostSim host(feed, "--interval 100 --once");
    e2e::Program program;
    const Window window(program);
    ASSERT_TRUE(window.WaitForLines(4));
    ASSERT_TRUE(rotator.Received("RA:"));

    rotator.Send("silent");
    ASSERT_TRUE(rotator.Reported("pokes: silent"));
    std::optional<e2e::InputProbe> probe(std::in_place, program);
    program.DoubleClickLine(window.List(), 0);
    ASSERT_TRUE(rotator.Reported("not answering"));
    // Once that poke has given up (a key answered), the next: two commands in a row would keep
    // a key waiting for both.
    EXPECT_TRUE(probe->WaitForAnswers(1));
    // Its next poke waits in the hung peer's queue; the window goes on all the same.
    program.DoubleClickLine(window.List(), 1);
    EXPECT_TRUE(probe->WaitForAnswers(5));
    EXPECT_TRUE(window.ShowsRotatorLink(true)) << "a peer that does not answer is not gone";
    const ULONGLONG longest = probe->LongestMs();
    EXPECT_EQ(probe->Unanswered(), 0);
    probe.reset();

    // It wakes: the late answers go by, and the next command turns it.
    rotator.Send("accept");
    ASSERT_TRUE(rotator.Reported("pokes: accept"));
    ASSERT_TRUE(rotator.Received("GA:120"));
    program.DoubleClickLine(window.List(), 3);
    ASSERT_TRUE(rotator.Reported("turning to 280"));
    const HWND azimuth = e2e::AzimuthLabel(program);
    EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::TextOf(azimuth) == "280"; }));
    EXPECT_TRUE(window.ShowsRotatorLink(true));
    Figure("silent rotator: longest wait of the window", static_cast<long long>(longest), "ms");
    EXPECT_LE(longest, e2e::kLongestPeerWaitMs);
}

// Under Wine a DDE program stuck in its callback holds every DdeConnect of the session, the
// program's own link retries among them. The window gives up on such a retry at its limit.
TEST(FaultsTest, HungRotatorHoldsTheWindowOnlyForTheLimitWhenTheHostIsRetried) {
    constexpr DWORD kHangMs = 8000;
    const e2e::FeedFile feed(StationsFeed());
    e2e::RotatorSim rotator("--speed 60");
    std::optional<e2e::HostSim> host(std::in_place, feed, "--interval 100 --once");
    e2e::Program program;
    const Window window(program);
    ASSERT_TRUE(window.WaitForLines(4));

    rotator.Send("silent");
    ASSERT_TRUE(rotator.Reported("pokes: silent"));
    program.DoubleClickLine(window.List(), 0);
    ASSERT_TRUE(rotator.Reported("not answering"));
    host->Kill();
    ASSERT_TRUE(e2e::WaitUntil([&] { return window.ShowsHostLink(false); }));

    std::optional<e2e::InputProbe> probe(std::in_place, program);
    e2e::WaitUntil([] { return false; }, kHangMs);  // the host retry comes within this
    rotator.Send("accept");
    ASSERT_TRUE(rotator.Reported("pokes: accept"));
    EXPECT_TRUE(probe->WaitForAnswers(3));
    const ULONGLONG longest = probe->LongestMs();
    EXPECT_EQ(probe->Unanswered(), 0);
    probe.reset();

    // Both come back.
    host.emplace(feed, "--interval 100 --once");
    EXPECT_TRUE(e2e::WaitUntil([&] { return window.ShowsHostLink(true); }, kReconnectLimitMs));
    program.DoubleClickLine(window.List(), 1);
    EXPECT_TRUE(rotator.Reported("turning to 120"));
    EXPECT_TRUE(window.ShowsRotatorLink(true));
    Figure("hung rotator, host retry: longest wait of the window", static_cast<long long>(longest),
           "ms");
    EXPECT_LE(longest, e2e::kLongestPeerWaitMs);
}

TEST(FaultsTest, TenThousandLinesInOneUpdateAreTakenAtTheIntakesPace) {
    constexpr int kLines = 10000;
    const e2e::FeedFile feed(NumberedFeed("F", kLines));
    e2e::RotatorSim rotator("");
    // The one update comes a few seconds after the link, once the program's memory is known.
    e2e::HostSim host(feed, "--chunk block --lines 10000 --once --interval 5000");
    e2e::Program program;
    const Window window(program);
    const std::size_t before = CommittedBytes(program);
    ASSERT_TRUE(host.Reported("end of the feed", 20000));
    const e2e::InputProbe probe(program);

    ASSERT_TRUE(window.WaitForLines(10, 20000));
    const ULONGLONG tenth = GetTickCount64();
    ASSERT_TRUE(window.WaitForLines(30, 30000));
    const ULONGLONG thirtieth = GetTickCount64();
    const std::vector<std::string> lines = window.Lines();
    const std::vector<std::string> first = NumberedLines("F", 1, static_cast<int>(lines.size()));
    EXPECT_EQ(lines, first);
    const long long growth = Growth(program, before);
    EXPECT_EQ(probe.Unanswered(), 0);

    // Waiting: about 10,000 lines of 45 characters, 450 KB. A few copies of them at most.
    EXPECT_LT(growth, 32ll << 20) << "memory grew by " << growth << " bytes";
    Figure("10,000 lines: memory growth", growth / 1024, "KiB");
    Figure("10,000 lines: lines listed a minute",
           20 * 60000 / static_cast<long long>(thirtieth - tenth), "");
    Figure("10,000 lines: longest wait of the window", static_cast<long long>(probe.LongestMs()),
           "ms");
    EXPECT_LE(probe.LongestMs(), e2e::kLongestPeerWaitMs);
}

TEST(FaultsTest, AMegabyteWithoutLineEndThenNormalLines) {
    // One line of 2 MB cut in its middle: a first update of 1 MB with no line end, a second that
    // ends the line. The normal lines after it come cut in two as well.
    const e2e::FeedFile feed(std::string(2 << 20, 'x') + "\r\n" + NumberedFeed("N", 8));
    e2e::RotatorSim rotator("");
    e2e::HostSim host(feed, "--chunk split --once --interval 300");
    e2e::Program program;
    const Window window(program);
    const std::size_t before = CommittedBytes(program);
    const e2e::InputProbe probe(program);

    ASSERT_TRUE(host.Reported("end of the feed", 60000));
    ASSERT_TRUE(window.WaitForLines(8, 30000));
    e2e::WaitUntil([] { return false; }, 1500);  // nothing more comes
    EXPECT_EQ(window.Lines(), NumberedLines("N", 1, 8)) << "the over-long line is dropped";
    const long long growth = Growth(program, before);
    EXPECT_EQ(probe.Unanswered(), 0);
    Figure("2 MB line: memory growth", growth / 1024, "KiB");
    Figure("2 MB line: longest wait of the window", static_cast<long long>(probe.LongestMs()),
           "ms");
    EXPECT_LE(probe.LongestMs(), e2e::kLongestPeerWaitMs);
}

TEST(FaultsTest, AnUpdateOfThreeMegabytesLeavesTheLinkUp) {
    // One update larger than Wine hands over to the receiving thread: there it is lost; on
    // Windows its over-long line is dropped. Either way the link stays up and nothing after it
    // is lost.
    const e2e::FeedFile feed(std::string(3 << 20, 'x') + "\r\n" + NumberedFeed("N", 4));
    e2e::RotatorSim rotator("");
    e2e::HostSim host(feed, "--chunk lines --once --interval 300");
    e2e::Program program;
    const Window window(program);

    ASSERT_TRUE(host.Reported("end of the feed", 30000));
    ASSERT_TRUE(window.WaitForLines(4, 10000));
    EXPECT_EQ(window.Lines(), NumberedLines("N", 1, 4));
    const std::vector<std::string> reports = host.Reports();
    EXPECT_EQ(std::count(reports.begin(), reports.end(), "client connected"), 1);
    EXPECT_TRUE(program.Running());
}

TEST(FaultsTest, OddBytesInsideFields) {
    std::string everyHighByte;
    for (int c = 0x80; c < 0xFF; ++c) everyHighByte.push_back(static_cast<char>(c));  // 0xFF splits
    const auto line = [](const std::vector<std::string>& fields) {
        std::string text;
        for (const std::string& field : fields) text += field + '\xFF';
        text.back() = '\r';
        return text + "\n";
    };
    const std::string feed =
        // Bytes 0x80 to 0xFE in every field, shown as they came.
        line({everyHighByte, "\xC4\xD6\xDC\x80\x9F", "7050.5\xB5", "0", everyHighByte, "1\xB0",
              "9\xE9\xE8", "0"}) +
        // A lone LF at the start of the line, lone CR and LF inside fields: not line ends.
        line({"\nG4", "AB\rCD", "14\n025", "0", "\r", "9\r", "\n7", "0"}) +
        // CF_TEXT ends at a NUL: the rest of this update never arrives, so the line is ended by
        // the next update, whose own line becomes part of it (fields past the 8th are ignored).
        line({"G4XYZ", "NULCALL", "7000.0", "0", "1200Z", "100", "1000",
              std::string("0\0TAIL", 6)}) +
        SpotLine("LOST1", "14000.0", "90", "1000") + SpotLine("NEXT2", "14000.0", "90", "1000") +
        // A NUL first: the update brings nothing at all.
        line({std::string("\0G4", 3), "LOST2", "14000.0", "0", "1200Z", "90", "1000", "0"}) +
        SpotLine("NEXT3", "14000.0", "90", "1000");
    const e2e::FeedFile file(feed);
    e2e::RotatorSim rotator("");
    e2e::HostSim host(file, "--once --interval 200");
    e2e::Program program;
    const Window window(program);

    ASSERT_TRUE(host.Reported("end of the feed"));
    ASSERT_TRUE(window.WaitForLines(5, 30000)) << window.Lines().size() << " listed";
    e2e::WaitUntil([] { return false; }, 1500);  // nothing more comes
    EXPECT_EQ(window.Lines(),
              (std::vector<std::string>{
                  ListLine("\xC4\xD6\xDC\x80\x9F", "7050.5\xB5", "1\xB0", "9\xE9\xE8"),
                  ListLine("AB\rCD", "14\n025", "9\r", "\n7"),
                  ListLine("NULCALL", "7000.0", "100", "1000"),
                  ListLine("NEXT2", "14000.0", "90", "1000"),
                  ListLine("NEXT3", "14000.0", "90", "1000"),
              }));
}

}  // namespace
