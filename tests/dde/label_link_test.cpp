// A label's DDE link on the Windows backend, against a server in the same process: the link
// attributes, Change, LinkPoke and LinkClose as the window logic sees them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/dde_names.h"
#include "base/failure.h"
#include "platform/controls.h"
#include "tests/dde/peer_process.h"
#include "win32io/dde_server.h"

namespace {

using test::PumpFor;
using test::PumpUntil;

constexpr const char* kItem = dde_names::rotator::kItem;

class LabelLinkTest : public ::testing::Test {
  protected:
    LabelLinkTest() {
        label.OnChange = [this] { changes.push_back(label.Caption()); };
        label.OnLinkClose = [this] { ++closes; };
        server.onPoke = [this](const std::string& item, const std::string& text) {
            pokes.push_back(item + "=" + text);
            return win32io::DdeServer::PokeReply::Accept;
        };
        label.SetLinkTopic(dde_names::LinkTopic("VANTROGLUE", dde_names::rotator::kTopic));
        label.SetLinkItem(kItem);
    }

    win32io::DdeServer server{"VANTROGLUE", dde_names::rotator::kTopic};
    platform::Window window{platform::WindowDesign{"frmTest", "Test", 3000, 2000, {}}};
    platform::Label label{window, [] {
                              platform::ControlDesign design;
                              design.name = "labArsWin";
                              return design;
                          }()};
    std::vector<std::string> changes;
    std::vector<std::string> pokes;
    int closes = 0;
};

TEST_F(LabelLinkTest, HotLinkSetsTheCaptionAndRaisesChangeForEveryValue) {
    label.SetLinkMode(1);
    EXPECT_EQ(label.LinkMode(), 1);
    server.Publish(kItem, "RA:90");
    server.Publish(kItem, "RA:90");
    ASSERT_TRUE(PumpUntil([&] { return changes.size() == 2; }));
    EXPECT_EQ(changes, (std::vector<std::string>{"RA:90", "RA:90"}));
    EXPECT_EQ(label.Caption(), "RA:90");
}

TEST_F(LabelLinkTest, LinkPokeSendsTheCaption) {
    label.SetLinkMode(1);
    label.SetCaption("GA:123");
    label.LinkPoke();
    EXPECT_EQ(pokes, std::vector<std::string>{std::string(kItem) + "=GA:123"});
    server.onPoke = [](const std::string&, const std::string&) {
        return win32io::DdeServer::PokeReply::Refuse;
    };
    EXPECT_THROW(label.LinkPoke(), base::Failure);
    EXPECT_EQ(label.LinkMode(), 1);
}

TEST_F(LabelLinkTest, ServerEndingTheConversationRaisesLinkCloseAndEndsTheMode) {
    label.SetLinkMode(1);
    server.DropConversations();
    ASSERT_TRUE(PumpUntil([&] { return closes == 1; }));
    EXPECT_EQ(label.LinkMode(), 0);
    EXPECT_THROW(label.LinkPoke(), base::Failure);
}

TEST_F(LabelLinkTest, ModeZeroEndsTheLinkQuietly) {
    label.SetLinkMode(1);
    label.SetLinkMode(0);
    EXPECT_EQ(label.LinkMode(), 0);
    server.Publish(kItem, "RA:1");
    PumpFor(600);
    EXPECT_TRUE(changes.empty());
    EXPECT_EQ(closes, 0);
    EXPECT_EQ(server.Conversations(), 0);
}

TEST_F(LabelLinkTest, FailedLinkLeavesModeZero) {
    const char* topics[] = {"VANTRONOBODY|RCI", "VANTROGLUE", "VANTROGLUE|OTHER"};
    for (const char* topic : topics) {
        SCOPED_TRACE(topic);
        label.SetLinkTopic(topic);
        try {
            label.SetLinkMode(1);
            ADD_FAILURE() << "linked";
        } catch (const base::Failure& failure) {
            EXPECT_EQ(failure.Description(), "No foreign application responded to a DDE initiate");
        }
        EXPECT_EQ(label.LinkMode(), 0);
    }
    EXPECT_THROW(label.LinkPoke(), base::Failure);
}

}  // namespace
