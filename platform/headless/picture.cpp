// The headless picture box: a raster of pixels with simple drawing, fixed font metrics and a
// 4-connected border flood fill (like GDI's, so a border drawn with diagonal steps holds).
#include <algorithm>
#include <cmath>
#include <fstream>
#include <vector>

#include "base/rounding.h"
#include "platform/headless/impl.h"

namespace platform {

using headless::Record;
using headless::Resolve;
using headless::TwipsX;
using headless::TwipsY;

// Fixed metrics of the headless font, in pixels.
inline constexpr int kCharWidthPx = 7, kCharHeightPx = 13;

namespace {
// A pixel coordinate brought within 0 .. size - 1 (0 for one that is not a number).
int PixelWithin(double coordinate, int size) {
    if (!(coordinate >= 0)) return 0;
    if (coordinate > size - 1) return size - 1;
    return static_cast<int>(coordinate);
}
}  // namespace

struct PictureBox::Impl {
    Node node;
    ControlDesign design;
    int width = 0, height = 0;  // inner area, pixels
    std::vector<base::Color> pixels;
    base::Color fillColor = base::kBlack;
    FillStyle fillStyle = FillStyle::Transparent;
    int drawWidth = 1;
    base::Color foreColor;

    void Set(int x, int y, base::Color color) {
        if (x < 0 || y < 0 || x >= width || y >= height) return;
        pixels[static_cast<std::size_t>(y) * width + x] = color;
    }
    base::Color Get(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    void Dot(int x, int y, base::Color color) {  // a pen of the draw width
        const int lo = -(drawWidth - 1) / 2, hi = drawWidth / 2;
        for (int dy = lo; dy <= hi; ++dy)
            for (int dx = lo; dx <= hi; ++dx) Set(x + dx, y + dy, color);
    }
};

PictureBox::PictureBox(Container&, const ControlDesign& design) : impl_(std::make_unique<Impl>()) {
    const int border = headless::CurrentConfig().pictureBorderPx;
    impl_->design = design;
    impl_->node.name = design.name;
    impl_->width = std::max(0, base::TwipsToPixels(design.width, TwipsX()) - 2 * border);
    impl_->height =
        std::max(0, base::TwipsToPixels(design.height, TwipsY()) - 2 * border);
    impl_->pixels.assign(static_cast<std::size_t>(impl_->width) * impl_->height,
                         Resolve(design.backColor));
    impl_->foreColor = design.foreColor;
}
PictureBox::~PictureBox() = default;
Container::Node& PictureBox::ContainerNode() { return impl_->node; }

float PictureBox::ScaleWidth() const { return impl_->width * TwipsX(); }
float PictureBox::ScaleHeight() const { return impl_->height * TwipsY(); }

void PictureBox::SetFillColor(base::Color color) { impl_->fillColor = color; }
void PictureBox::SetFillStyle(FillStyle style) { impl_->fillStyle = style; }
void PictureBox::SetDrawWidth(int pixels) { impl_->drawWidth = std::max(1, pixels); }
void PictureBox::SetDrawStyle(DrawStyle) {}
void PictureBox::SetDrawMode(DrawMode) {}
void PictureBox::SetForeColor(base::Color color) { impl_->foreColor = color; }
base::Color PictureBox::FillColor() const { return impl_->fillColor; }
FillStyle PictureBox::GetFillStyle() const { return impl_->fillStyle; }
int PictureBox::DrawWidth() const { return impl_->drawWidth; }
base::Color PictureBox::ForeColor() const { return impl_->foreColor; }

void PictureBox::Circle(float x, float y, float radius, base::Color outline) {
    Record("Picture." + impl_->design.name + ".Circle");
    const double cx = x / TwipsX(), cy = y / TwipsY(), r = radius / TwipsX();
    const double half = impl_->drawWidth / 2.0;
    const base::Color line = Resolve(outline), fill = Resolve(impl_->fillColor);
    const bool filled = impl_->fillStyle == FillStyle::Solid;
    // A pixel at distance d from the centre takes the outline when |d - r| <= half, else the fill
    // when d < r. Squared distances decide every pixel but those within a hair of a boundary,
    // which are measured exactly; whole runs inside the circle are filled at once. Far out, or
    // with a value that is not a number, squares lose that hair to rounding: every pixel of the
    // picture is then measured.
    const bool nearby = std::abs(cx) + std::abs(cy) + std::abs(r) + half < 1e6;
    const double hair = nearby ? 1e-6 : HUGE_VAL;
    const auto squareOrNone = [](double d) { return d > 0 ? d * d : -1.0; };
    const double beyond = r + half + hair;  // no pixel further out is drawn
    if (!(beyond >= 0)) return;
    const double beyondSquared = beyond * beyond, fillSquared = squareOrNone(r - half - hair);
    const double outlineFrom = squareOrNone(r - half + hair), outlineTo = squareOrNone(r + half - hair);
    const int top = PixelWithin(std::floor(cy - beyond), impl_->height);
    const int bottom = PixelWithin(std::ceil(cy + beyond), impl_->height);
    const int left = PixelWithin(std::floor(cx - beyond), impl_->width);
    const int right = PixelWithin(std::ceil(cx + beyond), impl_->width);
    for (int py = top; py <= bottom; ++py) {
        const double dy = py - cy;
        // The middle of the row, a pixel short of the fill's edge at each end, in one go.
        int runFrom = right + 1, runTo = right;
        if (fillSquared - dy * dy > 0) {
            const double reach = std::sqrt(fillSquared - dy * dy) - 1;
            const double from = std::ceil(cx - reach), to = std::floor(cx + reach);
            if (from <= to && to >= 0 && from <= impl_->width - 1) {
                runFrom = PixelWithin(from, impl_->width);
                runTo = PixelWithin(to, impl_->width);
            }
            if (filled && runFrom <= runTo)
                std::fill_n(impl_->pixels.begin() + static_cast<std::ptrdiff_t>(py) * impl_->width +
                                runFrom,
                            runTo - runFrom + 1, fill);
        }
        for (int px = left; px <= right; ++px) {
            if (px == runFrom && runFrom <= runTo) px = runTo + 1;
            if (px > right) break;
            const double dx = px - cx, squared = dx * dx + dy * dy;
            if (squared > beyondSquared) continue;
            if (squared < fillSquared) {
                if (filled) impl_->Set(px, py, fill);
            } else if (squared >= outlineFrom && squared <= outlineTo) {
                impl_->Set(px, py, line);
            } else {
                const double d = std::hypot(dx, dy);
                if (std::abs(d - r) <= half) impl_->Set(px, py, line);
                else if (d < r && filled) impl_->Set(px, py, fill);
            }
        }
    }
}

void PictureBox::Line(float x1, float y1, float x2, float y2, base::Color color) {
    // Bresenham between the rounded end points: 8-connected, like a GDI pen of one pixel.
    int ax = base::TwipsToPixels(x1, TwipsX()), ay = base::TwipsToPixels(y1, TwipsY());
    const int bx = base::TwipsToPixels(x2, TwipsX()), by = base::TwipsToPixels(y2, TwipsY());
    const int dx = std::abs(bx - ax), dy = -std::abs(by - ay);
    const int sx = ax < bx ? 1 : -1, sy = ay < by ? 1 : -1;
    const base::Color pen = Resolve(color);
    for (int err = dx + dy;;) {
        impl_->Dot(ax, ay, pen);
        if (ax == bx && ay == by) break;
        const int e2 = 2 * err;
        if (e2 >= dy) { err += dy; ax += sx; }
        if (e2 <= dx) { err += dx; ay += sy; }
    }
}

void PictureBox::PrintText(float left, float top, const std::string& text) {
    // Each character is drawn as the outline of its cell, one pixel in: enough for tests to find
    // where the text went and to see that nothing drew over it.
    const int x0 = base::TwipsToPixels(left, TwipsX());
    const int y0 = base::TwipsToPixels(top, TwipsY());
    const base::Color ink = Resolve(impl_->foreColor);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int cx = x0 + static_cast<int>(i) * kCharWidthPx;
        for (int x = cx + 1; x < cx + kCharWidthPx - 1; ++x) {
            impl_->Set(x, y0 + 1, ink);
            impl_->Set(x, y0 + kCharHeightPx - 2, ink);
        }
        for (int y = y0 + 1; y < y0 + kCharHeightPx - 1; ++y) {
            impl_->Set(cx + 1, y, ink);
            impl_->Set(cx + kCharWidthPx - 2, y, ink);
        }
    }
}

float PictureBox::TextWidth(const std::string& text) const {
    return static_cast<float>(text.size()) * kCharWidthPx * TwipsX();
}
float PictureBox::TextHeight(const std::string&) const { return kCharHeightPx * TwipsY(); }

bool PictureBox::ExtFloodFill(int pixelX, int pixelY, base::Color color, unsigned fillType) {
    Record("Picture." + impl_->design.name + ".ExtFloodFill " + std::to_string(pixelX) + " " +
           std::to_string(pixelY));
    Impl& im = *impl_;
    if (fillType != kFloodFillBorder || pixelX < 0 || pixelY < 0 || pixelX >= im.width ||
        pixelY >= im.height)
        return false;
    const base::Color border = Resolve(color), fill = Resolve(im.fillColor);
    if (im.Get(pixelX, pixelY) == border) return false;
    std::vector<bool> seen(im.pixels.size(), false);
    std::vector<std::pair<int, int>> stack{{pixelX, pixelY}};
    while (!stack.empty()) {
        const auto [x, y] = stack.back();
        stack.pop_back();
        if (x < 0 || y < 0 || x >= im.width || y >= im.height) continue;
        const std::size_t at = static_cast<std::size_t>(y) * im.width + x;
        if (seen[at] || im.pixels[at] == border) continue;
        seen[at] = true;
        im.pixels[at] = fill;
        stack.insert(stack.end(), {{x + 1, y}, {x - 1, y}, {x, y + 1}, {x, y - 1}});
    }
    return true;
}

namespace headless {

int ImageWidth(PictureBox& picture) { return picture.GetImpl().width; }
int ImageHeight(PictureBox& picture) { return picture.GetImpl().height; }
base::Color Pixel(PictureBox& picture, int x, int y) {
    const PictureBox::Impl& im = picture.GetImpl();
    if (x < 0 || y < 0 || x >= im.width || y >= im.height) return base::Color::System(-2);
    return im.Get(x, y);
}

void SaveImage(PictureBox& picture, const std::string& path) {
    const PictureBox::Impl& im = picture.GetImpl();
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << im.width << " " << im.height << "\n255\n";
    for (const base::Color& c : im.pixels) out.put(char(c.red)).put(char(c.green)).put(char(c.blue));
}

}  // namespace headless

}  // namespace platform
