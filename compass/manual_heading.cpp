// The manual heading: the scroll bar's value, shown in labSel for the Go button to send.
#include "app/frmRCI.h"
#include "base/text.h"

namespace {

// The value as it stands, 0 to 360: sending 360 as 0 is the Go button's business.
void ShowSelectedHeading(const platform::VScrollBar& bar, platform::Label& label) {
    label.SetCaption(base::DecimalText(bar.Value()));
}

}  // namespace

void frmRCI::vsRot_Change() {
    ShowSelectedHeading(vsRot, labSel);
}

// While the thumb is dragged, so the caption follows it.
void frmRCI::vsRot_Scroll() {
    ShowSelectedHeading(vsRot, labSel);
}
