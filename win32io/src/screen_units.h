#pragma once
// The screen's resolution, for a design in twips (1/1440 inch) and fonts in points.
namespace win32io {

// Dots per inch of the screen (96 when it cannot be read).
int ScreenDotsPerInch();
double TwipsPerPixel();
// Twips to whole screen pixels by the program's rounding rule.
int ScreenPixels(double twips);

}  // namespace win32io
