// The station list: one fixed-column line for each spot the host passes on.
#include "app/frmRCI.h"
#include "base/failure.h"
#include "base/numeric.h"
#include "spots/list_line.h"
#include "spots/spot_line.h"

namespace {

// Whether field 4 carries the "do not list" mark. A number too large for a double reads as an
// infinity and a hexadecimal one too long for 32 bits cannot be read at all: neither is the mark,
// so such a spot is listed rather than lost.
bool MarkedNotListed(const std::string& field) {
    try {
        return base::NumericValue(field) == spots::kNotListed;
    } catch (const base::Failure&) {
        return false;
    }
}

constexpr int kMostLines = 100;     // the list never holds more
constexpr int kLinesMadeRoom = 20;  // taken off the top when it is full
}  // namespace

void frmRCI::AddSpot(const std::string& Spot) {
    std::vector<std::string> fields;
    SplitFields(Spot, std::string(1, spots::kFieldSeparator), fields);
    if (fields.size() < spots::kFieldsInSpot) return;
    if (MarkedNotListed(fields[spots::kListedField])) return;

    labDist.SetCaption(fields[spots::kUnitsField] == "0" ? " Dist.km" : "Dist.miles");

    if (lstStations.ListCount() >= kMostLines)
        for (int i = 0; i < kLinesMadeRoom; ++i) lstStations.RemoveItem(0);
    lstStations.AddItem(
        spots::ListLine(fields[spots::kCallsignField], fields[spots::kFrequencyField],
                        fields[spots::kHeadingField], fields[spots::kDistanceField]));
    lstStations.SetListIndex(lstStations.NewIndex());  // selects it and scrolls it into view
}
