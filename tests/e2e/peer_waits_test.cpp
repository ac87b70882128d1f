// The window's waits on its peers, in the faults that once broke them: a host that answers the
// start of its hot link too late at every retry must not keep the rotator link down for good, and
// a scroll bar that tracks the mouse inside a wait must not spin on the events held meanwhile.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "dde_peer_process.h"
#include "dde_servers.h"
#include "harness.h"
#include "input_probe.h"

namespace {

// The processor time the program's process has used, in milliseconds, from Linux's own account
// of it (Wine does not tell it to another process): its line in /proc is found by the program's
// folder, which is in its command line. Nothing when it cannot be read.
std::optional<long long> CpuMs(const e2e::Program& program) {
    WIN32_FIND_DATAA found{};
    const HANDLE search = FindFirstFileA("Z:\\proc\\*", &found);
    if (search == INVALID_HANDLE_VALUE) return std::nullopt;
    std::optional<long long> ms;
    do {
        const std::string pid = found.cFileName;
        if (pid.find_first_not_of("0123456789") != std::string::npos) continue;
        std::ifstream cmdline("Z:\\proc\\" + pid + "\\cmdline", std::ios::binary);
        const std::string command((std::istreambuf_iterator<char>(cmdline)), {});
        if (command.find(program.Folder()) == std::string::npos) continue;
        std::ifstream stat("Z:\\proc\\" + pid + "\\stat");
        std::string line;
        std::getline(stat, line);
        // Fields after the command's closing parenthesis: state is the 3rd, utime the 14th.
        std::istringstream fields(line.substr(line.rfind(')') + 2));
        std::vector<std::string> values{"pid", "comm"};
        for (std::string value; fields >> value;) values.push_back(value);
        if (values.size() > 14) ms = (std::stoll(values[13]) + std::stoll(values[14])) * 10;
        break;
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return ms;
}

// At every link retry the host answers the start of its hot link after the whole second the
// window waits for it: the rotator link, retried after it in the same tick, was then left no
// time at all, retry after retry. Each link now gets its turn.
TEST(PeerWaitsTest, AHostThatAnswersTooLateAtEveryRetryLeavesTheRotatorLinkItsTurn) {
    e2e::Program program;
    program.AnswerPeersNotFound();
    e2e::DdePeerProcess host(e2e::DdePeerProcess::Plays::Host),
        rotator(e2e::DdePeerProcess::Plays::Rotator);
    ASSERT_TRUE(host.Command("advise slow 950"));
    const e2e::InputProbe probe(program);
    const ULONGLONG appeared = GetTickCount64();
    EXPECT_TRUE(rotator.Saw(e2e::kAzimuthQueryReport, 1, 30000))
        << "the rotator link never came up";
    std::printf(
        "[  figure  ] the rotator linked %llu ms after it appeared; the host was tried %d "
        "times\n",
        GetTickCount64() - appeared, host.Count(e2e::kHostHotLinkReport));
    EXPECT_GE(host.Count(e2e::kHostHotLinkReport), 1);
    EXPECT_TRUE(probe.WaitForAnswers(2));
    EXPECT_EQ(probe.Unanswered(), 0);
    EXPECT_LE(probe.LongestMs(), e2e::kLongestPeerWaitMs);
}

// A mouse press sent to the scroll bar while the rotator program holds its answer to a command
// starts the bar's own loop, which tracks the mouse inside the wait and takes the thread's posted
// messages, the one that asks for a held event among them. That message was posted again at once
// whenever it came during a wait, so the loop spun on it for as long as the button was held.
TEST(PeerWaitsTest, AScrollBarTrackedInsideAWaitDoesNotSpinOnTheEventsHeldMeanwhile) {
    e2e::PeerLog log;
    e2e::HostPeer host(log);
    e2e::RotatorPeer rotator(log);
    e2e::Program program;
    ASSERT_TRUE(rotator.WaitForPokes(1));
    ASSERT_TRUE(CpuMs(program)) << "the program's processor time cannot be read";
    const HWND window = program.Window();
    const HWND bar = program.ControlOfClass("ScrollBar");
    const HWND go = program.Control("&Go");
    // On the thumb, at the top of the bar (the manual heading is 0).
    const LPARAM thumb =
        MAKELPARAM(e2e::ClientSize(bar).cx / 2, GetSystemMetrics(SM_CYVSCROLL) + 3);
    bool sent = false;
    rotator.whileAnswering = [&](const std::string&) {
        if (std::exchange(sent, true)) return;
        std::thread user([&] {
            SendMessageTimeoutA(window, WM_TIMER, 1, 0, SMTO_NORMAL, 5000, nullptr);  // held
            SendNotifyMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, thumb);
        });
        user.join();
    };
    program.Click(go);
    ASSERT_TRUE(rotator.WaitForPokes(2));
    e2e::WaitUntil([] { return false; }, 300);  // the bar's loop has begun

    const long long before = *CpuMs(program);
    e2e::WaitUntil([] { return false; }, 2000);
    const long long used = *CpuMs(program) - before;
    PostMessageA(bar, WM_LBUTTONUP, 0, thumb);
    std::printf("[  figure  ] processor time while the bar tracked inside a wait: %lld ms in 2 s\n",
                used);
    EXPECT_LT(used, 300) << "the program spun while the bar tracked the mouse";

    // The button up ends the bar's loop and the wait; the held tick runs, and the window answers.
    const e2e::InputProbe probe(program);
    EXPECT_TRUE(probe.WaitForAnswers(2));
    EXPECT_EQ(rotator.Pokes(), (std::vector<std::string>{"RA:", "GA:0"}));
    EXPECT_TRUE(program.Running());
}

}  // namespace
