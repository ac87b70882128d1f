// The intake under any arrival of text: arbitrary pieces (and long runs of one byte, so that
// lines too long come cheaply) received, and lines taken, in an order the input decides. The
// lines taken must be those of the whole stream, in order, with only the lines too long left
// out; what waits at the end is the stream's rest (only the end of a rest too long to be a line);
// and text with no line end never waits beyond the length that proves its line too long.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "spots/spot_queue.h"
#include "spots/take_line.h"
#include "tests/unit/spots_stream_model.h"

namespace {

void Check(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "intake_fuzz: %s\n", what);
    std::abort();
}

const std::string kLineEnd = "\r\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    SpotQueue queue;
    std::string stream;
    std::vector<std::string> taken;
    const auto receive = [&](const std::string& text) {
        stream += text;
        spots::ReceiveText(queue, text, kLineEnd);
    };
    while (input.remaining_bytes() > 0) {
        switch (input.ConsumeIntegralInRange(0, 3)) {
            case 0: {
                const std::size_t before = queue.Size();
                if (auto line = spots::TakeLine(queue, kLineEnd)) {
                    Check(line->size() <= spots::kLongestLine, "a line too long was taken");
                    Check(before - queue.Size() >= line->size() + kLineEnd.size(), "bytes kept");
                    taken.push_back(*line);
                }
                break;
            }
            case 1: {
                // A run of one byte, often of about the longest line's length, so that lines meet
                // the limit exactly.
                const std::size_t length =
                    input.ConsumeBool()
                        ? spots::kLongestLine - 2 + input.ConsumeIntegralInRange<std::size_t>(0, 4)
                        : input.ConsumeIntegralInRange<std::size_t>(0, 34000);
                receive(std::string(length, input.ConsumeIntegral<char>()));
                break;
            }
            default:
                receive(input.ConsumeRandomLengthString(300));
        }
        Check(queue.Find(kLineEnd) != std::string::npos ||
                  queue.Size() <= spots::kLongestLine + kLineEnd.size(),
              "text with no line end kept beyond the longest line");
    }
    for (std::size_t before = queue.Size() + 1; queue.Size() != before;) {
        before = queue.Size();
        if (auto line = spots::TakeLine(queue, kLineEnd)) taken.push_back(*line);
    }

    const spots_test::CutStream whole = spots_test::CutWhole(stream);
    Check(taken == whole.lines, "the lines taken are not those of the whole stream");
    Check(queue.TakeFront(queue.Size()) == spots_test::WaitingRest(whole), "the rest differs");
    return 0;
}
