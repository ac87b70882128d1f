#pragma once
// An ellipse drawn by GDI on a 32-bit top-down DIB section, remembered: the next one with the
// same box, pen and brush on an image of the same size is copied from memory, pixel for pixel
// what GDI drew, instead of being drawn again. GDI draws an ellipse with a pen wider than a pixel
// slowly (0.2 ms under Wine for the compass's disc, two thirds of handling a rotator report), and
// the compass draws the same disc at every report.
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/win32/dib.h"

namespace platform::win32 {

// What decides an ellipse's pixels: its box (GDI's: right and bottom edges left out), a solid pen,
// and a solid brush or none. Drawn in copy mode.
struct EllipseLook {
    RECT box;
    int penWidth;
    COLORREF pen;
    std::optional<COLORREF> fill;

    bool operator==(const EllipseLook& other) const;
};

class EllipseStamp {
  public:
    // Draws the ellipse on the image as GDI's Ellipse does. Throws base::Failure when out of
    // memory.
    void Draw(const DibImage& image, const EllipseLook& look);

  private:
    struct Pixel {
        std::size_t at;  // in the image's bits
        std::uint32_t value;
    };
    void Learn(const DibImage& image, const EllipseLook& look);

    std::optional<EllipseLook> look_;  // of the pixels below
    int width_ = 0, height_ = 0;       // of the image they were learnt on
    std::vector<Pixel> pixels_;
};

}  // namespace platform::win32
