#pragma once
// COMPASS: drawing the compass on a picture box. Free functions that keep no state: the caller
// owns the geometry (centre and radius, in twips) and passes it by reference.
#include "base/bool16.h"
#include "platform/controls.h"

// Circle (and, when PrintLetters is true, the letters N, E, S, W); sets the geometry from the
// picture's inner size.
void DrawCompassRose(platform::PictureBox& picture, float& CompassX, float& CompassY,
                     float& CompassRadius, base::Bool16 PrintLetters);
// The pointer at a heading in degrees (0 north, clockwise).
void DrawCompassNeedle(platform::PictureBox& picture, float heading, float CompassX, float CompassY,
                       float CompassRadius);
// A full redraw for a new heading: the circle over the old pointer, then the new pointer.
void DrawCompass(platform::PictureBox& picture, float heading, float& CompassX, float& CompassY,
                 float& CompassRadius);
