// Placeholder until the compass lands.
#include "compass/compass.h"

void DrawCompassRose(platform::PictureBox&, float&, float&, float&, base::Bool16) {}
void DrawCompassNeedle(platform::PictureBox&, float, float, float, float) {}
void DrawCompass(platform::PictureBox&, float, float&, float&, float&) {}
