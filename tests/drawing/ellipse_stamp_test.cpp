// An ellipse drawn from memory is the one GDI draws, pixel for pixel: for every look, whatever was
// drawn on the image meanwhile, after other looks, and on an image of another size.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32/ellipse_stamp.h"
#include "platform/win32/handles.h"

namespace {

using platform::win32::DibImage;
using platform::win32::EllipseLook;
using platform::win32::EllipseStamp;
using platform::win32::GdiObject;
using platform::win32::MemoryDc;
using platform::win32::Selection;

class Image {
  public:
    Image(int width, int height)
        : width_(width), height_(height), dc_(CreateCompatibleDC(nullptr)) {
        bitmap_ = platform::win32::MakeDib(dc_.get(), width, height, bits_);
        previous_ = SelectObject(dc_.get(), bitmap_.get());
    }
    ~Image() { SelectObject(dc_.get(), previous_); }

    DibImage Dib() const { return {dc_.get(), bits_, width_, height_}; }
    std::vector<std::uint32_t> Pixels() const {
        GdiFlush();
        return {bits_, bits_ + static_cast<std::size_t>(width_) * height_};
    }
    // Something else drawn across the image, different each round.
    void Scribble(int round) const {
        const GdiObject<HBRUSH> brush(
            CreateSolidBrush(RGB(round * 37 % 256, 90, round * 11 % 256)));
        const RECT band{0, round % height_, width_, round % height_ + 7};
        FillRect(dc_.get(), &band, brush.get());
        const GdiObject<HPEN> pen(CreatePen(PS_SOLID, 1 + round % 3, RGB(200, round * 5 % 256, 0)));
        const Selection penSelected(dc_.get(), pen.get());
        MoveToEx(dc_.get(), round % width_, 0, nullptr);
        LineTo(dc_.get(), width_ - 1 - round % width_, height_ - 1);
    }
    void GdiEllipse(const EllipseLook& look) const {
        const GdiObject<HPEN> pen(CreatePen(PS_SOLID, look.penWidth, look.pen));
        GdiObject<HBRUSH> fill;
        if (look.fill) fill.reset(CreateSolidBrush(*look.fill));
        const Selection penSelected(dc_.get(), pen.get());
        const Selection brushSelected(
            dc_.get(), fill ? static_cast<HGDIOBJ>(fill.get()) : GetStockObject(NULL_BRUSH));
        Ellipse(dc_.get(), look.box.left, look.box.top, look.box.right, look.box.bottom);
    }

  private:
    int width_, height_;
    MemoryDc dc_;
    GdiObject<HBITMAP> bitmap_;
    std::uint32_t* bits_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};

TEST(EllipseStampTest, DrawsWhatGdiDrawsForEveryLookAgainAfterOthersAndOnAnotherSize) {
    const std::vector<EllipseLook> looks = {
        {{8, 10, 88, 90}, 2, RGB(0, 0, 255), RGB(128, 255, 255)},     // the compass's disc
        {{8, 10, 88, 90}, 2, RGB(255, 0, 0), RGB(128, 255, 255)},     // another pen
        {{8, 10, 88, 90}, 2, RGB(255, 0, 0), RGB(255, 255, 0)},       // another brush
        {{8, 10, 88, 90}, 2, RGB(255, 0, 0), std::nullopt},           // no brush
        {{8, 10, 88, 90}, 1, RGB(255, 0, 0), std::nullopt},           // a thin pen
        {{8, 11, 88, 90}, 1, RGB(255, 0, 0), std::nullopt},           // another box
        {{-20, -15, 40, 50}, 5, RGB(255, 0, 0), RGB(255, 0, 0)},      // over the edge, one colour
        {{5, 5, 90, 95}, 4, RGB(1, 2, 3), RGB(2, 3, 4)},              // the blank's own colours
        {{30, 30, 30, 60}, 3, RGB(0, 0, 0), RGB(9, 9, 9)},            // an empty box
        {{200, 200, 260, 250}, 2, RGB(0, 0, 0), RGB(255, 255, 255)},  // off the image
    };
    EllipseStamp stamp;
    int round = 0;
    const auto drawBoth = [&](const Image& mine, const Image& gdis, const EllipseLook& look,
                              const std::string& what) {
        mine.Scribble(round);
        gdis.Scribble(round);
        ++round;
        stamp.Draw(mine.Dib(), look);
        gdis.GdiEllipse(look);
        EXPECT_EQ(mine.Pixels(), gdis.Pixels()) << what;
    };
    const Image mine(97, 101), gdis(97, 101);
    // Each look learnt, then from memory; all of them twice over.
    for (int pass = 0; pass < 2; ++pass)
        for (std::size_t i = 0; i < looks.size(); ++i)
            for (int again = 0; again < 2; ++again)
                drawBoth(mine, gdis, looks[i],
                         "look " + std::to_string(i) + ", pass " + std::to_string(pass));
    const Image smallMine(60, 40), smallGdis(60, 40);
    drawBoth(smallMine, smallGdis, looks[0], "the same look on a smaller image");
    drawBoth(mine, gdis, looks[0], "back on the first image");
}

}  // namespace
