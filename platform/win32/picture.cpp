// The picture box: a bordered window of our own that shows a persistent image. Every drawing goes
// to the image, a DIB section the size of the inner area, and the window copies it when painted.
#include <cmath>
#include <cstdint>
#include <optional>
#include <utility>

#include "base/failure.h"
#include "platform/win32/dib.h"
#include "platform/win32/ellipse_stamp.h"
#include "platform/win32/impl.h"
#include "platform/win32/units.h"

namespace platform {

struct PictureBox::Impl : win32::ChildControl {
    Node node;
    ControlDesign design;
    win32::OwnedWindow hwnd;
    int width = 0, height = 0;  // the image, pixels
    win32::MemoryDc dc;
    win32::GdiObject<HBITMAP> image;
    std::uint32_t* bits = nullptr;  // the image's pixels
    win32::EllipseStamp circles;
    std::optional<win32::Selection> imageSelected, fontSelected;  // for the image's life

    base::Color fillColor = base::kBlack;
    FillStyle fillStyle = FillStyle::Transparent;
    int drawWidth = 1;
    base::Color foreColor;

    void MakeImage();
    // Once until the next paint: a compass drawn in many strokes asks for one paint, not one
    // per stroke.
    void Changed() {
        if (std::exchange(invalid, true)) return;
        InvalidateRect(hwnd.get(), nullptr, FALSE);
    }
    bool invalid = false;  // a paint is asked for and not yet done
    HDC Dc() const { return dc.get(); }
};

namespace {

constexpr char kPictureClass[] = "Vantro32Picture";

int X(float twips) {
    return win32::PixelsX(twips);
}
int Y(float twips) {
    return win32::PixelsY(twips);
}

LRESULT CALLBACK PictureProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* impl = static_cast<PictureBox::Impl*>(win32::ControlOf(hwnd));
    if (!impl) return DefWindowProcA(hwnd, message, wParam, lParam);
    LRESULT routed = 0;
    switch (message) {
        case WM_ERASEBKGND:
            return 1;  // the image covers the whole inner area
        case WM_PAINT: {
            impl->invalid = false;
            const win32::PaintScope paint(hwnd);
            BitBlt(paint.Dc(), 0, 0, impl->width, impl->height, impl->Dc(), 0, 0, SRCCOPY);
            return 0;
        }
        default:
            if (win32::RouteToChild(message, wParam, lParam, routed)) return routed;
            return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

}  // namespace

void PictureBox::Impl::MakeImage() {
    RECT inner{};
    GetClientRect(hwnd.get(), &inner);
    width = inner.right;
    height = inner.bottom;

    const win32::WindowDc screen(nullptr);
    dc.reset(CreateCompatibleDC(screen.Get()));
    image = win32::MakeDib(screen.Get(), width, height, bits);
    if (!dc || !image) throw base::Failure("Out of memory");
    imageSelected.emplace(Dc(), image.get());
    fontSelected.emplace(Dc(), win32::FontFor(design.font));

    const win32::GdiObject<HBRUSH> background(CreateSolidBrush(win32::ColorRef(design.backColor)));
    const RECT all{0, 0, width, height};
    FillRect(Dc(), &all, background.get());
    SetBkMode(Dc(), TRANSPARENT);
    SetROP2(Dc(), R2_COPYPEN);
}

PictureBox::PictureBox(Container& parent, const ControlDesign& design)
    : impl_(std::make_unique<Impl>()) {
    win32::RegisterClassOnce(kPictureClass, PictureProcedure);
    impl_->design = design;
    impl_->foreColor = design.foreColor;
    // Controls on the picture stay above the image.
    impl_->hwnd = win32::CreateChild(parent, kPictureClass, WS_BORDER | WS_CLIPCHILDREN,
                                     WS_EX_CONTROLPARENT, design, *impl_);
    impl_->node.hwnd = impl_->hwnd.get();
    impl_->MakeImage();
}

PictureBox::~PictureBox() = default;

Container::Node& PictureBox::ContainerNode() {
    return impl_->node;
}

float PictureBox::ScaleWidth() const {
    return win32::TwipsX(impl_->width);
}
float PictureBox::ScaleHeight() const {
    return win32::TwipsY(impl_->height);
}

void PictureBox::SetFillColor(base::Color color) {
    impl_->fillColor = color;
}
void PictureBox::SetFillStyle(FillStyle style) {
    impl_->fillStyle = style;
}
void PictureBox::SetDrawWidth(int pixels) {
    impl_->drawWidth = pixels < 1 ? 1 : pixels;
}
void PictureBox::SetDrawStyle(DrawStyle) {}  // solid is the only style
void PictureBox::SetDrawMode(DrawMode) {
    SetROP2(impl_->Dc(), R2_COPYPEN);
}
void PictureBox::SetForeColor(base::Color color) {
    impl_->foreColor = color;
}
base::Color PictureBox::FillColor() const {
    return impl_->fillColor;
}
FillStyle PictureBox::GetFillStyle() const {
    return impl_->fillStyle;
}
int PictureBox::DrawWidth() const {
    return impl_->drawWidth;
}
base::Color PictureBox::ForeColor() const {
    return impl_->foreColor;
}

void PictureBox::Circle(float x, float y, float radius, base::Color outline) {
    std::optional<COLORREF> fill;
    if (impl_->fillStyle == FillStyle::Solid) fill = win32::ColorRef(impl_->fillColor);
    // Ellipse leaves out the right and bottom edges of its box: one more keeps the circle round.
    const RECT box{X(x - radius), Y(y - radius), X(x + radius) + 1, Y(y + radius) + 1};
    impl_->circles.Draw({impl_->Dc(), impl_->bits, impl_->width, impl_->height},
                        {box, impl_->drawWidth, win32::ColorRef(outline), fill});
    impl_->Changed();
}

void PictureBox::Line(float x1, float y1, float x2, float y2, base::Color color) {
    const HDC dc = impl_->Dc();
    const COLORREF ink = win32::ColorRef(color);
    const win32::GdiObject<HPEN> pen(CreatePen(PS_SOLID, impl_->drawWidth, ink));
    const win32::Selection penSelected(dc, pen.get());
    const int endX = X(x2), endY = Y(y2);
    MoveToEx(dc, X(x1), Y(y1), nullptr);
    LineTo(dc, endX, endY);
    // A thin pen stops one pixel short of the end; the end belongs to the line, so that a closed
    // figure has no gap.
    if (impl_->drawWidth == 1) SetPixelV(dc, endX, endY, ink);
    impl_->Changed();
}

void PictureBox::PrintText(float left, float top, const std::string& text) {
    const HDC dc = impl_->Dc();
    SetTextColor(dc, win32::ColorRef(impl_->foreColor));
    TextOutA(dc, X(left), Y(top), text.c_str(), static_cast<int>(text.size()));
    impl_->Changed();
}

float PictureBox::TextWidth(const std::string& text) const {
    SIZE size{};
    GetTextExtentPoint32A(impl_->Dc(), text.c_str(), static_cast<int>(text.size()), &size);
    return win32::TwipsX(size.cx);
}

float PictureBox::TextHeight(const std::string& text) const {
    SIZE size{};
    GetTextExtentPoint32A(impl_->Dc(), text.c_str(), static_cast<int>(text.size()), &size);
    if (size.cy == 0) {  // no text: the height of a line
        TEXTMETRICA metrics{};
        GetTextMetricsA(impl_->Dc(), &metrics);
        size.cy = metrics.tmHeight;
    }
    return win32::TwipsY(size.cy);
}

bool PictureBox::ExtFloodFill(int pixelX, int pixelY, base::Color color, unsigned fillType) {
    const HDC dc = impl_->Dc();
    const win32::GdiObject<HBRUSH> fill(CreateSolidBrush(win32::ColorRef(impl_->fillColor)));
    const win32::Selection brushSelected(dc, fill.get());
    const bool filled = ::ExtFloodFill(dc, pixelX, pixelY, win32::ColorRef(color), fillType) != 0;
    impl_->Changed();
    return filled;
}

}  // namespace platform
