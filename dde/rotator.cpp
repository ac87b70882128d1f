// Rotator commands ("GA:" heading, "RA:" query) and the rotator's azimuth reports.
#include <exception>
#include <limits>

#include "app/frmRCI.h"
#include "base/failure.h"
#include "base/numeric.h"
#include "base/text.h"
#include "compass/compass.h"

namespace {
// Characters 21 to 25 of a station line: its heading column.
constexpr std::size_t kHeadingColumn = 20, kHeadingWidth = 5;
}  // namespace

void frmRCI::SendRotatorCommand(const std::string& command) {
    labArsWin.SetCaption(command);  // raises labArsWin_Change, which ignores commands
    labArsWin.LinkPoke();
}

void frmRCI::lstStations_DblClick() {
    // Any failure ends the action silently: a refused poke is the rotator program's business,
    // and a lost link shows itself through its own events.
    try {
        if (!base::IsTrue(RotatorLinked)) return;
        const int index = lstStations.ListIndex();
        if (index < 0) return;
        const std::string line = lstStations.List(index);
        const std::string heading = base::TrimSpaces(
            line.size() > kHeadingColumn ? line.substr(kHeadingColumn, kHeadingWidth) : "");
        if (heading.empty()) return;
        SendRotatorCommand("GA:" + heading);
    } catch (const std::exception&) {
    }
}

void frmRCI::lstStations_KeyPress(std::int16_t& KeyAscii) {
    if (KeyAscii == 13) lstStations_DblClick();
}

void frmRCI::cmdGo_Click() {
    const std::int32_t whole = base::ToInt32(base::NumericValue(labSel.Caption()));
    const auto heading = static_cast<std::int16_t>(whole % 360);  // 360 sends 0
    // A busy or refusing rotator program ends the action silently, as from the station list.
    try {
        SendRotatorCommand("GA:" + base::DecimalText(heading));
    } catch (const std::exception&) {
    }
}

void frmRCI::labArsWin_Change() {
    const std::string& text = labArsWin.Caption();
    if (text.size() <= 3 || text.compare(0, 3, "RA:") != 0) return;  // commands, the bare query
    const std::string rest = text.substr(3);
    labAz.SetCaption(rest);
    float azimuth;
    try {
        azimuth = base::ToSingle(base::NumericValue(rest));
    } catch (const base::Failure&) {
        // Beyond single precision: the compass draws no pointer for a heading it cannot draw.
        azimuth = std::numeric_limits<float>::infinity();
    }
    DrawCompass(pic1, azimuth, CompassX, CompassY, CompassRadius);
}
