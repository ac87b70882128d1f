#include "platform/win32/ellipse_stamp.h"

#include "base/failure.h"
#include "platform/win32/handles.h"

namespace platform::win32 {

bool EllipseLook::operator==(const EllipseLook& other) const {
    return EqualRect(&box, &other.box) && penWidth == other.penWidth && pen == other.pen &&
           fill == other.fill;
}

void EllipseStamp::Draw(const DibImage& image, const EllipseLook& look) {
    if (look_ != look || width_ != image.width || height_ != image.height) Learn(image, look);
    GdiFlush();  // what GDI drew before lies in the bits before they are written
    for (const Pixel& pixel : pixels_) image.bits[pixel.at] = pixel.value;
}

// GDI draws the ellipse once on a blank of the image's size in a colour that is neither the pen's
// nor the brush's: every pixel that changed is the ellipse's.
void EllipseStamp::Learn(const DibImage& image, const EllipseLook& look) {
    look_.reset();
    pixels_.clear();

    std::uint32_t* drawn = nullptr;
    const MemoryDc dc(CreateCompatibleDC(image.dc));
    const GdiObject<HBITMAP> blank = MakeDib(image.dc, image.width, image.height, drawn);
    COLORREF background = RGB(1, 2, 3);
    while (background == look.pen || background == look.fill) background += RGB(1, 1, 1);
    const GdiObject<HBRUSH> backgroundBrush(CreateSolidBrush(background));
    const GdiObject<HPEN> pen(CreatePen(PS_SOLID, look.penWidth, look.pen));
    GdiObject<HBRUSH> fill;
    if (look.fill) fill.reset(CreateSolidBrush(*look.fill));
    if (!dc || !blank || !backgroundBrush || !pen || (look.fill && !fill))
        throw base::Failure("Out of memory");

    const Selection blankSelected(dc.get(), blank.get());
    const RECT all{0, 0, image.width, image.height};
    FillRect(dc.get(), &all, backgroundBrush.get());
    GdiFlush();
    const std::size_t count =
        static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height);
    const std::uint32_t untouched = count > 0 ? drawn[0] : 0;

    SetROP2(dc.get(), R2_COPYPEN);
    const Selection penSelected(dc.get(), pen.get());
    const Selection brushSelected(
        dc.get(), fill ? static_cast<HGDIOBJ>(fill.get()) : GetStockObject(NULL_BRUSH));
    Ellipse(dc.get(), look.box.left, look.box.top, look.box.right, look.box.bottom);
    GdiFlush();
    for (std::size_t at = 0; at < count; ++at)
        if (drawn[at] != untouched) pixels_.push_back({at, drawn[at]});

    look_ = look;
    width_ = image.width;
    height_ = image.height;
}

}  // namespace platform::win32
