// The DDE links and the rotator commands over real DDE: the test plays the host and the rotator
// program itself, on its own thread, and watches what reaches them and what the window shows.
// Times that matter to the user (a lost link turning red, a stalled window) are measured and
// printed, never asserted.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "base/dde_names.h"
#include "dde_servers.h"
#include "harness.h"
#include "panel_view.h"

namespace {

using e2e::HostPeer;
using e2e::RotatorPeer;

// What the peers record of a connection attempt and a poke.
const std::string kConnectHost = std::string("connect ") + dde_names::host::kService;
const std::string kConnectHost32 = std::string("connect ") + dde_names::host::kService32;
const std::string kConnectRotator = std::string("connect ") + dde_names::rotator::kService;
const std::string kPokeRotator = std::string("poke ") + dde_names::rotator::kService + " ";

// Spots as the host sends them: fields split by the byte 255, the line ended by CR LF.
const std::string kFieldEnd = "\xFF";
const std::string kSpot = "DL1AA" + kFieldEnd + "K1ABC" + kFieldEnd + "14025.0" + kFieldEnd + "0" +
                          kFieldEnd + "1234Z" + kFieldEnd + " 47" + kFieldEnd + " 7311" +
                          kFieldEnd + "0\r\n";
const char kSpotLine[] = "K1ABC        14025.0   47   7311";
const std::string kLaterSpot = "G4XYZ" + kFieldEnd + "JA1QQ" + kFieldEnd + " 7003.5" + kFieldEnd +
                               "0" + kFieldEnd + "0815Z" + kFieldEnd + "312" + kFieldEnd + "9120" +
                               kFieldEnd + "1\r\n";
const char kLaterSpotLine[] = "JA1QQ         7003.5  312   9120";

void Report(const std::string& what, ULONGLONG ms) {
    std::printf("[ measured ] %s: %llu ms\n", what.c_str(), ms);
    ::testing::Test::RecordProperty(what, std::to_string(ms));
}

bool Shows(const e2e::Program& program, POINT at, COLORREF color) {
    return e2e::ShowsColor(program.Window(), at, color);
}

// Both links up as the user sees them: two light green indicators and the Go button.
void ExpectLinked(const e2e::Program& program, HWND go) {
    EXPECT_TRUE(Shows(program, e2e::HostIndicator(), e2e::kLightGreen)) << "host indicator";
    EXPECT_TRUE(Shows(program, e2e::RotatorIndicator(), e2e::kLightGreen)) << "rotator indicator";
    EXPECT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(go) != FALSE; })) << "Go";
}

int MessageBoxesOf(const e2e::Program& program) {
    struct Count {
        DWORD process;
        int boxes;
    } count{program.ProcessId(), 0};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto& c = *reinterpret_cast<Count*>(data);
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            if (process == c.process && IsWindowVisible(window) && e2e::ClassOf(window) == "#32770")
                ++c.boxes;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count.boxes;
}

// Drives the manual heading as the scroll bar's owner hears it from the bar.
void Scroll(HWND bar, WORD request) {
    SendMessageTimeoutA(GetParent(bar), WM_VSCROLL, request, reinterpret_cast<LPARAM>(bar),
                        SMTO_ABORTIFHUNG, 5000, nullptr);
}

TEST(DdeStartTest, NamesMissingPeersOnceThenRetriesQuietlyAndLinksWhenTheyAppear) {
    e2e::PeerLog log;
    e2e::Program program;

    // One message per missing peer, host first, each answered before the next attempt.
    const std::optional<e2e::MessageBoxSeen> first = program.WaitForMessageBox();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->text, e2e::kHostNotFound);
    EXPECT_EQ(first->title, "Vantro32");
    EXPECT_EQ(first->owner, program.Window());
    EXPECT_EQ(first->buttons, (std::vector<std::string>{"OK"}));
    e2e::WaitUntil([] { return false; }, 500);
    EXPECT_EQ(MessageBoxesOf(program), 1) << "the rotator attempt did not wait for the answer";
    program.PressOk(*first);
    const std::optional<e2e::MessageBoxSeen> second = program.WaitForMessageBox();
    ASSERT_TRUE(second);
    EXPECT_EQ(second->text, e2e::kRotatorNotFound);
    EXPECT_EQ(second->title, "Vantro32");
    EXPECT_EQ(second->owner, program.Window());
    program.PressOk(*second);
    const HWND go = program.Control("&Go");
    ASSERT_NE(go, nullptr);
    EXPECT_FALSE(IsWindowVisible(go));

    // Peers that turn every connection away: the retries reach them, and stay silent.
    std::optional<HostPeer> host(std::in_place, log);
    std::optional<HostPeer> hostSecond(std::in_place, log, dde_names::host::kService32);
    std::optional<RotatorPeer> rotator(std::in_place, log);
    host->acceptConnections = hostSecond->acceptConnections = rotator->acceptConnections = false;
    EXPECT_FALSE(program.WaitForMessageBox(12000)) << "a retry showed a message";
    // A round that has begun is let finish: a busy machine may delay a tick.
    ASSERT_TRUE(e2e::WaitUntil([&] { return log.size() % 3 == 0; }));
    const int rounds = host->ConnectAttempts();
    EXPECT_GE(rounds, 2);
    std::vector<std::string> expected;
    for (int i = 0; i < rounds; ++i)
        expected.insert(expected.end(), {kConnectHost, kConnectHost32, kConnectRotator});
    EXPECT_EQ(e2e::EventsStartingWith(log, "connect"), expected);
    for (std::size_t i = 3; i < log.size(); i += 3)
        Report("between two retries", log[i].atMs - log[i - 3].atMs);
    EXPECT_TRUE(Shows(program, e2e::HostIndicator(), e2e::kLightRed));
    EXPECT_TRUE(Shows(program, e2e::RotatorIndicator(), e2e::kLightRed));

    // The peers appear, taking connections: the next tenth tick links both, the host under its
    // first name, and asks the rotator once for its azimuth.
    host.reset();
    hostSecond.reset();
    rotator.reset();
    const std::size_t appeared = log.size();
    const ULONGLONG appearedAt = GetTickCount64();
    host.emplace(log);
    hostSecond.emplace(log, dde_names::host::kService32);
    rotator.emplace(log);
    ASSERT_TRUE(rotator->WaitForPokes(1));
    Report("from the peers' appearing to the link", GetTickCount64() - appearedAt);
    Report("from the last retry to the link", log.back().atMs - log[appeared - 1].atMs);
    EXPECT_EQ(e2e::EventsStartingWith(log, "", appeared),
              (std::vector<std::string>{kConnectHost, kConnectRotator, kPokeRotator + "RA:"}));
    ExpectLinked(program, go);
    EXPECT_TRUE(host->Linked());
    EXPECT_FALSE(hostSecond->Linked());
    EXPECT_FALSE(program.WaitForMessageBox(0));
}

// The window closed while a start-up message is shown: the start-up ends there, and no link is
// made for a window that is gone, though the rotator program has appeared meanwhile.
TEST(DdeStartTest, ClosingTheWindowDuringAStartUpMessageEndsTheStartUp) {
    e2e::PeerLog log;
    e2e::Program program;
    const std::optional<e2e::MessageBoxSeen> first = program.WaitForMessageBox();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->text, e2e::kHostNotFound);
    const RotatorPeer rotator(log);
    PostMessageA(program.Window(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.WaitForExit());
    EXPECT_EQ(program.ExitCode(), 0u);
    EXPECT_EQ(rotator.ConnectAttempts(), 0) << "a link was opened after the window was gone";
    EXPECT_NE(program.SettingsText(), "") << "the close did not run the unload";
}

class DdeRoadTest : public ::testing::Test {
  protected:
    void Start() {
        program_.emplace();
        go_ = program_->Control("&Go");
        ASSERT_NE(go_, nullptr);
        list_ = program_->StationList();
        ASSERT_NE(list_, nullptr);
    }

    // Sends with Go and returns what the rotator got (empty when nothing came).
    std::string SendWithGo() {
        const std::size_t before = rotator_->Pokes().size();
        program_->Click(go_);
        return rotator_->WaitForPokes(before + 1) ? rotator_->Pokes().back() : std::string();
    }

    std::string Caption(HWND label) const { return e2e::TextOf(label); }

    e2e::PeerLog log_;
    // The host answers only under its second name.
    std::optional<HostPeer> host_{std::in_place, log_, dde_names::host::kService32};
    std::optional<RotatorPeer> rotator_{std::in_place, log_};
    std::optional<e2e::Program> program_;
    HWND go_ = nullptr;
    HWND list_ = nullptr;
};

TEST_F(DdeRoadTest, OneSpotFromTheHostToTheRotatorAndBackThroughALostLink) {
    ASSERT_NO_FATAL_FAILURE(Start());
    // Linked at start-up without a message, the host under its second name; one query.
    ASSERT_TRUE(rotator_->WaitForPokes(1));
    EXPECT_EQ(rotator_->Pokes().front(), "RA:");
    ExpectLinked(*program_, go_);
    EXPECT_TRUE(host_->Linked());

    // The spot is listed at a tick, which also tells that start-up is over: no message held it.
    host_->Publish(kSpot);
    ASSERT_TRUE(e2e::WaitUntil([&] { return program_->ListLines(list_).size() == 1; }));
    EXPECT_FALSE(program_->WaitForMessageBox(0));
    EXPECT_EQ(program_->ListLines(list_).front(), kSpotLine);
    EXPECT_EQ(program_->SelectedIndex(list_), 0);

    program_->DoubleClickLine(list_, 0);
    ASSERT_TRUE(rotator_->WaitForPokes(2)) << "double-click";
    EXPECT_EQ(rotator_->Pokes()[1], "GA:47");

    // The rotator reports as it turns: the azimuth is shown and pointed at.
    const HWND azimuth = e2e::AzimuthLabel(*program_);
    const e2e::CompassView compass(*program_);
    for (int heading : {0, 90, 180, 270}) {
        const std::string text = std::to_string(heading);
        rotator_->Publish("RA:" + text);
        EXPECT_TRUE(e2e::WaitUntil([&] { return Caption(azimuth) == text; })) << text;
        EXPECT_EQ(compass.WaitForPointer(heading), "") << "pointer at " << text;
    }

    // Enter does what a double-click does, and nothing without a selected line: the next
    // command the rotator gets is then Go's.
    program_->PressEnter(list_);
    ASSERT_TRUE(rotator_->WaitForPokes(3)) << "Enter";
    EXPECT_EQ(rotator_->Pokes()[2], "GA:47");
    SendMessageTimeoutA(list_, LB_SETCURSEL, static_cast<WPARAM>(-1), 0, SMTO_ABORTIFHUNG, 5000,
                        nullptr);
    ASSERT_EQ(program_->SelectedIndex(list_), -1);
    program_->PressEnter(list_);
    EXPECT_EQ(SendWithGo(), "GA:0") << "Enter with no line selected sent something";

    // Go at the bar's other end: 360 goes out as 0; a page up from there as itself.
    const HWND bar = program_->ControlOfClass("ScrollBar");
    const HWND selected = e2e::SelectedHeadingLabel(*program_);
    Scroll(bar, SB_BOTTOM);
    ASSERT_TRUE(e2e::WaitUntil([&] { return Caption(selected) == "360"; })) << Caption(selected);
    EXPECT_EQ(SendWithGo(), "GA:0");
    Scroll(bar, SB_PAGEUP);
    ASSERT_TRUE(e2e::WaitUntil([&] { return Caption(selected) == "345"; })) << Caption(selected);
    EXPECT_EQ(SendWithGo(), "GA:345");
    EXPECT_EQ(Caption(azimuth), "270") << "a command is not a report";

    // Both peers end their conversations: each indicator turns light red by itself, and Go goes.
    // They turn the program away meanwhile, so that a tenth tick just then cannot hide the red.
    host_->acceptConnections = rotator_->acceptConnections = false;
    const ULONGLONG lostAt = GetTickCount64();
    host_->DropConversations();
    rotator_->DropConversations();
    EXPECT_TRUE(Shows(*program_, e2e::HostIndicator(), e2e::kLightRed));
    Report("host indicator red after its conversation ended", GetTickCount64() - lostAt);
    EXPECT_TRUE(Shows(*program_, e2e::RotatorIndicator(), e2e::kLightRed));
    EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(go_); })) << "Go still shown";
    Report("rotator indicator red and Go hidden after it went", GetTickCount64() - lostAt);
    EXPECT_EQ(Caption(azimuth), "270") << "the last report stays";
    host_->acceptConnections = rotator_->acceptConnections = true;

    // Back at a later tenth tick: asked once for the azimuth; the host, which still holds its
    // last spot, repeats nothing old, and what it publishes now is listed, twice the same too.
    const std::size_t before = rotator_->Pokes().size();
    ASSERT_TRUE(rotator_->WaitForPokes(before + 1)) << "not linked again";
    Report("from the end of the conversations to the link again", GetTickCount64() - lostAt);
    ExpectLinked(*program_, go_);
    EXPECT_EQ(SendWithGo(), "GA:345");
    EXPECT_EQ(std::vector<std::string>(rotator_->Pokes().begin() + before, rotator_->Pokes().end()),
              (std::vector<std::string>{"RA:", "GA:345"}));
    host_->Publish(kLaterSpot);
    host_->Publish(kLaterSpot);
    EXPECT_TRUE(e2e::WaitUntil([&] { return program_->ListLines(list_).size() == 3; }));
    EXPECT_EQ(program_->ListLines(list_),
              (std::vector<std::string>{kSpotLine, kLaterSpotLine, kLaterSpotLine}));
    EXPECT_TRUE(program_->Running());
}

// How long the window stops answering while a hung rotator program holds a poke, seen two ways
// at once: how long a sent message waits, and how long a key takes to show its effect.
class StallProbe {
  public:
    // Reads the manual heading first, while the window still answers.
    explicit StallProbe(const e2e::Program& program)
        : window_(program.Window()),
          bar_(program.ControlOfClass("ScrollBar")),
          selected_(e2e::SelectedHeadingLabel(program)),
          heading_(Caption()) {}
    void Start() {
        sent_ = std::thread([this] { ProbeSent(); });
        posted_ = std::thread([this] { ProbeKeys(); });
    }
    ~StallProbe() {
        stop_ = true;
        if (sent_.joinable()) sent_.join();
        if (posted_.joinable()) posted_.join();
    }
    ULONGLONG LongestSentMs() const { return longestSent_; }
    ULONGLONG LongestKeyMs() const { return longestKey_; }

  private:
    void ProbeSent() {
        while (!stop_) {
            const ULONGLONG start = GetTickCount64();
            DWORD_PTR ignored = 0;
            SendMessageTimeoutA(window_, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored);
            Longest(longestSent_, GetTickCount64() - start);
            Sleep(10);
        }
    }
    // A key down on the bar: the manual heading changes once the program has taken the key.
    void ProbeKeys() {
        while (!stop_) {
            const ULONGLONG start = GetTickCount64();
            PostMessageA(bar_, WM_KEYDOWN, VK_DOWN, 1);
            PostMessageA(bar_, WM_KEYUP, VK_DOWN, 0xC0000001);
            std::string now;
            while (!stop_ && (now = Caption()) == heading_) Sleep(5);
            Longest(longestKey_, GetTickCount64() - start);
            heading_ = now;
            Sleep(10);
        }
    }
    static void Longest(std::atomic<ULONGLONG>& longest, ULONGLONG ms) {
        if (ms > longest) longest = ms;
    }
    std::string Caption() const {
        wchar_t text[16] = {};
        DWORD_PTR copied = 0;
        SendMessageTimeoutW(selected_, WM_GETTEXT, 16, reinterpret_cast<LPARAM>(text), SMTO_NORMAL,
                            10000, &copied);
        return std::string(text, text + copied);
    }

    HWND window_, bar_, selected_;
    std::string heading_;
    std::atomic<bool> stop_{false};
    std::atomic<ULONGLONG> longestSent_{0}, longestKey_{0};
    std::thread sent_, posted_;
};

// While the rotator program holds its answer to a command, another of its threads sends the
// window a double-click on another line, Enter, a tick of the timer and a close: Windows delivers
// messages sent from elsewhere inside any wait. None of them runs inside the wait. After it, in
// order, the double-click and Enter each send their line's heading, and the close ends the
// program as a close does.
TEST_F(DdeRoadTest, EventsSentWhileTheRotatorAnswersRunAfterTheAnswerInOrder) {
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(rotator_->WaitForPokes(1));
    host_->Publish(kSpot + kLaterSpot);
    ASSERT_TRUE(e2e::WaitUntil([&] { return program_->ListLines(list_).size() == 2; }));
    const HWND window = program_->Window();
    const LPARAM laterLine = program_->LinePoint(list_, 1);
    bool sent = false;
    rotator_->whileAnswering = [&](const std::string&) {
        if (std::exchange(sent, true)) return;
        std::thread user([&] {
            const auto send = [](HWND to, UINT message, WPARAM wParam, LPARAM lParam) {
                SendMessageTimeoutA(to, message, wParam, lParam, SMTO_NORMAL, 5000, nullptr);
            };
            send(list_, WM_LBUTTONDOWN, MK_LBUTTON, laterLine);
            send(list_, WM_LBUTTONUP, 0, laterLine);
            send(list_, WM_LBUTTONDBLCLK, MK_LBUTTON, laterLine);
            send(list_, WM_LBUTTONUP, 0, laterLine);
            send(list_, WM_CHAR, VK_RETURN, 1);
            send(window, WM_TIMER, 1, 0);  // Timer1, the window's only timer
            send(window, WM_CLOSE, 0, 0);
        });
        user.join();
        Sleep(700);  // a slow answer on top
    };
    program_->DoubleClickLine(list_, 0);
    ASSERT_TRUE(program_->WaitForExit());
    EXPECT_EQ(program_->ExitCode(), 0u) << "not a clean end";
    EXPECT_EQ(rotator_->Pokes(), (std::vector<std::string>{"RA:", "GA:47", "GA:312", "GA:312"}));
    EXPECT_NE(program_->SettingsText(), "") << "the close did not run the unload";
}

TEST_F(DdeRoadTest, RotatorThatRefusesOrDoesNotAnswerNeverEndsTheProgram) {
    // The query after connecting is refused; the rotator program was found all the same.
    rotator_->pokeAnswer = e2e::DdePeer::Answer::Refuse;
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(rotator_->WaitForPokes(1));
    EXPECT_EQ(rotator_->Pokes().front(), "RA:");
    host_->Publish(kSpot);
    ASSERT_TRUE(e2e::WaitUntil([&] { return program_->ListLines(list_).size() == 1; }))
        << "start-up held by a message";
    EXPECT_FALSE(program_->WaitForMessageBox(0)) << "the found rotator program named as missing";
    ExpectLinked(*program_, go_);

    // Refused, then busy: each command goes out and the program carries on, still linked.
    EXPECT_EQ(SendWithGo(), "GA:0");
    rotator_->pokeAnswer = e2e::DdePeer::Answer::Busy;
    program_->DoubleClickLine(list_, 0);
    ASSERT_TRUE(rotator_->WaitForPokes(3));
    EXPECT_EQ(rotator_->Pokes()[2], "GA:47");

    // No answer: the poke gives up, the window comes back, and the link with it.
    rotator_->pokeAnswer = e2e::DdePeer::Answer::Hang;
    {
        StallProbe probe(*program_);
        program_->Click(go_);
        // Started after the click, so that its keys reach the bar after Go has read the heading.
        probe.Start();
        ASSERT_TRUE(rotator_->WaitForPokes(4));
        EXPECT_EQ(rotator_->Pokes()[3], "GA:0");
        // A while longer, to see whether the late answer stalls the window again.
        e2e::WaitUntil([] { return false; }, 500);
        Report("longest wait of a sent message while the rotator hung", probe.LongestSentMs());
        Report("longest wait of a key for its effect while the rotator hung", probe.LongestKeyMs());
        EXPECT_LE(probe.LongestSentMs(), e2e::kLongestPeerWaitMs);
        EXPECT_LE(probe.LongestKeyMs(), e2e::kLongestPeerWaitMs);
    }
    rotator_->pokeAnswer = e2e::DdePeer::Answer::Accept;
    const std::string next = SendWithGo();
    EXPECT_EQ(next.rfind("GA:", 0), 0u) << "no command after the hang: " << next;
    EXPECT_TRUE(program_->Running());
    ExpectLinked(*program_, go_);
    EXPECT_FALSE(program_->WaitForMessageBox(0));

    // The rotator program goes away for good: only its indicator and Go tell.
    rotator_.reset();
    EXPECT_TRUE(Shows(*program_, e2e::RotatorIndicator(), e2e::kLightRed));
    EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(go_); })) << "Go still shown";
    EXPECT_EQ(e2e::PixelAt(program_->Window(), e2e::HostIndicator()), e2e::kLightGreen);
    EXPECT_FALSE(program_->WaitForMessageBox(0));
}

}  // namespace
