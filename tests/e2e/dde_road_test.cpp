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
#include <vector>

#include "dde_servers.h"
#include "harness.h"
#include "panel_view.h"

namespace {

using e2e::HostPeer;
using e2e::RotatorPeer;

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
    std::optional<HostPeer> hostSecond(std::in_place, log, e2e::kHostSecondName);
    std::optional<RotatorPeer> rotator(std::in_place, log);
    host->acceptConnections = hostSecond->acceptConnections = rotator->acceptConnections = false;
    EXPECT_FALSE(program.WaitForMessageBox(12000)) << "a retry showed a message";
    const int rounds = host->ConnectAttempts();
    EXPECT_GE(rounds, 2);
    std::vector<std::string> expected;
    for (int i = 0; i < rounds; ++i)
        expected.insert(expected.end(), {"connect WENDRA", "connect WENDRA32", "connect ARSWIN"});
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
    hostSecond.emplace(log, e2e::kHostSecondName);
    rotator.emplace(log);
    ASSERT_TRUE(rotator->WaitForPokes(1));
    Report("from the peers' appearing to the link", GetTickCount64() - appearedAt);
    Report("from the last retry to the link", log.back().atMs - log[appeared - 1].atMs);
    EXPECT_EQ(e2e::EventsStartingWith(log, "", appeared),
              (std::vector<std::string>{"connect WENDRA", "connect ARSWIN", "poke ARSWIN RA:"}));
    ExpectLinked(program, go);
    EXPECT_TRUE(host->Linked());
    EXPECT_FALSE(hostSecond->Linked());
    EXPECT_FALSE(program.WaitForMessageBox(0));
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
    std::optional<HostPeer> host_{std::in_place, log_, e2e::kHostSecondName};
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

    // The host ends its conversation and the rotator program goes away: each indicator turns
    // light red by itself, and Go goes.
    const ULONGLONG lostAt = GetTickCount64();
    host_->DropConversations();
    rotator_.reset();
    EXPECT_TRUE(Shows(*program_, e2e::HostIndicator(), e2e::kLightRed));
    Report("host indicator red after its conversation ended", GetTickCount64() - lostAt);
    EXPECT_TRUE(Shows(*program_, e2e::RotatorIndicator(), e2e::kLightRed));
    EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(go_); })) << "Go still shown";
    Report("rotator indicator red and Go hidden after it went", GetTickCount64() - lostAt);
    EXPECT_EQ(Caption(azimuth), "270") << "the last report stays";

    // Back at a later tenth tick: asked once for the azimuth; the host repeats nothing old, and
    // what it publishes now is listed, a value equal to the last one too.
    const ULONGLONG backAt = GetTickCount64();
    rotator_.emplace(log_);
    ASSERT_TRUE(rotator_->WaitForPokes(1)) << "not linked again";
    Report("from the rotator's return to the link", GetTickCount64() - backAt);
    ExpectLinked(*program_, go_);
    EXPECT_EQ(SendWithGo(), "GA:345");
    EXPECT_EQ(rotator_->Pokes(), (std::vector<std::string>{"RA:", "GA:345"}));
    host_->Publish(kLaterSpot);
    host_->Publish(kLaterSpot);
    EXPECT_TRUE(e2e::WaitUntil([&] { return program_->ListLines(list_).size() == 3; }));
    EXPECT_EQ(program_->ListLines(list_),
              (std::vector<std::string>{kSpotLine, kLaterSpotLine, kLaterSpotLine}));
    EXPECT_TRUE(program_->Running());
}

// How long the window stops answering while a hung rotator program holds a poke: a sent
// message's wait, and a posted key's (the queue is not served meanwhile).
class StallProbe {
  public:
    explicit StallProbe(const e2e::Program& program)
        : window_(program.Window()),
          bar_(program.ControlOfClass("ScrollBar")),
          selected_(e2e::SelectedHeadingLabel(program)),
          thread_([this] { Run(); }) {}
    ~StallProbe() {
        stop_ = true;
        thread_.join();
    }
    ULONGLONG LongestSentMs() const { return longestSent_; }
    ULONGLONG LongestPostedMs() const { return longestPosted_; }

  private:
    void Run() {
        while (!stop_) {
            ULONGLONG start = GetTickCount64();
            DWORD_PTR ignored = 0;
            SendMessageTimeoutA(window_, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored);
            longestSent_ = std::max(longestSent_.load(), GetTickCount64() - start);

            // A key down on the bar: the caption changes once the program has taken the key.
            start = GetTickCount64();
            const std::string before = Caption();
            PostMessageA(bar_, WM_KEYDOWN, VK_DOWN, 1);
            PostMessageA(bar_, WM_KEYUP, VK_DOWN, 0xC0000001);
            while (!stop_ && Caption() == before) Sleep(5);
            longestPosted_ = std::max(longestPosted_.load(), GetTickCount64() - start);
            Sleep(20);
        }
    }
    std::string Caption() const {
        wchar_t text[16] = {};
        DWORD_PTR copied = 0;
        SendMessageTimeoutW(selected_, WM_GETTEXT, 16, reinterpret_cast<LPARAM>(text), SMTO_NORMAL,
                            10000, &copied);
        return std::string(text, text + copied);
    }

    HWND window_, bar_, selected_;
    std::atomic<bool> stop_{false};
    std::atomic<ULONGLONG> longestSent_{0}, longestPosted_{0};
    std::thread thread_;
};

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
        program_->Click(go_);
        // Started after the click, so that its keys reach the bar after Go has read the heading.
        const StallProbe probe(*program_);
        ASSERT_TRUE(rotator_->WaitForPokes(4));
        EXPECT_EQ(rotator_->Pokes()[3], "GA:0");
        Sleep(300);  // the probe sees the window working again after the hang
        Report("longest wait of a sent message while the rotator hung", probe.LongestSentMs());
        Report("longest wait of a posted key while the rotator hung", probe.LongestPostedMs());
    }
    rotator_->pokeAnswer = e2e::DdePeer::Answer::Accept;
    const std::string next = SendWithGo();
    EXPECT_EQ(next.rfind("GA:", 0), 0u) << "no command after the hang: " << next;
    EXPECT_TRUE(program_->Running());
    ExpectLinked(*program_, go_);
    EXPECT_FALSE(program_->WaitForMessageBox(0));
}

}  // namespace
