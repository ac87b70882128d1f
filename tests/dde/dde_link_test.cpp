// DdeLink against a DDE server in another process (dde_peer), as the program meets the host and
// the rotator program. Durations are printed for the record, never asserted.
#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "base/dde_names.h"
#include "base/failure.h"
#include "tests/dde/hex.h"
#include "tests/dde/peer_process.h"
#include "win32io/dde_link.h"

namespace {

using test::Hex;
using test::PeerProcess;
using test::PumpFor;
using test::PumpUntil;
using win32io::DdeLink;

constexpr const char* kService = "VANTROPEER";
constexpr const char* kTopic = dde_names::rotator::kTopic;
constexpr const char* kItem = dde_names::rotator::kItem;

void Note(const std::string& what, DWORD ms) {
    std::printf("[ measured ] %s: %lu ms\n", what.c_str(), static_cast<unsigned long>(ms));
}

// The description of the failure that `action` throws, or nothing.
template <typename Action>
std::optional<std::string> FailureOf(Action action) {
    try {
        action();
    } catch (const base::Failure& failure) {
        return failure.Description();
    }
    return std::nullopt;
}

class DdeLinkTest : public ::testing::Test {
  protected:
    DdeLinkTest() {
        StartPeer();
        link.onData = [this](const std::string& text) { data.push_back(text); };
        link.onClose = [this] { ++closes; };
        link.onError = [this](int code) { errors.push_back(code); };
    }

    void Connect() { link.Connect(kService, kTopic, kItem); }
    bool Publish(const std::string& text) {
        return peer->Command(std::string("publish ") + kItem + " " + Hex(text));
    }
    bool DataCount(std::size_t count) {
        return PumpUntil([&] { return data.size() >= count; });
    }
    bool Poked(const std::string& text) {
        return peer->Reported(std::string("poke ") + kItem + " " + Hex(text));
    }

    void StartPeer() {
        peer.emplace("dde_peer.exe", std::string(kService) + " " + kTopic, "ready");
    }

    std::optional<PeerProcess> peer;
    DdeLink link;
    std::vector<std::string> data;
    int closes = 0;
    std::vector<int> errors;
};

TEST_F(DdeLinkTest, ConnectToAnUnofferedServiceFailsAndLeavesNoLink) {
    const DWORD start = GetTickCount();
    EXPECT_EQ(FailureOf([&] { link.Connect("NOSUCHPEER", kTopic, kItem); }),
              "No foreign application responded to a DDE initiate");
    Note("connect with no server", GetTickCount() - start);
    EXPECT_FALSE(link.Connected());
    EXPECT_EQ(FailureOf([&] { link.Connect(kService, "NOSUCHTOPIC", kItem); }),
              "No foreign application responded to a DDE initiate");
}

TEST_F(DdeLinkTest, ServerThatRefusesConversationOrHotLinkFailsTheConnection) {
    const struct {
        const char* refuse;
        const char* accept;
        const char* description;
    } cases[] = {
        {"connect refuse", "connect accept", "No foreign application responded to a DDE initiate"},
        {"advise refuse", "advise accept",
         "Foreign application won't perform DDE method or operation"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.refuse);
        ASSERT_TRUE(peer->Command(c.refuse));
        EXPECT_EQ(FailureOf([&] { Connect(); }), c.description);
        EXPECT_FALSE(link.Connected());
        ASSERT_TRUE(peer->Command(c.accept));
    }
    // The refused hot link's conversation was ended, and a later attempt works.
    EXPECT_TRUE(peer->Reported("disconnect"));
    Connect();
    EXPECT_TRUE(link.Connected());
}

// A server that takes the conversation and hangs on the start of the hot link: the attempt fails
// at the window's limit, the conversation it made is ended without a wait (parked until the
// server wakes), and once the server answers again a new attempt links.
TEST_F(DdeLinkTest, ServerHangingOnTheHotLinkFailsTheConnectionAtTheLimitAndIsEndedOnceAwake) {
    ASSERT_TRUE(peer->Command("advise hang 3000"));
    const DWORD start = GetTickCount();
    EXPECT_EQ(FailureOf([&] { Connect(); }), "Timeout while waiting for DDE response");
    const DWORD took = GetTickCount() - start;
    Note("connection to a server hung on the hot link", took);
    EXPECT_LE(took, win32io::kPeerWaitLimitMs + 200);
    EXPECT_FALSE(link.Connected());
    // The retry, while it still hangs (a DDE connection waits on it under Wine), gives up too.
    const DWORD retry = GetTickCount();
    EXPECT_TRUE(FailureOf([&] { Connect(); }));
    Note("a retry while the server hangs", GetTickCount() - retry);
    EXPECT_LE(GetTickCount() - retry, win32io::kPeerWaitLimitMs + 200);

    EXPECT_TRUE(peer->Reported("disconnect", 10000)) << "the failed conversation was left open";
    EXPECT_TRUE(PumpUntil([&] { return !FailureOf([&] { Connect(); }); }, 10000));
    ASSERT_TRUE(Publish("RA:5"));
    ASSERT_TRUE(DataCount(1));
    EXPECT_EQ(data, std::vector<std::string>{"RA:5"});
}

TEST_F(DdeLinkTest, HotLinkDeliversOnlyValuesPublishedAfterItOpens) {
    ASSERT_TRUE(Publish("RA:10"));  // no client yet: kept as the item's value only
    Connect();
    EXPECT_TRUE(peer->Reported(std::string("advstart ") + kItem));
    ASSERT_TRUE(Publish("RA:20"));
    ASSERT_TRUE(Publish("RA:30"));
    ASSERT_TRUE(DataCount(2));
    PumpFor(300);
    EXPECT_EQ(data, (std::vector<std::string>{"RA:20", "RA:30"}));
}

TEST_F(DdeLinkTest, EveryPublishRaisesDataEvenWhenTheValueIsUnchanged) {
    Connect();
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(Publish("RA:45"));
    ASSERT_TRUE(DataCount(3));
    EXPECT_EQ(data, (std::vector<std::string>(3, "RA:45")));
}

TEST_F(DdeLinkTest, ReceivedTextKeepsEveryByteUpToItsFirstNul) {
    Connect();
    const struct {
        std::string sent;
        bool withNul;
        std::string received;
    } cases[] = {
        {"DX de K1ABC:\xFF"
         "14025.0\xFF"
         "JA1XYZ\r\n",
         true,
         "DX de K1ABC:\xFF"
         "14025.0\xFF"
         "JA1XYZ\r\n"},
        {"caf\xE9\r", true, "caf\xE9\r"},
        {std::string("RA:12\0junk", 10), true, "RA:12"},
        {"", true, ""},
        {"no terminating NUL", false, "no terminating NUL"},
        {std::string("cut\0here", 8), false, "cut"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(peer->Command(c.withNul ? "nul on" : "nul off"));
        ASSERT_TRUE(Publish(c.sent));
    }
    ASSERT_TRUE(DataCount(std::size(cases)));
    for (std::size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(data[i], cases[i].received) << i;
}

TEST_F(DdeLinkTest, PokeSendsTheTextIntactAndInOrder) {
    Connect();
    const std::vector<std::string> texts = {"RA:", "GA:123", "GA:\xFF\r\n\xE9", ""};
    for (const std::string& text : texts) link.Poke(text);
    for (const std::string& text : texts) EXPECT_TRUE(Poked(text)) << Hex(text);
    // Many pokes back to back: none is lost or answered twice.
    for (int i = 0; i < 30; ++i) link.Poke("GA:" + std::to_string(i));
    for (int i = 0; i < 30; ++i) EXPECT_TRUE(Poked("GA:" + std::to_string(i))) << i;
}

TEST_F(DdeLinkTest, RefusedOrBusyPokeFailsButKeepsTheLink) {
    Connect();
    const struct {
        const char* mode;
        const char* description;
    } cases[] = {
        {"refuse", "Foreign application won't perform DDE method or operation"},
        {"busy", "Destination is busy"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        ASSERT_TRUE(peer->Command(std::string("pokes ") + c.mode));
        EXPECT_EQ(FailureOf([&] { link.Poke("GA:90"); }), c.description);
        EXPECT_TRUE(link.Connected());
    }
    ASSERT_TRUE(peer->Command("pokes accept"));
    EXPECT_EQ(FailureOf([&] { link.Poke("GA:91"); }), std::nullopt);
    ASSERT_TRUE(Publish("RA:91"));
    ASSERT_TRUE(DataCount(1));
    EXPECT_EQ(closes, 0);
}

TEST_F(DdeLinkTest, PokeToAHungServerTimesOutAndTheLinkRecovers) {
    Connect();
    ASSERT_TRUE(peer->Command("pokes hang 2500"));
    DWORD start = GetTickCount();
    EXPECT_EQ(FailureOf([&] { link.Poke("GA:180"); }), "Timeout while waiting for DDE response");
    Note("poke to a hung server", GetTickCount() - start);
    EXPECT_TRUE(link.Connected());
    // Once the server answers again, pokes and data go through.
    ASSERT_TRUE(peer->Command("pokes accept"));
    PumpFor(500);
    start = GetTickCount();
    std::optional<std::string> failure = FailureOf([&] { link.Poke("GA:181"); });
    Note("first poke after the hang", GetTickCount() - start);
    if (failure) std::printf("[ note ] first poke after the hang: %s\n", failure->c_str());
    EXPECT_EQ(FailureOf([&] { link.Poke("GA:182"); }), std::nullopt);
    EXPECT_TRUE(Poked("GA:182"));
    ASSERT_TRUE(Publish("RA:182"));
    ASSERT_TRUE(DataCount(1));
    EXPECT_EQ(data.back(), "RA:182");
}

TEST_F(DdeLinkTest, ServerAnsweringAPokeByPublishingDeliversTheAnswerAsData) {
    Connect();
    ASSERT_TRUE(peer->Command("pokes echo"));
    link.Poke("RA:1");
    ASSERT_TRUE(DataCount(1));
    // The answer to this one is waiting, not yet taken in, when the next poke starts.
    link.Poke("RA:2");
    Sleep(300);
    link.Poke("RA:3");
    ASSERT_TRUE(DataCount(3));
    EXPECT_EQ(data, (std::vector<std::string>{"RA:1", "RA:2", "RA:3"}));
}

TEST_F(DdeLinkTest, HandlersMayPokeAndDisconnectFromInsideAnEvent) {
    Connect();
    link.onData = [this](const std::string& text) {
        data.push_back(text);
        if (text == "RA:1") link.Poke("GA:from handler");
        if (text == "RA:2") link.Disconnect();
    };
    for (const char* text : {"RA:1", "RA:2", "RA:3"}) ASSERT_TRUE(Publish(text));
    EXPECT_TRUE(Poked("GA:from handler"));
    ASSERT_TRUE(DataCount(2));
    PumpFor(500);
    EXPECT_EQ(data, (std::vector<std::string>{"RA:1", "RA:2"}));
    EXPECT_FALSE(link.Connected());
    EXPECT_EQ(closes, 0);
}

TEST_F(DdeLinkTest, ClosingTheLinkRaisesNoCloseAndEndsTheServersConversation) {
    Connect();
    link.Disconnect();
    EXPECT_TRUE(peer->Reported("disconnect"));
    PumpFor(2 * DdeLink::kWatchIntervalMs + 100);
    EXPECT_EQ(closes, 0);
    EXPECT_FALSE(link.Connected());
    EXPECT_EQ(FailureOf([&] { link.Poke("GA:1"); }), "No DDE conversation");
}

TEST_F(DdeLinkTest, ServerClosingItsSideRaisesCloseOnce) {
    Connect();
    ASSERT_TRUE(Publish("RA:7"));
    ASSERT_TRUE(peer->Command("drop"));
    const DWORD start = GetTickCount();
    ASSERT_TRUE(PumpUntil([&] { return closes > 0; }));
    Note("close after the server ended the conversation", GetTickCount() - start);
    PumpFor(2 * DdeLink::kWatchIntervalMs + 100);
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(data, std::vector<std::string>{"RA:7"});  // data sent before the end still arrives
    EXPECT_FALSE(link.Connected());
    Connect();  // the server is still there: a new conversation opens at once
    ASSERT_TRUE(Publish("RA:8"));
    ASSERT_TRUE(DataCount(2));
}

TEST_F(DdeLinkTest, ServerProcessEndingRaisesCloseAndALaterServerCanBeLinkedAgain) {
    Connect();
    peer->Kill();
    const DWORD start = GetTickCount();
    ASSERT_TRUE(PumpUntil([&] { return closes > 0; }));
    Note("close after the server process was killed", GetTickCount() - start);
    PumpFor(2 * DdeLink::kWatchIntervalMs + 100);
    EXPECT_EQ(closes, 1);
    EXPECT_FALSE(link.Connected());

    EXPECT_TRUE(FailureOf([&] { Connect(); }));  // nobody offers the service now
    peer.reset();
    StartPeer();
    Connect();
    ASSERT_TRUE(Publish("RA:270"));
    ASSERT_TRUE(DataCount(1));
    EXPECT_EQ(data, std::vector<std::string>{"RA:270"});
    link.Poke("GA:0");
    EXPECT_TRUE(Poked("GA:0"));
}

TEST_F(DdeLinkTest, ClosingALinkToAHungServerDoesNotWaitForIt) {
    Connect();
    ASSERT_TRUE(peer->Command("pokes hang 4000"));
    EXPECT_TRUE(FailureOf([&] { link.Poke("GA:45"); }));
    const DWORD start = GetTickCount();
    link.Disconnect();
    Note("closing a link to a hung server", GetTickCount() - start);
    EXPECT_FALSE(link.Connected());
    // The conversation is ended for good once the server answers again.
    EXPECT_TRUE(peer->Reported("disconnect", 15000));
    EXPECT_EQ(closes, 0);
}

}  // namespace
