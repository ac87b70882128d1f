#include "tools/host_sim/feed.h"

#include <algorithm>

namespace tools {

namespace {
std::vector<std::string> Lines(const std::string& feed) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < feed.size()) {
        const std::size_t end = feed.find("\r\n", start);
        const std::size_t next = end == std::string::npos ? feed.size() : end + 2;
        lines.push_back(feed.substr(start, next - start));
        start = next;
    }
    return lines;
}

// Where the n-th line is cut in two: in turn its middle, between CR and LF, after its first byte.
std::size_t CutOf(const std::string& line, std::size_t n) {
    switch (n % 3) {
        case 0:
            return line.size() / 2;
        case 1:
            return line.size() >= 2 && line.ends_with("\r\n") ? line.size() - 1 : line.size() / 2;
        default:
            return 1;
    }
}
}  // namespace

std::vector<std::string> MakeUpdates(const std::string& feed, Chunking chunking,
                                     int linesPerBlock) {
    const std::vector<std::string> lines = Lines(feed);
    std::vector<std::string> updates;
    switch (chunking) {
        case Chunking::Lines:
            return lines;
        case Chunking::Split:
            for (std::size_t n = 0; n < lines.size(); ++n) {
                const std::size_t cut = std::min(CutOf(lines[n], n), lines[n].size());
                if (cut > 0) updates.push_back(lines[n].substr(0, cut));
                if (cut < lines[n].size()) updates.push_back(lines[n].substr(cut));
            }
            return updates;
        case Chunking::Block: {
            const std::size_t size = static_cast<std::size_t>(std::max(linesPerBlock, 1));
            for (std::size_t n = 0; n < lines.size(); n += size) {
                std::string block;
                for (std::size_t k = n; k < std::min(n + size, lines.size()); ++k)
                    block += lines[k];
                updates.push_back(std::move(block));
            }
            return updates;
        }
    }
    return updates;
}

}  // namespace tools
