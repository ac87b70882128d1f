// Message boxes: the About box, and the one way every message of the program is shown.
#include "app/frmRCI.h"
#include "platform/system.h"

void ShowMessage(frmRCI& form, const std::string& text, std::int16_t style,
                 const std::string& title) {
    platform::MessageBox(form.window, text, title, static_cast<std::uint16_t>(style));
}

void frmRCI::ShowAbout() {
    ShowMessage(*this,
                std::string("Vantro32 links Wendra32 to Korrin's Rotator Control Interface. ") +
                    "In Wendra you should select the 'DX Cluster Spy' option on the Terminal "
                    "window. " +
                    "All DX spots will then appear in the Vantro list window, and you can turn "
                    "the rotator simply by double-clicking a station. " +
                    "The rotator panel allows manual control of the rotator heading.",
                64, "Vantro32");
}
