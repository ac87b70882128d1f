#pragma once
// A still of part of the screen, for tests that look at many pixels at once (one read of the
// screen instead of one per pixel) and for screenshots saved as PNG files.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace e2e {

class ScreenImage {
  public:
    // The inner area of a window (a control of the program, say), as the screen shows it now.
    static ScreenImage OfInnerArea(HWND window);
    // A rectangle of the screen, in screen pixels.
    static ScreenImage OfScreen(const RECT& rect);

    int Width() const { return width_; }
    int Height() const { return height_; }
    // The colour at a point of the image; CLR_INVALID outside it.
    COLORREF At(int x, int y) const;
    // Whether any pixel of the rectangle [left, right) x [top, bottom) has the colour.
    bool AnyIn(const RECT& area, COLORREF color) const;

    // Writes the image as a PNG file; false when the file cannot be written.
    bool SavePng(const std::string& path) const;

  private:
    int width_ = 0, height_ = 0;
    std::vector<std::uint8_t> rgb_;  // rows top-down, three bytes a pixel
};

// The folder for screenshots of the tests, BUILD/screenshots; made when missing.
std::string ScreenshotFolder();

}  // namespace e2e
