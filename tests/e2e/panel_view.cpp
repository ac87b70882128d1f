#include "panel_view.h"

#include <cmath>
#include <cstdio>
#include <numbers>
#include <stdexcept>

namespace e2e {

namespace {
constexpr double kTwipsPerPixel = 15;  // the test screen's 96 dpi

std::string Hex(COLORREF color) {
    char text[16];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", GetRValue(color), GetGValue(color),
                  GetBValue(color));
    return text;
}

// A control of the rotator frame, by its design place in twips.
HWND InFrame(const Program& program, float left, float top) {
    return program.ControlAt({PixelsX(4560 + left) + 3, PixelsY(top) + 3});
}
}  // namespace

POINT HostIndicator() {
    return {PixelsX(1800 + 120), PixelsY(1920 + 112)};
}
POINT RotatorIndicator() {
    return {PixelsX(4080 + 120), PixelsY(1920 + 112)};
}

HWND AzimuthLabel(const Program& program) {
    return InFrame(program, 120, 1815);
}
HWND SelectedHeadingLabel(const Program& program) {
    return InFrame(program, 780, 1815);
}
HWND RotatorFrame(const Program& program) {
    return program.ControlAt({PixelsX(4560) + 3, PixelsY(0) + 3});
}

CompassView::CompassView(const Program& program)
    : picture_(program.ControlOfClass("Vantro32Picture")) {
    if (!picture_) throw std::runtime_error("no compass picture");
    const SIZE inner = ClientSize(picture_);
    centreX_ = inner.cx / 2.0;
    centreY_ = inner.cy / 2.0;
    radius_ = centreX_ * 0.65;
}

POINT CompassView::Toward(double heading, double distance) const {
    const double angle = heading * std::numbers::pi / 180;
    return {static_cast<LONG>(std::floor(centreX_ + distance * std::sin(angle))),
            static_cast<LONG>(std::floor(centreY_ - distance * std::cos(angle)))};
}

// The arrowhead's base lies 300 twips short of R at 40 degrees either side, its tip 50 short.
double CompassView::NearBase() const {
    const double r = radius_ - 1;
    const double base = (r - 300 / kTwipsPerPixel) * std::cos(40 * std::numbers::pi / 180);
    return base + 3;
}
double CompassView::NearTip() const {
    return radius_ - 1 - 150 / kTwipsPerPixel;  // where the fill starts
}

std::string CompassView::PointerMismatch(const ScreenImage& image, int heading) const {
    std::string seen;
    for (int quarter = 0; quarter < 4; ++quarter) {
        const int towards = heading + 90 * quarter;
        const COLORREF wanted = quarter == 0 ? kLightRed : kLightCyan;
        for (double distance : {NearBase(), NearTip()}) {
            const POINT at = Toward(towards, distance);
            const COLORREF color = image.At(at.x, at.y);
            if (color != wanted)
                seen += " (" + std::to_string(at.x) + "," + std::to_string(at.y) + ") towards " +
                        std::to_string(towards % 360) + " is " + Hex(color) + ", not " +
                        Hex(wanted) + ";";
        }
    }
    return seen;
}

std::string CompassView::WaitForPointer(int heading) const {
    std::string mismatch;
    WaitUntil([&] {
        mismatch = PointerMismatch(Take(), heading);
        return mismatch.empty();
    });
    return mismatch;
}

}  // namespace e2e
