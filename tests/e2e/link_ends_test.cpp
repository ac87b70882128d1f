// How the program's conversations end, seen from its peers (dde_peer, each in a process of its
// own): every exit ends both conversations, a busy peer's and the session's end included; a
// killed program is noticed by its peers; a session that ends while the program waits on a peer
// ends that wait, and no peer hears from the program after it.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "base/dde_names.h"
#include "dde_peer_process.h"
#include "harness.h"

namespace {

using Peer = e2e::DdePeerProcess;
using e2e::kAzimuthQueryReport;
using e2e::kHostHotLinkReport;

TEST(LinkEndsTest, EveryExitEndsBothConversationsAtThePeersBusyOnesAndTheSessionEndIncluded) {
    constexpr int kExits = 20;
    Peer host(Peer::Plays::Host), rotator(Peer::Plays::Rotator);
    int ended = 0;
    for (int exit = 0; exit < kExits; ++exit) {
        SCOPED_TRACE("exit " + std::to_string(exit));
        const int hostEnds = host.Count("disconnect"), rotatorEnds = rotator.Count("disconnect");
        e2e::Program program;
        ASSERT_TRUE(host.Saw(kHostHotLinkReport, exit + 1));
        ASSERT_TRUE(rotator.Saw(kAzimuthQueryReport, exit + 1));
        switch (exit % 4) {
            case 0:
                program.Close();
                break;
            case 1:  // the host handles nothing for 0.7 s, from just before the close
                ASSERT_TRUE(host.Command("busy 700"));
                program.Close();
                break;
            case 2:
                ASSERT_TRUE(rotator.Command("busy 700"));
                program.Menu('x');
                break;
            default:
                EXPECT_TRUE(program.EndSession());
                break;
        }
        ASSERT_TRUE(program.WaitForExit());
        EXPECT_EQ(program.ExitCode(), 0u);
        // What the peers saw was said before the program ended; a moment for the reports.
        if (host.Saw("disconnect", hostEnds + 1, 3000) &&
            rotator.Saw("disconnect", rotatorEnds + 1, 3000))
            ++ended;
    }
    EXPECT_EQ(ended, kExits) << "exits after which both peers saw their conversation end";
    EXPECT_EQ(host.Count("gone") + rotator.Count("gone"), 0)
        << "conversations left behind by a program that ended";
}

TEST(LinkEndsTest, AKilledProgramIsNoticedByItsPeersAndAnotherLinksAgain) {
    Peer host(Peer::Plays::Host), rotator(Peer::Plays::Rotator);
    {
        e2e::Program program;
        ASSERT_TRUE(host.Saw(kHostHotLinkReport, 1));
        ASSERT_TRUE(rotator.Saw(kAzimuthQueryReport, 1));
        program.Kill();
        const ULONGLONG killed = GetTickCount64();
        EXPECT_TRUE(host.Saw("gone", 1, 3000));
        EXPECT_TRUE(host.Saw(std::string("advstop ") + dde_names::host::kItem, 1, 3000));
        EXPECT_TRUE(rotator.Saw("gone", 1, 3000));
        std::printf("[  figure  ] a killed client noticed by its peers within %llu ms\n",
                    GetTickCount64() - killed);
    }
    e2e::Program again;
    EXPECT_TRUE(host.Saw(kHostHotLinkReport, 2));
    EXPECT_TRUE(rotator.Saw(kAzimuthQueryReport, 2));
    EXPECT_EQ(host.Count("disconnect") + rotator.Count("disconnect"), 0);
}

// The session ends while the program waits for the host to start its hot link, at a link retry.
// The unload gives that attempt up, and nothing of the tick goes on to a peer after it: before,
// the host's late answer marked the link up after the settings were saved, and the same tick
// went on to open the rotator link and ask it for the azimuth.
TEST(LinkEndsTest, TheSessionEndingWhileTheHostHoldsItsHotLinkStartEndsThatAttempt) {
    e2e::Program program;
    program.AnswerPeersNotFound();
    Peer host(Peer::Plays::Host), rotator(Peer::Plays::Rotator);
    ASSERT_TRUE(host.Command("advise hang 600"));
    ASSERT_TRUE(host.Reported(kHostHotLinkReport, 20000)) << "no retry reached the host";
    EXPECT_TRUE(program.EndSession());
    ASSERT_TRUE(program.WaitForExit());
    EXPECT_EQ(program.ExitCode(), 0u);
    EXPECT_NE(program.SettingsText(), "") << "the session's end did not run the unload";
    EXPECT_TRUE(host.Saw("disconnect", 1, 3000)) << "the attempt's late conversation was kept";
    e2e::WaitUntil([] { return false; }, 1000);
    EXPECT_EQ(rotator.Count("connect"), 0) << "a peer was reached after the session ended";
}

// The session ends while the start-up waits for the rotator program's answer to the azimuth
// query, before the message loop runs. Windows gets its answer to the session's end (before, the
// process ended inside the message and left the sender with a failure), and both peers see their
// conversation end.
TEST(LinkEndsTest, TheSessionEndingDuringTheStartUpIsAnsweredAndEndsBothConversations) {
    Peer host(Peer::Plays::Host), rotator(Peer::Plays::Rotator);
    ASSERT_TRUE(rotator.Command("pokes hang 600"));
    e2e::Program program;
    ASSERT_TRUE(rotator.Saw(kAzimuthQueryReport, 1));
    EXPECT_TRUE(program.EndSession());
    ASSERT_TRUE(program.WaitForExit());
    EXPECT_EQ(program.ExitCode(), 0u);
    EXPECT_NE(program.SettingsText(), "") << "the session's end did not run the unload";
    EXPECT_TRUE(host.Saw("disconnect", 1, 3000));
    EXPECT_TRUE(rotator.Saw("disconnect", 1, 3000));
}

}  // namespace
