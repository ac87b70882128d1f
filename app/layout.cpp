// The window's fixed size, the rotator panel's place in it, and the menus.
#include "app/frmRCI.h"
#include "app/globals.h"
#include "platform/system.h"

void frmRCI::ApplyLayout() {
    if (base::IsTrue(ShowRotator)) {
        TargetWidth = FullWidth;
    } else {
        // End the window 3 pixels left of the rotator frame, so that none of it shows.
        TargetWidth = FullWidth - (window.ScaleWidth() - fraRotator.Left()) - 3 * TwipsPerPixelX;
    }
    Form_Resize();
}

void frmRCI::Form_Resize() {
    if (window.State() == platform::WindowState::Minimized) return;
    window.SetSize(TargetWidth, FixedHeight);
}

void frmRCI::mnuAlwaysOnTop_Click() {
    AlwaysOnTop = base::Not(AlwaysOnTop);
    mnuAlwaysOnTop.SetChecked(base::IsTrue(AlwaysOnTop));
    platform::SetWindowPos(window,
                           base::IsTrue(AlwaysOnTop) ? platform::kHwndTopmost
                                                     : platform::kHwndNoTopmost,
                           0, 0, 0, 0, platform::kSwpNoMove | platform::kSwpNoSize);
    platform::WritePrivateProfileString("SETUP", "ALWAYS_ON_TOP", BoolToText(AlwaysOnTop),
                                        IniFile);
}

void frmRCI::mnuShowRotator_Click() {
    ShowRotator = base::Not(ShowRotator);
    mnuShowRotator.SetChecked(base::IsTrue(ShowRotator));
    platform::WritePrivateProfileString("SETUP", "SHOW_ROTATOR", BoolToText(ShowRotator),
                                        IniFile);
    ApplyLayout();
}

void frmRCI::mnuAbout_Click() { ShowAbout(); }
