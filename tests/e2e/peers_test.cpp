// A station in the list turns the rotator by a double-click or by Enter: the keys and clicks reach
// the list through the window's message loop. The test plays the host and the rotator program.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "harness.h"
#include "tools/dde_server.h"

namespace {

// A spot as the host sends it: fields split by the byte 255, the line ended by CR LF.
const char kSpot[] =
    "DL1AA\xFFK1ABC\xFF"
    "14025.0\xFF"
    "0\xFF"
    "1234Z\xFF"
    "47\xFF"
    "7311\xFF"
    "0\r\n";

TEST(StationKeysTest, DoubleClickAndEnterOnAStationTurnTheRotator) {
    tools::DdeServer host("WENDRA", "WENDATA");
    tools::DdeServer rotator("ARSWIN", "RCI");
    std::vector<std::string> commands;
    rotator.onPoke = [&](const std::string&, const std::string& text) {
        commands.push_back(text);
        return tools::DdeServer::PokeReply::Accept;
    };

    e2e::Program program;
    const HWND list = program.StationList();
    ASSERT_NE(list, nullptr);
    // Both links are up once the rotator has been asked for its azimuth.
    ASSERT_TRUE(e2e::WaitUntil([&] { return !commands.empty(); })) << "no link to the rotator";
    EXPECT_EQ(commands.front(), "RA:");

    host.Publish("labDxSpot", kSpot);
    ASSERT_TRUE(e2e::WaitUntil([&] { return program.ListLines(list).size() == 1; }));
    EXPECT_EQ(program.SelectedIndex(list), 0);

    program.DoubleClickLine(list, 0);
    EXPECT_TRUE(e2e::WaitUntil([&] { return commands.size() == 2; })) << "double-click";
    program.PressEnter(list);
    EXPECT_TRUE(e2e::WaitUntil([&] { return commands.size() == 3; })) << "Enter";
    // The spot's beam heading is 47 degrees.
    EXPECT_EQ(commands, (std::vector<std::string>{"RA:", "GA:47", "GA:47"}));
}

}  // namespace
