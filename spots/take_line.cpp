#include "spots/take_line.h"

namespace spots {

namespace {

// With no line end anywhere, all that waits is the start of one line. Keeping its last
// kLongestLine + lineEnd.size() characters is enough: a line end can then only start at position
// kLongestLine + 1 (counted from 0) or later, so the line is still found too long.
void LetGoOfOverlongStart(SpotQueue& queue, std::string_view lineEnd) {
    const std::size_t keep = kLongestLine + lineEnd.size();
    if (lineEnd.empty() || queue.Size() <= keep) return;
    if (queue.Find(lineEnd) != std::string::npos) return;
    queue.DropFront(queue.Size() - keep);
}

}  // namespace

void ReceiveText(SpotQueue& queue, std::string_view text, std::string_view lineEnd) {
    queue.Append(text);
    LetGoOfOverlongStart(queue, lineEnd);
}

std::optional<std::string> TakeLine(SpotQueue& queue, std::string_view lineEnd) {
    const std::size_t length = queue.Find(lineEnd);
    if (length == std::string::npos) return std::nullopt;
    std::optional<std::string> line;
    if (length <= kLongestLine)
        line = queue.TakeFront(length, lineEnd.size());
    else
        queue.DropFront(length + lineEnd.size());
    LetGoOfOverlongStart(queue, lineEnd);  // the line that now leads may be one too long
    return line;
}

}  // namespace spots
