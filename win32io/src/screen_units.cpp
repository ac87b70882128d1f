#include "win32io/src/screen_units.h"

#include "base/rounding.h"
#include "win32io/src/owned_handles.h"

namespace win32io {

int ScreenDotsPerInch() {
    const MeasuringDc screen(nullptr);
    const int dots = screen.Get() ? GetDeviceCaps(screen.Get(), LOGPIXELSY) : 0;
    return dots > 0 ? dots : 96;
}

double TwipsPerPixel() {
    return 1440.0 / ScreenDotsPerInch();
}

int ScreenPixels(double twips) {
    return base::TwipsToPixels(twips, TwipsPerPixel());
}

}  // namespace win32io
