#include "platform/win32/units.h"

#include <cmath>
#include <limits>
#include <map>
#include <tuple>

#include "base/failure.h"
#include "base/rounding.h"
#include "platform/win32/handles.h"

namespace platform::win32 {

namespace {

int ScreenDotsPerInch(int axis) {
    const WindowDc screen(nullptr);
    const int dots = GetDeviceCaps(screen.Get(), axis);
    return dots > 0 ? dots : 96;
}

}  // namespace

float TwipsPerPixelX() {
    static const float value = 1440.0f / ScreenDotsPerInch(LOGPIXELSX);
    return value;
}
float TwipsPerPixelY() {
    static const float value = 1440.0f / ScreenDotsPerInch(LOGPIXELSY);
    return value;
}

int PixelsX(float twips) {
    return base::TwipsToPixels(twips, TwipsPerPixelX());
}
int PixelsY(float twips) {
    return base::TwipsToPixels(twips, TwipsPerPixelY());
}
float TwipsX(int pixels) {
    return pixels * TwipsPerPixelX();
}
float TwipsY(int pixels) {
    return pixels * TwipsPerPixelY();
}

RECT PixelRect(const ControlDesign& design) {
    const int left = PixelsX(design.left), top = PixelsY(design.top);
    return RECT{left, top, left + PixelsX(design.width), top + PixelsY(design.height)};
}

COLORREF ColorRef(base::Color color) {
    if (color.IsSystem()) return GetSysColor(color.systemIndex);
    return RGB(color.red, color.green, color.blue);
}

HFONT FontFor(const Font& font) {
    using Key = std::tuple<std::string, float, bool>;
    static std::map<Key, GdiObject<HFONT>> fonts;
    GdiObject<HFONT>& made = fonts[Key{font.face, font.points, font.bold}];
    if (!made) {
        LOGFONTA logFont{};
        logFont.lfHeight = -static_cast<LONG>(
            base::RoundHalfAway(font.points * ScreenDotsPerInch(LOGPIXELSY) / 72.0));
        logFont.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
        logFont.lfCharSet = DEFAULT_CHARSET;
        logFont.lfOutPrecision = OUT_DEFAULT_PRECIS;
        logFont.lfClipPrecision = CLIP_DEFAULT_PRECIS;
        logFont.lfQuality = DEFAULT_QUALITY;
        logFont.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
        lstrcpynA(logFont.lfFaceName, font.face.c_str(), LF_FACESIZE);
        made.reset(CreateFontIndirectA(&logFont));
    }
    return made.get();
}

}  // namespace platform::win32
