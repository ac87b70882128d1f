#pragma once
// A window's place, size and minimised state in the settings file, in twips as Vantro32 keeps its
// own: LEFT, TOP, WIDTH, HEIGHT and MINIMIZED.
#include <windows.h>

#include "win32io/profile_section.h"

namespace win32io {

struct Placement {
    RECT normal{};  // screen pixels
    bool minimised = false;
};

// The saved placement, made to fit: no smaller than `smallest` pixels, no larger than the screen,
// and on a screen that shows it. Nothing saved (or nothing usable, or a place no screen shows)
// gives the design size, in twips, centred on the primary screen's work area.
Placement LoadPlacement(const ProfileSection& section, SIZE designTwips, SIZE smallest);
void SavePlacement(const ProfileSection& section, const Placement& placement);

}  // namespace win32io
