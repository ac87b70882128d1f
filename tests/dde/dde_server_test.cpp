// DdeServer and DdeLink in one process, as the end-to-end tests use them to play the peers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/failure.h"
#include "tests/dde/peer_process.h"
#include "win32io/dde_link.h"
#include "win32io/dde_server.h"

namespace {

using test::PumpUntil;
using win32io::DdeLink;
using win32io::DdeServer;

class DdeServerTest : public ::testing::Test {
  protected:
    DdeServerTest() {
        link.onData = [this](const std::string& text) { data.push_back(text); };
        link.onClose = [this] { ++closes; };
        server.onDisconnect = [this] { ++disconnects; };
    }

    DdeServer server{"VANTROHOST", "SPOTS"};
    DdeLink link;
    std::vector<std::string> data;
    int closes = 0;
    int disconnects = 0;
};

TEST_F(DdeServerTest, ValuePublishedFromInsideAPokeArrivesAfterThePokeIsAnswered) {
    std::vector<std::string> pokes;
    server.onPoke = [&](const std::string& item, const std::string& text) {
        pokes.push_back(item + "=" + text);
        server.Publish(item, "RA:" + std::to_string(pokes.size()));
        return DdeServer::PokeReply::Accept;
    };
    link.Connect("vantrohost", "spots", "Spot");  // names match whatever their case
    link.Poke("RA:");
    link.Poke("RA:");
    ASSERT_TRUE(PumpUntil([&] { return data.size() == 2; }));
    EXPECT_EQ(pokes, (std::vector<std::string>{"Spot=RA:", "Spot=RA:"}));
    EXPECT_EQ(data, (std::vector<std::string>{"RA:1", "RA:2"}));
}

TEST_F(DdeServerTest, PublishReachesOnlyHotLinksOnThatItem) {
    DdeLink other;
    std::vector<std::string> otherData;
    other.onData = [&](const std::string& text) { otherData.push_back(text); };
    link.Connect("VANTROHOST", "SPOTS", "spot");
    other.Connect("VANTROHOST", "SPOTS", "OTHER");
    EXPECT_EQ(server.Conversations(), 2);
    server.Publish("SPOT", "spot\r\n");
    server.Publish("OTHER", "other");
    ASSERT_TRUE(PumpUntil([&] { return data.size() == 1 && otherData.size() == 1; }));
    EXPECT_EQ(data, std::vector<std::string>{"spot\r\n"});
    EXPECT_EQ(otherData, std::vector<std::string>{"other"});
}

TEST_F(DdeServerTest, DroppingConversationsClosesTheLinksAndTheServerCountsNone) {
    link.Connect("VANTROHOST", "SPOTS", "spot");
    server.DropConversations();
    ASSERT_TRUE(PumpUntil([&] { return closes == 1; }));
    EXPECT_EQ(server.Conversations(), 0);
    link.Connect("VANTROHOST", "SPOTS", "spot");
    EXPECT_EQ(server.Conversations(), 1);
    const int before = disconnects;
    link.Disconnect();
    ASSERT_TRUE(PumpUntil([&] { return disconnects > before && server.Conversations() == 0; }));
    EXPECT_EQ(closes, 1);
}

TEST_F(DdeServerTest, RefusedConnectionIsNotCounted) {
    server.onConnect = [] { return false; };
    EXPECT_THROW(link.Connect("VANTROHOST", "SPOTS", "spot"), base::Failure);
    EXPECT_EQ(server.Conversations(), 0);
}

}  // namespace
