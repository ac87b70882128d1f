#include "spots/list_line.h"

namespace spots {

namespace {

void AppendLeft(std::string& line, std::string_view text, std::size_t width) {
    text = text.substr(0, width);
    line.append(text);
    line.append(width - text.size(), ' ');
}

void AppendRight(std::string& line, std::string_view text, std::size_t width) {
    if (text.size() > width) text.remove_prefix(text.size() - width);
    line.append(width - text.size(), ' ');
    line.append(text);
}

}  // namespace

std::string ListLine(std::string_view callsign, std::string_view frequency,
                     std::string_view heading, std::string_view distance) {
    std::string line;
    line.reserve(kListLineLength);
    AppendLeft(line, callsign, 10);
    AppendRight(line, frequency, 10);
    AppendRight(line, heading, 5);
    AppendRight(line, distance, 7);
    return line;
}

}  // namespace spots
