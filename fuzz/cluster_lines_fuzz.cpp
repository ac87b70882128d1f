// Arbitrary bytes from a cluster node: the line reader, fed in pieces, and every line and the
// partial text classified. No 0xFF or control byte may reach a line, no line may pass the limit,
// no telnet option may be refused twice, and the pieces must not change the lines.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "bridges/cluster/core/cluster_line.h"
#include "bridges/cluster/core/line_reader.h"

namespace {

void Check(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "cluster_lines_fuzz: %s\n", what);
    std::abort();
}

bool IsClean(std::string_view text) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || byte == 0xFF) return false;
    }
    return true;
}

void CheckClassified(std::string_view text) {
    const cluster::ClusterLine line = cluster::ClassifyLine(text);
    const bool isSpot =
        line.kind == cluster::LineKind::Spot || line.kind == cluster::LineKind::BacklogSpot;
    Check(line.spot.has_value() == isSpot, "a spot record without a spot kind, or the reverse");
    if (!line.spot) return;
    const cluster::Spot& spot = *line.spot;
    Check(spot.frequencyKhz > 0 && !spot.frequencyText.empty(), "a spot without a frequency");
    Check(spot.time.size() == 4 && !spot.dxCall.empty() && !spot.spotter.empty(),
          "a spot without time, DX call or spotter");
    Check(IsClean(spot.comment) && IsClean(spot.dxCall) && IsClean(spot.spotter),
          "a spot field with a control byte");
}

// Feeds the bytes in pieces whose sizes come from the seed; gives the lines, the partial text
// and the replies.
struct Read {
    std::vector<std::string> lines;
    std::string partial;
    std::string replies;
};
Read ReadInPieces(std::string_view bytes, unsigned seed) {
    cluster::LineReader reader;
    Read read;
    while (!bytes.empty()) {
        const std::size_t size =
            seed == 0 ? bytes.size() : 1 + (seed = seed * 1103515245 + 12345) % 13;
        reader.Feed(bytes.substr(0, size));
        bytes.remove_prefix(std::min(size, bytes.size()));
        read.replies += reader.TakeReplies();
        while (auto line = reader.TakeLine()) {
            Check(line->text.size() <= cluster::LineReader::kLineLimit, "a line over the limit");
            Check(IsClean(line->text), "a control byte or 0xFF in a line");
            read.lines.push_back(std::move(line->text));
        }
        Check(reader.Partial().size() <= cluster::LineReader::kLineLimit, "partial over the limit");
        Check(IsClean(reader.Partial()), "a control byte or 0xFF in the partial text");
    }
    read.partial = std::string(reader.Partial());
    return read;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    const Read whole = ReadInPieces(bytes, 0);
    const Read pieces = ReadInPieces(bytes, data[0] + 1u);
    Check(whole.lines == pieces.lines && whole.partial == pieces.partial &&
              whole.replies == pieces.replies,
          "the pieces changed what was read");

    Check(whole.replies.size() % 3 == 0, "a reply that is no three-byte refusal");
    std::set<std::string> refusals;
    for (std::size_t at = 0; at < whole.replies.size(); at += 3) {
        const std::string refusal = whole.replies.substr(at, 3);
        Check(refusal[0] == '\xff' && (refusal[1] == '\xfc' || refusal[1] == '\xfe'),
              "a reply that is not WONT or DONT");
        Check(refusals.insert(refusal).second, "an option refused twice");
    }
    for (const auto& line : whole.lines) CheckClassified(line);
    CheckClassified(whole.partial);
    return 0;
}
