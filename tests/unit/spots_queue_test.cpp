// The host text buffer and the taking of lines: block boundaries, memory that follows the
// backlog, the longest line, and any chunking giving the same lines as the whole stream.
#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "spots/spot_queue.h"
#include "spots/take_line.h"
#include "spots_stream_model.h"

namespace spots_test {
namespace {

constexpr std::size_t kBlock = SpotQueue::kBlockSize;
const std::string kLineEnd = "\r\n";

std::string Drain(SpotQueue& queue) {
    return queue.TakeFront(queue.Size());
}

TEST(SpotQueueTest, FindsAndTakesAcrossBlockBoundaries) {
    // A CR alone closing the first block, and a line end whose CR closes the second block and
    // whose LF opens the third.
    SpotQueue queue;
    const std::string head = std::string(kBlock - 1, 'a') + "\r" + "b";
    queue.Append(head + std::string(kBlock - 2, 'c') + "\r");
    queue.Append("\nrest");
    EXPECT_EQ(queue.Find(kLineEnd), 2 * kBlock - 1);
    EXPECT_EQ(queue.Find("\rb"), kBlock - 1);
    EXPECT_EQ(queue.Find("rest"), 2 * kBlock + 1);
    EXPECT_EQ(queue.Find("rest!"), std::string::npos);
    EXPECT_EQ(queue.Find(""), std::string::npos);

    EXPECT_EQ(queue.TakeFront(head.size()), head);
    EXPECT_EQ(queue.Find(kLineEnd), kBlock - 2);
    queue.DropFront(kBlock);
    EXPECT_EQ(Drain(queue), "rest");
    EXPECT_TRUE(queue.Empty());
}

TEST(SpotQueueTest, ALineEndAcrossBlocksEndsTheLine) {
    SpotQueue queue;
    spots::ReceiveText(queue, std::string(kBlock - 1, 'x') + "\r", kLineEnd);
    EXPECT_FALSE(spots::TakeLine(queue, kLineEnd));
    spots::ReceiveText(queue, "\nnext\r\n", kLineEnd);
    EXPECT_EQ(spots::TakeLine(queue, kLineEnd), std::string(kBlock - 1, 'x'));
    EXPECT_EQ(spots::TakeLine(queue, kLineEnd), "next");
    EXPECT_TRUE(queue.Empty());
}

TEST(SpotQueueTest, MemoryFollowsWhatWaits) {
    SpotQueue queue;
    const std::string line = std::string(61, 'x') + kLineEnd;
    for (int i = 0; i < 10000; ++i) queue.Append(line);
    const std::size_t full = queue.Capacity();
    EXPECT_LE(full, queue.Size() + 2 * kBlock);
    for (int i = 0; i < 9990; ++i) ASSERT_EQ(spots::TakeLine(queue, kLineEnd), line.substr(0, 61));
    EXPECT_EQ(queue.Size(), 10 * line.size());
    EXPECT_LE(queue.Capacity(), 3 * kBlock);  // the blocks in use and one spare
    // A steady flow through an empty queue keeps reusing the same blocks.
    for (int i = 0; i < 10000; ++i) {
        queue.Append(line);
        ASSERT_TRUE(spots::TakeLine(queue, kLineEnd));
    }
    EXPECT_LE(queue.Capacity(), 3 * kBlock);
}

struct LongLineCase {
    std::string name;
    std::vector<std::string> pieces;   // received one after the other, nothing taken between
    std::optional<std::size_t> taken;  // length of the line taken, or dropped
};

TEST(TakeLineTest, TheLongestLineIsTakenAndALongerOneDroppedHoweverItArrives) {
    const std::size_t longest = spots::kLongestLine;
    const auto text = [](std::size_t n) { return std::string(n, 'x'); };
    // `count` pieces of text, then the line end in two updates.
    const auto pieces = [](std::size_t count, const std::string& piece) {
        std::vector<std::string> all(count, piece);
        all.insert(all.end(), {"\r", "\n"});
        return all;
    };
    const std::vector<LongLineCase> cases = {
        {"longest, whole", {text(longest) + kLineEnd}, longest},
        {"one more, whole", {text(longest + 1) + kLineEnd}, std::nullopt},
        {"longest, CR then LF", {text(longest) + "\r", "\n"}, longest},
        {"one more, CR then LF", {text(longest + 1) + "\r", "\n"}, std::nullopt},
        {"two more, CR then LF", {text(longest + 2) + "\r", "\n"}, std::nullopt},
        {"a megabyte in pieces", pieces(16, text(65536)), std::nullopt},
        {"longest, byte by byte", pieces(longest, "x"), longest},
        {"one more, byte by byte", pieces(longest + 1, "x"), std::nullopt},
    };
    for (const LongLineCase& c : cases) {
        SpotQueue queue;
        for (const std::string& piece : c.pieces) {
            spots::ReceiveText(queue, piece, kLineEnd);
            ASSERT_LE(queue.Size(), longest + 3) << c.name;  // never the whole long line
        }
        spots::ReceiveText(queue, "NEXT\r\n", kLineEnd);
        const std::optional<std::string> first = spots::TakeLine(queue, kLineEnd);
        if (c.taken) {
            ASSERT_TRUE(first) << c.name;
            EXPECT_EQ(*first, text(*c.taken)) << c.name;
        } else {
            EXPECT_FALSE(first) << c.name;
        }
        EXPECT_EQ(spots::TakeLine(queue, kLineEnd), "NEXT") << c.name;
        EXPECT_TRUE(queue.Empty()) << c.name;
    }
}

TEST(TakeLineTest, ALongLineBehindCompleteLinesIsCutOnceItLeads) {
    SpotQueue queue;
    spots::ReceiveText(queue, "A\r\n" + std::string(100000, 'x'), kLineEnd);
    EXPECT_EQ(queue.Size(), 100003u);  // waits whole behind "A"
    EXPECT_EQ(spots::TakeLine(queue, kLineEnd), "A");
    EXPECT_EQ(queue.Size(), spots::kLongestLine + 2);
    spots::ReceiveText(queue, "\r\nB\r\n", kLineEnd);
    EXPECT_FALSE(spots::TakeLine(queue, kLineEnd));
    EXPECT_EQ(spots::TakeLine(queue, kLineEnd), "B");
    EXPECT_TRUE(queue.Empty());
}

// Random text rich in line ends, stray CR and LF, empty lines and now and then a line too long.
std::string RandomStream(std::mt19937& random) {
    std::string stream;
    std::uniform_int_distribution<int> pick(0, 99);
    while (stream.size() < 200000) {
        const int kind = pick(random);
        if (kind < 40)
            stream += "\r\n";
        else if (kind < 45)
            stream += '\r';
        else if (kind < 50)
            stream += '\n';
        else if (kind < 51)
            stream += std::string(spots::kLongestLine - 2 + pick(random) % 5, 'L');
        else
            stream += std::string(1 + pick(random) % 70, static_cast<char>('a' + kind % 26));
    }
    return stream;
}

TEST(TakeLineTest, AnyChunkingGivesTheLinesOfTheWholeStream) {
    std::mt19937 random(4242);
    for (int round = 0; round < 20; ++round) {
        const std::string stream = RandomStream(random);
        const CutStream whole = CutWhole(stream);
        ASSERT_FALSE(whole.lines.empty());

        SpotQueue queue;
        std::vector<std::string> taken;
        std::uniform_int_distribution<std::size_t> chunk(0, round % 2 ? 40 : 5000);
        std::uniform_int_distribution<int> takes(0, 3);
        for (std::size_t at = 0; at < stream.size();) {
            const std::size_t size = std::min(chunk(random), stream.size() - at);
            spots::ReceiveText(queue, std::string_view(stream).substr(at, size), kLineEnd);
            at += size;
            for (int i = takes(random); i > 0; --i)
                if (auto line = spots::TakeLine(queue, kLineEnd)) taken.push_back(*line);
        }
        for (std::size_t before = queue.Size() + 1; queue.Size() != before;) {
            before = queue.Size();
            if (auto line = spots::TakeLine(queue, kLineEnd)) taken.push_back(*line);
        }
        ASSERT_EQ(taken.size(), whole.lines.size()) << "round " << round;
        for (std::size_t i = 0; i < taken.size(); ++i)
            ASSERT_TRUE(taken[i] == whole.lines[i]) << "round " << round << ", line " << i;
        EXPECT_TRUE(Drain(queue) == WaitingRest(whole)) << "round " << round;
    }
}

}  // namespace
}  // namespace spots_test
