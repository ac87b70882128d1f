#pragma once
// The text protocol of Hamlib's rotctld: one command per line, answers one value per line, set
// commands answered by "RPRT n" (0 for success, a negative Hamlib error code otherwise).
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "bridges/rotator/core/heading.h"

namespace rotbridge {

// "P az 0": rotctld reads two values and waits for the second, so the elevation is always sent.
std::string SetPositionCommand(double azimuth);
// "p": answered by two lines, azimuth and elevation, or by one "RPRT n" line on failure.
inline constexpr std::string_view kGetPositionCommand = "p";
// The extended forms of dump_state and dump_caps: their answers, of any length, end with an
// "RPRT n" line.
inline constexpr std::string_view kDumpStateCommand = "+\\dump_state";
inline constexpr std::string_view kDumpCapsCommand = "+\\dump_caps";

// The code of an "RPRT n" line; nothing for any other line.
std::optional<int> ReportCode(std::string_view line);

// A number of degrees as rotctld writes it ("48.18", "-180.000000"); nothing for anything else.
std::optional<double> AngleValue(std::string_view line);

// The azimuth range in the lines of a dump_state answer. Hamlib has written it as
// "Minimum Azimuth: -180.000000" (extended answer) and as "min_az=-180.000000"; both are read.
std::optional<AzimuthRange> RangeFromDumpState(const std::vector<std::string>& lines);

// The rotator's maker and model in the lines of a dump_caps answer ("Mfg name:" and "Model
// name:", "Hamlib Dummy"); nothing when neither is there. Control characters become spaces and
// the text is cut at 60 characters: it comes from the network.
std::optional<std::string> ModelFromDumpCaps(const std::vector<std::string>& lines);

// What a Hamlib error code means, for the bridge's output.
std::string ErrorText(int code);

// Cuts received bytes into lines at "\n", dropping a "\r" before it. A line longer than the limit
// means the peer is not rotctld, or is broken; the buffer then reports an overflow.
class LineBuffer {
  public:
    static constexpr std::size_t kLimit = 4096;

    void Append(std::string_view bytes);
    std::optional<std::string> TakeLine();
    bool Overflowed() const { return overflowed_; }
    void Clear();

  private:
    std::string bytes_;
    bool overflowed_ = false;
};

}  // namespace rotbridge
