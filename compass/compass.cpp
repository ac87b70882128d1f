// COMPASS: the rose (circle and letters) and the pointer, drawn on the picture's persistent
// image. Nothing here clears the picture: each redraw paints over the last one.
#include "compass/compass.h"

#include <string>

#include "app/globals.h"
#include "base/color.h"
#include "base/numeric.h"
#include "compass/needle_geometry.h"

namespace {

constexpr double kRadiusPerHalfWidth = 0.65;  // the radius follows the width alone
constexpr int kOutlinePixels = 2, kPointerPixels = 1;

void DrawLetters(platform::PictureBox& picture, float CompassX, float CompassY) {
    const float width = picture.ScaleWidth(), height = picture.ScaleHeight();
    picture.SetForeColor(base::kBlue);
    // W 3 pixels from the left edge, E 6 from the right, N and S 5 from top and bottom.
    picture.PrintText(3.0f * TwipsPerPixelX, CompassY - picture.TextHeight("W") / 2, "W");
    picture.PrintText(width - picture.TextWidth("E") - 6.0f * TwipsPerPixelX,
                      CompassY - picture.TextHeight("E") / 2, "E");
    picture.PrintText(CompassX - picture.TextWidth("N") / 2, 5.0f * TwipsPerPixelY, "N");
    picture.PrintText(CompassX - picture.TextWidth("S") / 2,
                      height - picture.TextHeight("S") - 5.0f * TwipsPerPixelY, "S");
}

}  // namespace

void DrawCompassRose(platform::PictureBox& picture, float& CompassX, float& CompassY,
                     float& CompassRadius, base::Bool16 PrintLetters) {
    CompassX = picture.ScaleWidth() / 2;
    CompassY = picture.ScaleHeight() / 2;
    CompassRadius = static_cast<float>(CompassX * kRadiusPerHalfWidth);

    picture.SetFillStyle(platform::FillStyle::Solid);
    picture.SetFillColor(base::kLightCyan);
    picture.SetDrawWidth(kOutlinePixels);
    // The filled disc covers any pointer drawn before; the letters lie outside it.
    picture.Circle(CompassX, CompassY, CompassRadius, base::kBlue);

    if (base::IsTrue(PrintLetters)) DrawLetters(picture, CompassX, CompassY);
}

void DrawCompassNeedle(platform::PictureBox& picture, float heading, float CompassX, float CompassY,
                       float CompassRadius) {
    picture.SetFillColor(base::kLightRed);
    picture.SetFillStyle(platform::FillStyle::Solid);
    picture.SetDrawStyle(platform::DrawStyle::Solid);
    picture.SetDrawMode(platform::DrawMode::CopyPen);

    // A heading that cannot be made a whole direction (beyond 32 bits, infinite, NaN) gets no
    // pointer rather than a failure: the disc drawn just before it already hides the old one, so
    // the compass shows no direction instead of a wrong one, and the program goes on.
    const std::optional<std::int32_t> direction = compass::NeedleDirection(heading);
    if (!direction) return;
    const compass::NeedleShape shape =
        compass::NeedleShapeAt(*direction, CompassX, CompassY, CompassRadius);

    picture.SetDrawWidth(kPointerPixels);
    const auto line = [&picture](const compass::Point& from, const compass::Point& to) {
        picture.Line(static_cast<float>(from.x), static_cast<float>(from.y),
                     static_cast<float>(to.x), static_cast<float>(to.y), base::kLightRed);
    };
    line(shape.tip, shape.corner1);
    line(shape.corner1, shape.corner2);
    line(shape.corner2, shape.tip);

    // Whether anything was filled does not matter: the outline is the pointer either way.
    picture.ExtFloodFill(base::ToInt32(shape.seed.x / TwipsPerPixelX),
                         base::ToInt32(shape.seed.y / TwipsPerPixelY), base::kLightRed,
                         platform::kFloodFillBorder);
}

void DrawCompass(platform::PictureBox& picture, float heading, float& CompassX, float& CompassY,
                 float& CompassRadius) {
    DrawCompassRose(picture, CompassX, CompassY, CompassRadius, base::kFalse);
    DrawCompassNeedle(picture, heading, CompassX, CompassY, CompassRadius);
}
