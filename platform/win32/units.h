#pragma once
// Twips and pixels, colours and fonts: the design's terms in GDI's.
#include <windows.h>

#include "base/color.h"
#include "platform/design.h"

namespace platform::win32 {

// The screen's twips per pixel (15 at 96 dpi), not rounded.
float TwipsPerPixelX();
float TwipsPerPixelY();

// Twips to whole pixels, to the nearest; a value beyond int throws base::Failure("Overflow").
int PixelsX(float twips);
int PixelsY(float twips);
float TwipsX(int pixels);
float TwipsY(int pixels);

// A control's rectangle in pixels of its parent's inner area.
RECT PixelRect(const ControlDesign& design);

// A plain colour, or the user's system colour of that index.
COLORREF ColorRef(base::Color color);

// The design's font, made once per face, size and weight and kept for the program's life.
HFONT FontFor(const Font& font);

}  // namespace platform::win32
