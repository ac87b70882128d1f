// The window design: every control with its place, caption, font and first state, in twips.
#include "app/frmRCI.h"
#include "base/color.h"

using platform::Align;
using platform::ControlDesign;
using platform::Font;

namespace {

const Font kWindowFont{"MS Sans Serif", 8.25f, true};
const Font kSansSerif{"MS Sans Serif", 8.25f, false};
const Font kFixedsys{"Fixedsys", 9.0f, false};

platform::WindowDesign WindowDesign() {
    return {"frmRCI", "Vantro32 V1.0   Halvik May, 2000", 6495, 2235, kWindowFont};
}

ControlDesign Control(const char* name, float left, float top, float width, float height,
                      const char* caption, const Font& font) {
    ControlDesign design;
    design.name = name;
    design.left = left;
    design.top = top;
    design.width = width;
    design.height = height;
    design.caption = caption;
    design.font = font;
    return design;
}

ControlDesign Centred(ControlDesign design) {
    design.alignment = Align::Center;
    return design;
}

// A boxed, centred label (indicators and the heading read-outs).
ControlDesign Boxed(ControlDesign design) {
    design.alignment = Align::Center;
    design.border = true;
    return design;
}

ControlDesign Hidden(ControlDesign design) {
    design.visible = false;
    return design;
}

// Shows text that comes from the peers: "&" stays itself.
ControlDesign PeerText(ControlDesign design) {
    design.noPrefix = true;
    return design;
}

ControlDesign StationList() {
    ControlDesign design = Control("lstStations", 120, 240, 4275, 1410, "", kFixedsys);
    design.backColor = base::kBlack;
    design.foreColor = base::kCyan;
    return design;
}

ControlDesign Hint() {
    ControlDesign design = Centred(Control("Label4", 525, 1680, 3465, 195,
                                           "Double-click a station to turn the rotator",
                                           kWindowFont));
    design.foreColor = base::kNavy;
    return design;
}

}  // namespace

frmRCI::frmRCI()
    : window(WindowDesign()),
      mnuExit(window, "E&xit"),
      mnuOptions(window, "&Options"),
      mnuAlwaysOnTop(mnuOptions, "&Always On Top"),
      mnuShowRotator(mnuOptions, "&Show Rotator"),
      mnuAbout(window, "&Help"),
      lstStations(window, StationList()),
      fraRotator(window, Control("fraRotator", 4560, 0, 1815, 2145, "Rotator", kWindowFont)),
      pic1(fraRotator, Control("pic1", 60, 240, 1455, 1515, "", kWindowFont)),
      Label7(pic1, Centred(Control("Label7", 105, 1350, 465, 195, "Head.", kSansSerif))),
      Label8(pic1, Centred(Control("Label8", 885, 1350, 240, 195, "Set", kSansSerif))),
      vsRot(fraRotator, Control("vsRot", 1560, 240, 195, 1455, "", kWindowFont)),
      cmdGo(fraRotator, Hidden(Control("cmdGo", 1380, 1755, 375, 315, "&Go", kSansSerif))),
      labAz(fraRotator, PeerText(Boxed(Control("labAz", 120, 1815, 555, 255, "", kFixedsys)))),
      labSel(fraRotator, PeerText(Boxed(Control("labSel", 780, 1815, 555, 255, "0", kFixedsys)))),
      Timer1(window, 500),
      Label6(window, Control("Label6", 2400, 1950, 1575, 195, "DDE Link to ARSWIN", kSansSerif)),
      Label5(window, Control("Label5", 240, 1950, 1470, 195, "DDE Link to Wendra", kSansSerif)),
      Label4(window, Hint()),
      labArsWin(window, Hidden(Control("labArsWin", 1320, -60, 315, 195, "", kWindowFont))),
      labArsLinked(window, Boxed(Control("labArsLinked", 4080, 1920, 240, 225, "", kSansSerif))),
      labDist(window, Centred(Control("labDist", 3420, 0, 630, 195, "Distance", kSansSerif))),
      Label3(window, Centred(Control("Label3", 2775, 0, 450, 195, "Head.", kSansSerif))),
      labLinked(window, Boxed(Control("labLinked", 1800, 1920, 240, 225, "", kSansSerif))),
      labDDE(window, Hidden(Control("labDDE", 1020, -60, 315, 195, "", kWindowFont))),
      Label2(window, Centred(Control("Label2", 1815, 0, 690, 195, "Freq. kHz", kSansSerif))),
      Label1(window, Control("Label1", 180, 0, 540, 195, "Callsign", kSansSerif)) {
    WireEvents();
}

void frmRCI::WireEvents() {
    window.OnResize = [this] { Form_Resize(); };
    window.OnUnload = [this] {
        std::int16_t cancel = 0;
        Form_Unload(cancel);
    };
    mnuExit.OnClick = [this] { mnuExit_Click(); };
    mnuAlwaysOnTop.OnClick = [this] { mnuAlwaysOnTop_Click(); };
    mnuShowRotator.OnClick = [this] { mnuShowRotator_Click(); };
    mnuAbout.OnClick = [this] { mnuAbout_Click(); };
    lstStations.OnDblClick = [this] { lstStations_DblClick(); };
    lstStations.OnKeyPress = [this](std::int16_t& keyAscii) { lstStations_KeyPress(keyAscii); };
    cmdGo.OnClick = [this] { cmdGo_Click(); };
    vsRot.OnChange = [this] { vsRot_Change(); };
    vsRot.OnScroll = [this] { vsRot_Scroll(); };
    Timer1.OnTimer = [this] { Timer1_Timer(); };
    labDDE.OnChange = [this] { labDDE_Change(); };
    labDDE.OnLinkClose = [this] { labDDE_LinkClose(); };
    labDDE.OnLinkError = [this](int linkErr) { labDDE_LinkError(linkErr); };
    labArsWin.OnChange = [this] { labArsWin_Change(); };
    labArsWin.OnLinkClose = [this] { labArsWin_LinkClose(); };
    labArsWin.OnLinkError = [this](int linkErr) { labArsWin_LinkError(linkErr); };
}
