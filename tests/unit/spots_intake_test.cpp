// The spot intake through the window: host text received on labDDE, one line a tick onto the
// station list, the host link's state, the retry count, the longest line and the sample feed.
#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "headless_peers.h"
#include "spots/take_line.h"
#include "spots_fixture.h"

namespace spots_test {
namespace {

using Calls = std::vector<std::string>;
const std::string kEnd = "\r\n";

class IntakeTest : public SpotsTest {
  protected:
    int TraceCount(const std::string& prefix) const {
        const auto& trace = headless::Trace();
        return static_cast<int>(std::count_if(trace.begin(), trace.end(), [&](const auto& entry) {
            return entry.rfind(prefix, 0) == 0;
        }));
    }
};

// Steps of host text and ticks, with the list's callsigns after each tick.
struct Step {
    std::string receive;
    Calls after;  // checked after one tick
};
struct ChunkCase {
    std::string name;
    std::vector<Step> steps;
};

TEST_F(IntakeTest, OneLineATickWhateverTheChunking) {
    const std::string a = Spot("A"), b = Spot("B"), c = Spot("C");
    const std::vector<ChunkCase> cases = {
        {"two lines in one update",
         {{a + kEnd + b + kEnd, {"A"}}, {"", {"A", "B"}}, {"", {"A", "B"}}}},
        {"a line in two updates", {{a.substr(0, 9), {}}, {a.substr(9), {}}, {kEnd, {"A"}}}},
        {"CR and LF in two updates", {{a + "\r", {}}, {"\n", {"A"}}}},
        {"CR LF in the next line's update", {{a, {}}, {kEnd + b, {"A"}}, {kEnd, {"A", "B"}}}},
        {"an empty line costs a tick", {{kEnd + a + kEnd, {}}, {"", {"A"}}}},
        {"two empty lines", {{kEnd + kEnd + a + kEnd, {}}, {"", {}}, {"", {"A"}}}},
        {"a CR or an LF alone stays in the line",
         {{Spot({"W1\nAW", "A", "1", "0", "12\r34Z", "9", "9", "0"}) + "\n\r" + kEnd + b + kEnd,
           {"A"}},
          {"", {"A", "B"}}}},
        {"a dropped line costs its tick too",
         {{Spot({"x", "X", "1", "-32768", "x", "1", "1", "0"}) + kEnd + c + kEnd, {}},
          {"", {"C"}}}},
    };
    for (const ChunkCase& c : cases) {
        frmRCI& form = Start();
        form.HostLinked = base::kTrue;
        for (const Step& step : c.steps) {
            if (!step.receive.empty()) Receive(step.receive);
            Tick();
            EXPECT_EQ(Callsigns(), step.after) << c.name;
        }
        EXPECT_TRUE(form.SpotBuffer.Empty()) << c.name;
    }
}

TEST_F(IntakeTest, TextWaitsWhileTheHostLinkIsDownAndIsListedInOrderOnceItIsBack) {
    headless::DdeServer& host = peers::AddHost();
    frmRCI& form = Start();
    host.Publish(dde_names::host::kItem,
                 Spot("A") + kEnd + Spot("B") + kEnd + Spot("C").substr(0, 4));
    host.DropConversations();
    ASSERT_FALSE(base::IsTrue(form.HostLinked));
    Receive(Spot("C").substr(4) + kEnd);  // text that still comes in while the link is down
    const std::size_t waiting = form.SpotBuffer.Size();

    Tick(9);
    EXPECT_EQ(Callsigns(), Calls{});
    EXPECT_EQ(form.SpotBuffer.Size(), waiting);

    Tick();  // the tenth: the link is back, and the same tick takes the oldest line
    ASSERT_TRUE(base::IsTrue(form.HostLinked));
    EXPECT_EQ(Callsigns(), Calls{"A"});
    host.Publish(dde_names::host::kItem, Spot("D") + kEnd);
    Tick(4);
    EXPECT_EQ(Callsigns(), (Calls{"A", "B", "C", "D"}));
}

TEST_F(IntakeTest, LinksDownAreRetriedEveryTenthTickHostFirstAndQuietly) {
    frmRCI& form = Start();  // neither program answers
    const std::size_t messages = headless::Messages().size();
    headless::ClearTrace();
    Tick(9);
    EXPECT_EQ(form.RetryTicks, 9);
    EXPECT_EQ(TraceCount("Label.labDDE.LinkMode 1"), 0);
    EXPECT_EQ(TraceCount("Label.labArsWin.LinkMode 1"), 0);

    Tick();
    EXPECT_EQ(form.RetryTicks, 0);
    const auto& trace = headless::Trace();
    ASSERT_FALSE(trace.empty());
    EXPECT_EQ(trace.front().rfind(peers::kHostLinkOpened, 0), 0u);
    EXPECT_EQ(TraceCount(peers::kRotatorLinkOpened), 1);

    Tick(20);
    EXPECT_EQ(TraceCount(peers::kHostLinkOpened), 3);
    EXPECT_EQ(TraceCount(peers::kRotatorLinkOpened), 3);
    EXPECT_EQ(headless::Messages().size(), messages);
}

TEST_F(IntakeTest, WithTheHostUpOnlyTheRotatorIsRetriedAndSpotsKeepComing) {
    StartLinked();
    for (int i = 0; i < 25; ++i) Receive(Spot("K" + std::to_string(i)) + kEnd);
    headless::ClearTrace();
    Tick(25);
    EXPECT_EQ(Callsigns().size(), 25u);
    EXPECT_EQ(Callsigns().back(), "K24");
    EXPECT_EQ(TraceCount("Label.labDDE.LinkMode"), 0);
    EXPECT_EQ(TraceCount("Label.labArsWin.LinkMode 1"), 2);
}

TEST_F(IntakeTest, AFieldFourThatCannotBeReadIsNotTheMarkAndTheSpotIsListed) {
    StartLinked();
    // A hexadecimal number too long for 32 bits is an overflow in the numeric rule.
    Receive(Spot({"x", "HEX", "1", "&H123456789", "x", "1", "1", "0"}) + kEnd + Spot("B") + kEnd);
    Tick(2);
    EXPECT_EQ(Callsigns(), (Calls{"HEX", "B"}));
    EXPECT_TRUE(headless::SwallowedFailures().empty());
}

TEST_F(IntakeTest, TheLongestLineIsListedALongerOneDroppedAndNoneKeptWhole) {
    frmRCI& form = StartLinked();
    // Spot lines of an exact length: field 1, which the list does not show, makes it up.
    const auto spotOfLength = [](std::size_t length, std::string_view call) {
        const std::string rest = Spot({"", call, "14025.0", "0", "1234Z", "47", "7311", "0"});
        return std::string(length - rest.size(), 'S') + rest;
    };
    Receive(spotOfLength(spots::kLongestLine, "LONGEST") + kEnd);
    Receive(spotOfLength(spots::kLongestLine + 1, "TOOLONG") + kEnd + Spot("NEXT") + kEnd);
    Tick();
    EXPECT_EQ(Callsigns(), Calls{"LONGEST"});
    Tick();  // the line too long goes, and costs its tick
    EXPECT_EQ(Callsigns(), Calls{"LONGEST"});
    Tick();
    EXPECT_EQ(Callsigns(), (Calls{"LONGEST", "NEXT"}));

    // A megabyte without a line end, in pieces, with ticks between them: never kept whole.
    for (int i = 0; i < 16; ++i) {
        Receive(std::string(65536, 'z'));
        Tick();
        EXPECT_LE(form.SpotBuffer.Size(), spots::kLongestLine + 2);
    }
    Receive(kEnd + Spot("AFTER") + kEnd);
    Tick();
    EXPECT_EQ(Callsigns().back(), "NEXT");
    Tick();
    EXPECT_EQ(Callsigns().back(), "AFTER");
}

// A plain model of the list: what it must hold after each accepted spot.
void ModelAdd(Calls& model, const std::string& call) {
    if (model.size() >= 100) model.erase(model.begin(), model.begin() + 20);
    model.push_back(call);
}

TEST_F(IntakeTest, TheListFollowsAPlainModelAfterEveryStep) {
    std::mt19937 random(1717);
    std::uniform_int_distribution<int> pick(0, 99);
    frmRCI& form = Start();
    form.HostLinked = base::kTrue;
    std::vector<std::pair<std::string, bool>> pending;  // callsign, listed
    Calls model;
    for (int step = 0, serial = 0; step < 3000; ++step) {
        const int what = pick(random);
        if (what < 35) {  // a spot arrives, listed or not
            const std::string call = "S" + std::to_string(serial++);
            const int kind = pick(random);
            const char* mark = kind < 15 ? "-32768" : "0";
            std::string line = kind >= 15 && kind < 25
                                   ? Spot({"x", call, "1", "0", "x", "1", "1"})  // 7 fields
                                   : Spot({"x", call, "1", mark, "x", "1", "1", "1"});
            Receive(line + kEnd);
            pending.emplace_back(call, kind >= 25);
        } else if (what < 40) {
            form.HostLinked = base::Not(form.HostLinked);
        } else {
            Tick();
            if (base::IsTrue(form.HostLinked) && !pending.empty()) {
                if (pending.front().second) ModelAdd(model, pending.front().first);
                pending.erase(pending.begin());
            }
            ASSERT_EQ(Callsigns(), model) << "step " << step;
            ASSERT_EQ(form.lstStations.ListIndex(), static_cast<int>(model.size()) - 1);
        }
    }
    EXPECT_GT(model.size(), 80u);  // the 100-line limit was met on the way
}

// The synthetic host feed with what it must show: the list line and the distance caption of
// every spot that is listed, in order.
struct Feed {
    std::string text;
    std::vector<std::pair<std::string, std::string>> listed;
};

Feed ReadSampleFeed() {
    Feed feed;
    std::ifstream text(VANTRO_SOURCE_DIR "/samples/spots.txt", std::ios::binary);
    feed.text.assign(std::istreambuf_iterator<char>(text), {});
    std::ifstream expected(VANTRO_SOURCE_DIR "/samples/spots.expected.txt", std::ios::binary);
    for (std::string line; std::getline(expected, line);) {
        const std::size_t bar = line.rfind('|');
        feed.listed.emplace_back(line.substr(0, bar), line.substr(bar + 1));
    }
    return feed;
}

TEST_F(IntakeTest, TheSampleFeedIsListedAsExpectedUnderAnyChunking) {
    const Feed feed = ReadSampleFeed();
    ASSERT_GT(feed.listed.size(), 200u);
    std::mt19937 random(99);
    for (std::size_t largest :
         {feed.text.size(), std::size_t{1}, std::size_t{7}, std::size_t{300}}) {
        frmRCI& form = StartLinked();
        std::uniform_int_distribution<std::size_t> chunk(1, largest);
        std::size_t seen = 0, at = 0;
        while (at < feed.text.size() || !form.SpotBuffer.Empty()) {
            if (at < feed.text.size()) {
                const std::size_t size = std::min(chunk(random), feed.text.size() - at);
                Receive(feed.text.substr(at, size));
                at += size;
            }
            const int before = form.lstStations.ListCount();
            Tick();
            if (form.lstStations.ListCount() == before) continue;
            ASSERT_LT(seen, feed.listed.size());
            const int last = form.lstStations.ListCount() - 1;
            EXPECT_EQ(form.lstStations.List(last), feed.listed[seen].first) << "spot " << seen;
            EXPECT_EQ(form.labDist.Caption(), feed.listed[seen].second) << "spot " << seen;
            EXPECT_EQ(form.lstStations.ListIndex(), last);
            ++seen;
        }
        EXPECT_EQ(seen, feed.listed.size()) << "pieces up to " << largest;
        // 232 spots: back to 81 at the 101st, 121st ... 221st, then 11 more.
        EXPECT_EQ(form.lstStations.ListCount(), 92);
    }
}

}  // namespace
}  // namespace spots_test
