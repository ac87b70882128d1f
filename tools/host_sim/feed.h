#pragma once
// The host simulator's feed: spot text cut into the updates it publishes, the way a host passes
// text on, a line at a time or otherwise.
#include <string>
#include <vector>

namespace tools {

enum class Chunking {
    Lines,  // one whole line, with its line end, per update
    Split,  // each line in two updates, cut in turn in its middle, between its CR and LF, and
            // after its first character
    Block,  // several whole lines per update
};

// The updates for a feed text; together they are the text exactly. Lines end with CR LF; a last
// line without one is an update of its own. linesPerBlock is used by Block only (at least 1).
std::vector<std::string> MakeUpdates(const std::string& feed, Chunking chunking, int linesPerBlock);

}  // namespace tools
