// The host simulator: how it cuts its feed into updates, and what a client linked to it gets.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "base/dde_names.h"
#include "base/failure.h"
#include "tests/dde/peer_process.h"
#include "tools/host_sim/feed.h"
#include "win32io/dde_link.h"

namespace {

using tools::Chunking;
namespace host = dde_names::host;

TEST(HostFeedTest, UpdatesAreTheFeedCutAsAsked) {
    const std::string feed = "one\r\ntwo\r\nthree\r\ntail";
    const struct {
        Chunking chunking;
        int linesPerBlock;
        std::vector<std::string> updates;
    } cases[] = {
        {Chunking::Lines, 1, {"one\r\n", "two\r\n", "three\r\n", "tail"}},
        {Chunking::Block, 2, {"one\r\ntwo\r\n", "three\r\ntail"}},
        {Chunking::Block, 0, {"one\r\n", "two\r\n", "three\r\n", "tail"}},
        // In the middle, between CR and LF, after the first byte, in the middle again.
        {Chunking::Split, 1, {"on", "e\r\n", "two\r", "\n", "t", "hree\r\n", "ta", "il"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.chunking));
        EXPECT_EQ(tools::MakeUpdates(feed, c.chunking, c.linesPerBlock), c.updates);
    }
    EXPECT_TRUE(tools::MakeUpdates("", Chunking::Split, 1).empty());
    EXPECT_EQ(tools::MakeUpdates("\r\n\r\n", Chunking::Split, 1),
              (std::vector<std::string>{"\r", "\n", "\r", "\n"}));
}

TEST(HostSimulatorTest, LinkedClientGetsTheWholeFeedAndItsPokesAreRefused) {
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    const std::string path = std::string(folder) + "vantro_host_sim_test.txt";
    const std::string feed =
        "DX\xFF"
        "K1ABC\xFF"
        "14025.0\xFF"
        "0\xFF"
        "1200Z\xFF"
        "290\xFF"
        "6543\xFF"
        "0\r\n"
        "DX\xFF"
        "JA1XYZ\xFF"
        "7010.5\xFF"
        "0\xFF"
        "1201Z\xFF"
        "35\xFF"
        "9000\xFF"
        "1\r\n";
    std::ofstream(path, std::ios::binary) << feed;

    test::PeerProcess host(
        "..\\tools\\host_sim\\host_sim.exe",
        std::string("--name ") + host::kService32 + " --interval 20 --chunk split --once --file " +
            path,
        "offering " + dde_names::ItemAddress(host::kService32, host::kTopic, host::kItem));
    win32io::DdeLink link;
    std::string received;
    int updates = 0;
    link.onData = [&](const std::string& text) {
        received += text;
        ++updates;
    };
    link.Connect(host::kService32, host::kTopic, host::kItem);
    EXPECT_TRUE(host.Reported("end of the feed"));
    ASSERT_TRUE(test::PumpUntil([&] { return received.size() >= feed.size(); }));
    EXPECT_EQ(received, feed);
    EXPECT_EQ(updates, 4);
    EXPECT_THROW(link.Poke("GA:1"), base::Failure);
    DeleteFileA(path.c_str());
}

}  // namespace
