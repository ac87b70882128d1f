#include "bridges/rotator/core/rotctld_client.h"

#include <vector>

#include "bridges/rotator/core/rotctld_protocol.h"

namespace rotbridge {

namespace {
constexpr std::size_t kDumpStateLineLimit = 200;
// Backends with many levels and functions describe themselves at length.
constexpr std::size_t kDumpCapsLineLimit = 1000;

Outcome LinkFailed(std::string detail) {
    return {Outcome::Kind::LinkFailed, std::move(detail)};
}

Outcome Refused(int code) {
    return {Outcome::Kind::Refused, "RPRT " + std::to_string(code) + " (" + ErrorText(code) + ")"};
}

Outcome Unexpected(const std::string& line) {
    return LinkFailed("unexpected answer \"" + line.substr(0, 40) + "\"");
}
}  // namespace

Outcome RotctldClient::Send(const std::string& line) {
    if (!connection_.SendLine(line)) return LinkFailed(connection_.LastError());
    return {};
}

Outcome RotctldClient::Read(std::string& line) {
    auto received = connection_.ReadLine();
    if (!received) return LinkFailed(connection_.LastError());
    line = std::move(*received);
    return {};
}

Outcome RotctldClient::SetPosition(double azimuth) {
    std::string line;
    if (Outcome o = Send(SetPositionCommand(azimuth)); !o.Done()) return o;
    if (Outcome o = Read(line); !o.Done()) return o;
    const auto code = ReportCode(line);
    if (!code) return Unexpected(line);
    return *code == 0 ? Outcome{} : Refused(*code);
}

Outcome RotctldClient::GetPosition(double& azimuth) {
    std::string first;
    std::string second;
    if (Outcome o = Send(std::string(kGetPositionCommand)); !o.Done()) return o;
    if (Outcome o = Read(first); !o.Done()) return o;
    if (const auto code = ReportCode(first)) return *code != 0 ? Refused(*code) : Unexpected(first);
    if (Outcome o = Read(second); !o.Done()) return o;  // the elevation, not used
    const auto value = AngleValue(first);
    if (!value || !AngleValue(second)) return Unexpected(value ? second : first);
    azimuth = *value;
    return {};
}

Outcome RotctldClient::ReadDump(std::size_t lineLimit, std::vector<std::string>& lines) {
    for (std::size_t i = 0; i < lineLimit; ++i) {
        std::string line;
        if (Outcome o = Read(line); !o.Done()) return o;
        if (const auto code = ReportCode(line)) return *code != 0 ? Refused(*code) : Outcome{};
        lines.push_back(std::move(line));
    }
    return LinkFailed("an answer without an end");
}

Outcome RotctldClient::GetRange(AzimuthRange& range) {
    if (Outcome o = Send(std::string(kDumpStateCommand)); !o.Done()) return o;
    std::vector<std::string> lines;
    if (Outcome o = ReadDump(kDumpStateLineLimit, lines); !o.Done()) return o;
    const auto found = RangeFromDumpState(lines);
    if (!found) return {Outcome::Kind::Refused, "no azimuth range in its answer"};
    range = *found;
    return {};
}

Outcome RotctldClient::GetModel(std::string& model) {
    if (Outcome o = Send(std::string(kDumpCapsCommand)); !o.Done()) return o;
    std::vector<std::string> lines;
    if (Outcome o = ReadDump(kDumpCapsLineLimit, lines); !o.Done()) return o;
    const auto found = ModelFromDumpCaps(lines);
    if (!found) return {Outcome::Kind::Refused, "no model in its answer"};
    model = *found;
    return {};
}

}  // namespace rotbridge
