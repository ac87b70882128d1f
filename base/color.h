#pragma once
// Colours: either a plain red/green/blue value or one of the user's system colours, which the
// backend resolves when it paints.
#include <cstdint>

namespace base {

struct Color {
    std::uint8_t red = 0, green = 0, blue = 0;
    std::int16_t systemIndex = -1;  // >= 0: a system colour index (COLOR_WINDOW = 5, ...)

    static constexpr Color Rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
        return Color{r, g, b, -1};
    }
    static constexpr Color System(std::int16_t index) { return Color{0, 0, 0, index}; }
    constexpr bool IsSystem() const { return systemIndex >= 0; }
    friend constexpr bool operator==(const Color&, const Color&) = default;
};

// The classic 16-colour palette entries the program uses.
inline constexpr Color kBlue = Color::Rgb(0, 0, 128);          // palette 1
inline constexpr Color kLightGreen = Color::Rgb(0, 255, 0);    // palette 10
inline constexpr Color kLightCyan = Color::Rgb(0, 255, 255);   // palette 11
inline constexpr Color kLightRed = Color::Rgb(255, 0, 0);      // palette 12
inline constexpr Color kBlack = Color::Rgb(0, 0, 0);
inline constexpr Color kCyan = Color::Rgb(0, 255, 255);
inline constexpr Color kNavy = Color::Rgb(0, 0, 128);
inline constexpr Color kWindowBackground = Color::System(5);
inline constexpr Color kWindowText = Color::System(8);

// Palette colour by its index in the classic 16-colour palette (0..15); throws Failure otherwise.
Color PaletteColor(int index);

}  // namespace base
