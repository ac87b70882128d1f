#include "base/color.h"

#include <array>

#include "base/failure.h"

namespace base {
namespace {

constexpr std::array<Color, 16> kPalette = {
    Color::Rgb(0, 0, 0),       Color::Rgb(0, 0, 128),     Color::Rgb(0, 128, 0),
    Color::Rgb(0, 128, 128),   Color::Rgb(128, 0, 0),     Color::Rgb(128, 0, 128),
    Color::Rgb(128, 128, 0),   Color::Rgb(192, 192, 192), Color::Rgb(128, 128, 128),
    Color::Rgb(0, 0, 255),     Color::Rgb(0, 255, 0),     Color::Rgb(0, 255, 255),
    Color::Rgb(255, 0, 0),     Color::Rgb(255, 0, 255),   Color::Rgb(255, 255, 0),
    Color::Rgb(255, 255, 255),
};

}  // namespace

Color PaletteColor(int index) {
    if (index < 0 || index >= static_cast<int>(kPalette.size())) {
        throw Failure("Invalid procedure call or argument");
    }
    return kPalette[static_cast<std::size_t>(index)];
}

}  // namespace base
