#pragma once
// The program's one window and the map of the whole program. Its member functions are defined in
// the folder of their concern:
//   app/       start-up and shut-down, layout, menus, About box, ShowMessage
//   settings/  the settings file
//   dde/       the two DDE links and the rotator commands and reports
//   spots/     spot intake, field splitting and the station list
//   compass/   the manual heading scroll bar (the drawing is the COMPASS module)
#include <cstdint>
#include <string>
#include <vector>

#include "base/bool16.h"
#include "platform/controls.h"
#include "spots/spot_queue.h"

class frmRCI {
public:
    frmRCI();
    frmRCI(const frmRCI&) = delete;
    frmRCI& operator=(const frmRCI&) = delete;

    // The window and its controls, in the design's order (lstStations first in the tab order).
    platform::Window window;
    platform::MenuItem mnuExit, mnuOptions, mnuAlwaysOnTop, mnuShowRotator, mnuAbout;
    platform::ListBox lstStations;
    platform::Frame fraRotator;
    platform::PictureBox pic1;
    platform::Label Label7, Label8;
    platform::VScrollBar vsRot;
    platform::CommandButton cmdGo;
    platform::Label labAz, labSel;
    platform::Timer Timer1;
    platform::Label Label6, Label5, Label4, labArsWin, labArsLinked, labDist, Label3, labLinked,
        labDDE, Label2, Label1;

    // The window state record: empty, zero or false when the window is created.
    std::string IniFile;
    base::Bool16 AlwaysOnTop = base::kFalse;
    std::int16_t SavedLeft = 0;  // twips, last recorded while not minimised
    std::int16_t SavedTop = 0;
    SpotQueue SpotBuffer;        // host text not yet cut into lines
    float FullWidth = 0;         // twips: design width, panel shown
    float FixedHeight = 0;
    std::string LineEnd;         // CR LF
    base::Bool16 HostLinked = base::kFalse;
    base::Bool16 RotatorLinked = base::kFalse;
    base::Bool16 Unloading = base::kFalse;
    base::Bool16 ShowRotator = base::kFalse;
    float TargetWidth = 0;
    float CompassX = 0, CompassY = 0, CompassRadius = 0;
    std::int16_t RetryTicks = 0;

    // Start-up and shut-down (app/).
    void Form_Load();
    void Form_Unload(std::int16_t& Cancel);
    void Form_Resize();
    void mnuExit_Click();
    void mnuAlwaysOnTop_Click();
    void mnuShowRotator_Click();
    void mnuAbout_Click();
    void ApplyLayout();
    void ShowAbout();

    // Settings file (settings/).
    std::string ReadIniString(const std::string& file, const std::string& section,
                              const std::string& key, const std::string& defaultValue);
    std::string ReadSetting(const std::string& file, const std::string& section,
                            const std::string& key, const std::string& defaultValue);
    static base::Bool16 TextToBool(const std::string& text);
    static std::string BoolToText(base::Bool16 value);
    void LoadSettings();
    void SaveSettings();

    // DDE links and rotator commands (dde/).
    void ConnectHost(base::Bool16 ReportFailure);
    void ConnectRotator(base::Bool16 ReportFailure);
    void HostLinkLost();
    void RotatorLinkLost();
    void labDDE_LinkClose();
    void labDDE_LinkError(int LinkErr);
    void labArsWin_LinkClose();
    void labArsWin_LinkError(int LinkErr);
    void lstStations_DblClick();
    void lstStations_KeyPress(std::int16_t& KeyAscii);
    void cmdGo_Click();
    void labArsWin_Change();
    void SendRotatorCommand(const std::string& command);

    // Spot intake and station list (spots/).
    void labDDE_Change();
    void Timer1_Timer();
    void AddSpot(const std::string& Spot);
    static void SplitFields(std::string Text, const std::string& Separator,
                            std::vector<std::string>& Fields);

    // Manual heading (compass/).
    void vsRot_Change();
    void vsRot_Scroll();

private:
    void WireEvents();
};

// Shows a message box owned by `form`; the button pressed is not reported.
void ShowMessage(frmRCI& form, const std::string& text, std::int16_t style,
                 const std::string& title);
