#pragma once
// Rounding to whole numbers: one function for each meaning, none depending on the FPU's rounding
// mode (which a DLL or a driver in the process may have changed).
namespace base {

// To the nearest whole number, halves to the even neighbour: the program's rule for making a
// number whole (saved window positions, headings, twips to pixels).
double RoundHalfEven(double value);

// To the nearest whole number, halves away from zero: how Windows rounds a font's height
// (MulDiv), and how a measured value is shown to people.
double RoundHalfAway(double value);

// Twips to whole pixels by the program's rule; a result beyond an int (or not a number) throws
// Failure("Overflow"), as a window position beyond a screen coordinate does on Windows.
int TwipsToPixels(double twips, double twipsPerPixel);

}  // namespace base
