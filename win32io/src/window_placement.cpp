#include "win32io/src/window_placement.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <string>

#include "base/bool_words.h"
#include "base/rounding.h"
#include "win32io/src/screen_units.h"

namespace win32io {

namespace {
// A whole number of twips, as written; nothing for anything else (or a number far off any
// screen).
std::optional<int> Twips(const ProfileSection& section, const char* key) {
    const auto text = section.Read(key);
    if (!text) return std::nullopt;
    int value = 0;
    const char* end = text->data() + text->size();
    const auto [stop, error] = std::from_chars(text->data(), end, value);
    constexpr int kFar = 1'000'000;  // about 17 m at 96 dpi
    if (error != std::errc() || stop != end || value < -kFar || value > kFar) return std::nullopt;
    return value;
}

RECT Centred(SIZE size, const RECT& work) {
    const LONG width = std::min(size.cx, work.right - work.left);
    const LONG height = std::min(size.cy, work.bottom - work.top);
    const LONG left = work.left + (work.right - work.left - width) / 2;
    const LONG top = work.top + (work.bottom - work.top - height) / 2;
    return {left, top, left + width, top + height};
}

RECT WorkArea(HMONITOR monitor) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (monitor && GetMonitorInfoA(monitor, &info)) return info.rcWork;
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}
}  // namespace

Placement LoadPlacement(const ProfileSection& section, SIZE designTwips, SIZE smallest) {
    const double twips = TwipsPerPixel();
    const auto pixels = [&](int value) -> LONG { return base::TwipsToPixels(value, twips); };
    Placement placement;
    const auto minimised = section.Read("MINIMIZED");
    placement.minimised = minimised && base::IsTrueWord(*minimised);

    const RECT primary = WorkArea(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY));
    const SIZE design{std::max(pixels(designTwips.cx), smallest.cx),
                      std::max(pixels(designTwips.cy), smallest.cy)};
    placement.normal = Centred(design, primary);
    const auto left = Twips(section, "LEFT");
    const auto top = Twips(section, "TOP");
    const auto width = Twips(section, "WIDTH");
    const auto height = Twips(section, "HEIGHT");
    if (!left || !top) return placement;
    SIZE size = design;
    if (width && height)
        size = {std::max(pixels(*width), smallest.cx), std::max(pixels(*height), smallest.cy)};
    RECT saved{pixels(*left), pixels(*top), pixels(*left) + size.cx, pixels(*top) + size.cy};
    // A screen that was there when it was saved may be gone: then the primary one shows it.
    const HMONITOR monitor = MonitorFromRect(&saved, MONITOR_DEFAULTTONULL);
    if (!monitor) return placement;
    const RECT work = WorkArea(monitor);
    size.cx = std::min(size.cx, work.right - work.left);
    size.cy = std::min(size.cy, work.bottom - work.top);
    // Its title bar stays on the screen, where it can be taken hold of.
    const LONG x = std::clamp<LONG>(saved.left, work.left, work.right - size.cx);
    const LONG y = std::clamp<LONG>(saved.top, work.top, work.bottom - size.cy);
    placement.normal = {x, y, x + size.cx, y + size.cy};
    return placement;
}

void SavePlacement(const ProfileSection& section, const Placement& placement) {
    const double twips = TwipsPerPixel();
    const auto write = [&](const char* key, LONG pixels) {
        section.Write(key, std::to_string(static_cast<long>(base::RoundHalfEven(pixels * twips))));
    };
    const RECT& r = placement.normal;
    write("LEFT", r.left);
    write("TOP", r.top);
    write("WIDTH", r.right - r.left);
    write("HEIGHT", r.bottom - r.top);
    section.Write("MINIMIZED", base::TrueFalseWord(placement.minimised));
}

}  // namespace win32io
