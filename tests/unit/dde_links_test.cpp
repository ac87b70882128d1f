// The two DDE links: connecting, the messages for a missing program, losing a link and the quiet
// retry on every tenth tick.
#include "base/color.h"
#include "form_fixture.h"
#include "headless_peers.h"

namespace {

const char* const kHostNotFound = "Couldn't find Wendra or Wendra32. Will keep trying.";
const char* const kRotatorNotFound = "Couldn't find ARSWIN. Will keep trying.";

class LinkTest : public FormTest {
protected:
    void Ticks(int count) {
        for (int i = 0; i < count; ++i) headless::Tick(form->Timer1);
    }
    static int RaPokes(const headless::DdeServer& server) {
        return static_cast<int>(
            std::count(server.pokes.begin(), server.pokes.end(),
                       std::pair<std::string, std::string>(dde_names::rotator::kItem, "RA:")));
    }
};

TEST_F(LinkTest, NoServersGiveTwoMessagesInOrderThenSilentRetriesEveryTenthTick) {
    frmRCI& f = Start();
    ASSERT_EQ(headless::Messages().size(), 2u);
    EXPECT_EQ(headless::Messages()[0].text, kHostNotFound);
    EXPECT_EQ(headless::Messages()[1].text, kRotatorNotFound);
    for (const auto& message : headless::Messages()) {
        EXPECT_EQ(message.title, "Vantro32");
        EXPECT_EQ(message.style, 48u);
    }
    EXPECT_EQ(f.labLinked.BackColor(), base::kLightRed);
    EXPECT_EQ(f.labArsLinked.BackColor(), base::kLightRed);
    EXPECT_FALSE(f.cmdGo.Visible());

    headless::ClearTrace();
    Ticks(9);
    EXPECT_EQ(TraceCount("Label.labDDE.LinkMode 1"), 0);
    Ticks(1);
    // Host first (both names), then the rotator.
    const int host = TraceIndex(peers::kHostLinkOpened);
    const int fallback = TraceIndex(peers::kHost32LinkOpened);
    const int rotator = TraceIndex(peers::kRotatorLinkOpened);
    EXPECT_GE(host, 0);
    EXPECT_GT(fallback, host);
    EXPECT_GT(rotator, fallback);
    Ticks(30);
    EXPECT_EQ(TraceCount("Label.labArsWin.LinkMode 1"), 4);
    EXPECT_EQ(headless::Messages().size(), 2u);
}

TEST_F(LinkTest, BothServersLinkAtStartAndTheRotatorIsAskedForItsAzimuthOnce) {
    peers::AddHost();
    headless::DdeServer& rotator = peers::AddRotator();
    frmRCI& f = Start();
    EXPECT_TRUE(headless::Messages().empty());
    // As the rotator program offers them.
    EXPECT_EQ(f.labArsWin.LinkTopic(), "ARSWIN|RCI");
    EXPECT_EQ(f.labArsWin.LinkItem(), "AZIMUTH");
    EXPECT_EQ(f.labLinked.BackColor(), base::kLightGreen);
    EXPECT_EQ(f.labArsLinked.BackColor(), base::kLightGreen);
    EXPECT_TRUE(f.cmdGo.Visible());
    EXPECT_EQ(RaPokes(rotator), 1);
    EXPECT_EQ(rotator.pokes.size(), 1u);

    // A tenth tick with both links up tries nothing.
    headless::ClearTrace();
    Ticks(20);
    EXPECT_EQ(TraceCount("Label.labDDE.LinkMode"), 0);
    EXPECT_EQ(TraceCount("Label.labArsWin.LinkMode"), 0);
}

// As the host program offers them.
TEST_F(LinkTest, TheHostIsFoundUnderItsSecondNameWithoutAMessage) {
    headless::AddDdeServer("wendra32", "wendata");  // DDE names ignore case
    frmRCI& f = Start();
    EXPECT_TRUE(base::IsTrue(f.HostLinked));
    EXPECT_EQ(f.labDDE.LinkTopic(), "WENDRA32|WENDATA");
    EXPECT_EQ(f.labDDE.LinkItem(), "labDxSpot");
    ASSERT_EQ(headless::Messages().size(), 1u);
    EXPECT_EQ(headless::Messages()[0].text, kRotatorNotFound);
}

TEST_F(LinkTest, ALostRotatorLinkTurnsRedAndComesBackOnALaterTenthTickWithANewQuery) {
    peers::AddHost();
    headless::DdeServer& rotator = peers::AddRotator();
    frmRCI& f = Start();
    Ticks(4);
    headless::RemoveDdeServer(rotator);
    EXPECT_FALSE(base::IsTrue(f.RotatorLinked));
    EXPECT_EQ(f.labArsLinked.BackColor(), base::kLightRed);
    EXPECT_FALSE(f.cmdGo.Visible());
    EXPECT_EQ(f.labArsWin.LinkMode(), 0);
    EXPECT_TRUE(base::IsTrue(f.HostLinked));

    rotator.answers = true;
    Ticks(5);  // tick 9: not yet
    EXPECT_FALSE(base::IsTrue(f.RotatorLinked));
    Ticks(1);  // tick 10: the shared counter was not reset by anything
    EXPECT_TRUE(base::IsTrue(f.RotatorLinked));
    EXPECT_EQ(f.labArsLinked.BackColor(), base::kLightGreen);
    EXPECT_TRUE(f.cmdGo.Visible());
    EXPECT_EQ(RaPokes(rotator), 2);
    EXPECT_TRUE(headless::Messages().empty());
}

TEST_F(LinkTest, ALinkErrorIsHandledLikeAClose) {
    headless::DdeServer& host = peers::AddHost();
    headless::DdeServer& rotator = peers::AddRotator();
    frmRCI& f = Start();
    host.RaiseError(3);
    rotator.RaiseError(3);
    EXPECT_FALSE(base::IsTrue(f.HostLinked));
    EXPECT_FALSE(base::IsTrue(f.RotatorLinked));
    EXPECT_EQ(f.labLinked.BackColor(), base::kLightRed);
    EXPECT_EQ(f.labArsLinked.BackColor(), base::kLightRed);
    EXPECT_EQ(host.Conversations(), 0);
    Ticks(10);
    EXPECT_TRUE(base::IsTrue(f.HostLinked));
    EXPECT_TRUE(base::IsTrue(f.RotatorLinked));
}

TEST_F(LinkTest, AServerAppearingDuringTheRunIsLinkedAtTheTenthTick) {
    frmRCI& f = Start();
    Ticks(3);
    peers::AddHost();
    Ticks(6);
    EXPECT_FALSE(base::IsTrue(f.HostLinked));
    Ticks(1);
    EXPECT_TRUE(base::IsTrue(f.HostLinked));
    EXPECT_FALSE(base::IsTrue(f.RotatorLinked));
}

// A rotator program that is found but refuses the azimuth query is not reported as missing, and
// its link stays up.
TEST_F(LinkTest, ARefusedQueryAfterConnectingKeepsTheLinkAndShowsNoMessage) {
    for (auto reply : {headless::DdeServer::PokeReply::Refuse,
                       headless::DdeServer::PokeReply::Timeout}) {
        Reconfigure();
        headless::DdeServer& rotator = peers::AddRotator();
        rotator.pokeReply = reply;
        peers::AddHost();
        frmRCI& f = Start();
        EXPECT_TRUE(headless::Messages().empty());
        EXPECT_TRUE(base::IsTrue(f.RotatorLinked));
        EXPECT_EQ(f.labArsLinked.BackColor(), base::kLightGreen);
        EXPECT_TRUE(f.cmdGo.Visible());
        headless::ClearTrace();
        Ticks(10);
        EXPECT_EQ(TraceCount("Label.labArsWin.LinkMode"), 0);
        form.reset();
    }
}

TEST_F(LinkTest, EveryPublishedValueReachesTheIntakeAndAReconnectRepeatsNothing) {
    headless::DdeServer& host = peers::AddHost();
    host.Publish(dde_names::host::kItem,
                 "before\r\n");  // published before any link: never received
    frmRCI& f = Start();
    host.Publish(dde_names::host::kItem, "A\r\n");
    host.Publish(dde_names::host::kItem, "A\r\n");
    host.Publish("otherItem", "B\r\n");
    EXPECT_EQ(f.SpotBuffer.Size(), 6u);
    EXPECT_EQ(f.SpotBuffer.Find("A\r\nA\r\n"), 0u);
    host.DropConversations();
    Ticks(10);
    ASSERT_TRUE(base::IsTrue(f.HostLinked));
    host.Publish(dde_names::host::kItem, "C");
    EXPECT_EQ(f.SpotBuffer.Find("C"), f.SpotBuffer.Size() - 1);
}

}  // namespace
