#pragma once
// What the window shows of its links and its rotator panel, read from outside: the link
// indicators, the labels of the panel, and the compass picture pic1 (where its pointer is). The
// compass places follow its drawing: centre in the middle of the picture's inner area, radius 0.65
// of half its width, the arrowhead between 300 and 50 twips short of one pixel inside the circle.
#include <windows.h>

#include <string>

#include "harness.h"
#include "screen_image.h"

namespace e2e {

inline constexpr COLORREF kLightRed = RGB(255, 0, 0);
inline constexpr COLORREF kLightCyan = RGB(0, 255, 255);
inline constexpr COLORREF kBlue = RGB(0, 0, 128);
inline constexpr COLORREF kLightGreen = RGB(0, 255, 0);

// Points inside the link indicators labLinked and labArsLinked, in the window's inner area.
POINT HostIndicator();
POINT RotatorIndicator();
// Labels of the rotator panel: the reported azimuth and the manual heading.
HWND AzimuthLabel(const Program& program);
HWND SelectedHeadingLabel(const Program& program);
HWND RotatorFrame(const Program& program);

class CompassView {
  public:
    explicit CompassView(const Program& program);  // throws when the picture is not found

    HWND Picture() const { return picture_; }
    ScreenImage Take() const { return ScreenImage::OfInnerArea(picture_); }

    // The pixel at `distance` pixels from the centre towards a heading (0 up, 90 right).
    POINT Toward(double heading, double distance) const;
    // Distances from the centre, in pixels, of two points well inside the arrowhead.
    double NearBase() const;
    double NearTip() const;

    // Light red inside the arrowhead at the heading; light cyan at the same places towards the
    // three other quarters. Empty when it does, else what was seen instead.
    std::string PointerMismatch(const ScreenImage& image, int heading) const;
    // Waits until the screen shows the pointer at the heading (the window paints when the
    // program gets to it); the last mismatch when it never does.
    std::string WaitForPointer(int heading) const;

  private:
    HWND picture_ = nullptr;
    double centreX_ = 0, centreY_ = 0, radius_ = 0;  // pixels of the inner area
};

}  // namespace e2e
