// The station list: one fixed-column line for each spot the host passes on.
#include "app/frmRCI.h"
#include "base/numeric.h"
#include "spots/list_line.h"
#include "spots/spot_line.h"

namespace {
constexpr int kMostLines = 100;     // the list never holds more
constexpr int kLinesMadeRoom = 20;  // taken off the top when it is full
}  // namespace

void frmRCI::AddSpot(const std::string& Spot) {
    std::vector<std::string> fields;
    SplitFields(Spot, std::string(1, spots::kFieldSeparator), fields);
    if (fields.size() < spots::kFieldsInSpot) return;
    // A number too large for a double reads as an infinity, which is not the mark: listed.
    if (base::NumericValue(fields[spots::kListedField]) == spots::kNotListed) return;

    labDist.SetCaption(fields[spots::kUnitsField] == "0" ? " Dist.km" : "Dist.miles");

    if (lstStations.ListCount() >= kMostLines)
        for (int i = 0; i < kLinesMadeRoom; ++i) lstStations.RemoveItem(0);
    lstStations.AddItem(
        spots::ListLine(fields[spots::kCallsignField], fields[spots::kFrequencyField],
                        fields[spots::kHeadingField], fields[spots::kDistanceField]));
    lstStations.SetListIndex(lstStations.NewIndex());  // selects it and scrolls it into view
}
