// Start-up and shut-down of the window.
#include <cmath>
#include <exception>

#include "app/frmRCI.h"
#include "app/globals.h"
#include "base/color.h"
#include "base/numeric.h"
#include "compass/compass.h"
#include "platform/system.h"

void frmRCI::Form_Load() {
    try {
        // The design size, before any setting changes it.
        FullWidth = window.Width();
        TargetWidth = FullWidth;
        FixedHeight = window.Height();

        LineEnd = "\r\n";

        const platform::ScreenMetrics screen = platform::Screen();
        TwipsPerPixelX = base::ToInt16(screen.twipsPerPixelX);
        TwipsPerPixelY = base::ToInt16(screen.twipsPerPixelY);

        vsRot.SetMin(0);
        vsRot.SetMax(360);
        vsRot.SetSmallChange(1);
        vsRot.SetLargeChange(15);

        Pi = 4 * std::atan(1.0);
        DegToRad = Pi / 180;

        window.SetLeft((screen.width - window.Width()) / 2);
        window.SetTop((screen.height - window.Height()) / 2);

        IniFile = platform::ProgramDirectory() + "\\" + platform::ProgramName() + ".INI";
        LoadSettings();

        DrawCompassRose(pic1, CompassX, CompassY, CompassRadius, base::kTrue);

        labLinked.SetBackColor(base::kLightRed);
        labArsLinked.SetBackColor(base::kLightRed);

        window.Show();
        platform::DoEvents();  // the window is drawn before the links are tried

        ConnectHost(base::kTrue);
        ConnectRotator(base::kTrue);

        Timer1.SetEnabled(true);
    } catch (const std::exception& failure) {
        ShowMessage(*this,
                    std::string("An error occurred while initialising the program. ") +
                        "The system error message was '" + failure.what() + "'.",
                    16, "Vantro32");
        platform::EndProgram();
    }
}

void frmRCI::Form_Unload(std::int16_t& /*Cancel*/) {
    Unloading = base::kTrue;  // from here on a closing link changes nothing on screen
    Timer1.SetEnabled(false);
    labDDE.SetLinkMode(0);
    labArsWin.SetLinkMode(0);
    SaveSettings();
}

void frmRCI::mnuExit_Click() { window.Unload(); }
