#include "bridges/cluster/core/host_spot_line.h"

namespace cluster {

namespace {
constexpr char kSeparator = '\xFF';

void AppendField(std::string& line, std::string_view text) {
    for (const char c : text)
        if (c != kSeparator && c != '\r' && c != '\n') line += c;
    line += kSeparator;
}
}  // namespace

std::string HostSpotLine(const HostSpot& spot) {
    std::string line;
    AppendField(line, spot.spotter);
    AppendField(line, spot.dxCall);
    AppendField(line, spot.frequency);
    AppendField(line, "0");
    AppendField(line, spot.time);
    AppendField(line, std::to_string(spot.heading));
    AppendField(line, std::to_string(spot.distance));
    line += spot.miles ? '1' : '0';
    return line + "\r\n";
}

}  // namespace cluster
