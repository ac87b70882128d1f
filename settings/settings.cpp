// The settings file beside the program: one read or write at a time, straight to the file.
#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

#include "app/frmRCI.h"
#include "base/bool_words.h"
#include "base/failure.h"
#include "base/numeric.h"
#include "base/rounding.h"
#include "base/text.h"
#include "platform/system.h"

namespace {

constexpr std::size_t kValueBufferSize = 500;  // so at most 499 characters of a value are read

// A centred edge as a whole number kept within what a saved edge can hold: on a very large screen
// the exact centre would not fit 16 bits, and the program must still start.
std::int16_t CentredEdge(float screen, float window) {
    const double whole = base::RoundHalfEven((static_cast<double>(screen) - window) / 2);
    return static_cast<std::int16_t>(std::clamp<double>(
        whole, std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max()));
}

// A window edge made whole for saving, or nothing when it does not fit 16 bits.
std::optional<std::int16_t> SavableEdge(float edge) {
    try {
        return base::ToInt16(edge);
    } catch (const base::Failure&) {
        return std::nullopt;
    }
}

}  // namespace

std::string frmRCI::ReadIniString(const std::string& file, const std::string& section,
                                  const std::string& key, const std::string& defaultValue) {
    char buffer[kValueBufferSize] = {};
    const std::size_t count = platform::GetPrivateProfileString(section, key, defaultValue, buffer,
                                                                kValueBufferSize, file);
    return std::string(buffer, std::min(count, kValueBufferSize - 1));
}

std::string frmRCI::ReadSetting(const std::string& file, const std::string& section,
                                const std::string& key, const std::string& defaultValue) {
    std::string value = ReadIniString(file, section, key, defaultValue);
    // A missing key reads as its default, so the first start writes every key.
    if (value == defaultValue)
        platform::WritePrivateProfileString(section, key, defaultValue, file);
    return value;
}

base::Bool16 frmRCI::TextToBool(const std::string& text) {
    return base::ToBool16(base::IsTrueWord(text));
}

std::string frmRCI::BoolToText(base::Bool16 value) {
    return base::TrueFalseWord(value != 0);
}

void frmRCI::LoadSettings() {
    const platform::ScreenMetrics screen = platform::Screen();

    const std::string left = ReadSetting(
        IniFile, "SETUP", "LEFT", base::DecimalText(CentredEdge(screen.width, window.Width())));
    window.SetLeft(base::ToSingle(base::NumericValue(left)));
    SavedLeft = base::ToInt16(window.Left());

    const std::string top = ReadSetting(
        IniFile, "SETUP", "TOP", base::DecimalText(CentredEdge(screen.height, window.Height())));
    window.SetTop(base::ToSingle(base::NumericValue(top)));
    SavedTop = base::ToInt16(window.Top());

    ShowRotator = TextToBool(ReadSetting(IniFile, "SETUP", "SHOW_ROTATOR", "TRUE"));
    mnuShowRotator.SetChecked(base::IsTrue(ShowRotator));
    ApplyLayout();

    if (base::IsTrue(TextToBool(ReadSetting(IniFile, "SETUP", "MINIMIZED", "FALSE"))))
        window.SetState(platform::WindowState::Minimized);

    AlwaysOnTop = TextToBool(ReadSetting(IniFile, "SETUP", "ALWAYS_ON_TOP", "FALSE"));
    mnuAlwaysOnTop.SetChecked(base::IsTrue(AlwaysOnTop));
    if (base::IsTrue(AlwaysOnTop))
        platform::SetWindowPos(window, platform::kHwndTopmost, 0, 0, 0, 0,
                               platform::kSwpNoMove | platform::kSwpNoSize);
}

void frmRCI::SaveSettings() {
    const bool minimised = window.State() == platform::WindowState::Minimized;
    // While minimised the position recorded at start-up stands. An edge that does not fit the
    // saved 16 bits is not written, so the file keeps its last good value.
    bool leftFits = true, topFits = true;
    if (!minimised) {
        const auto left = SavableEdge(window.Left()), top = SavableEdge(window.Top());
        leftFits = left.has_value();
        topFits = top.has_value();
        if (leftFits) SavedLeft = *left;
        if (topFits) SavedTop = *top;
    }
    if (leftFits)
        platform::WritePrivateProfileString("SETUP", "LEFT", base::DecimalText(SavedLeft), IniFile);
    if (topFits)
        platform::WritePrivateProfileString("SETUP", "TOP", base::DecimalText(SavedTop), IniFile);
    platform::WritePrivateProfileString("SETUP", "MINIMIZED", BoolToText(base::ToBool16(minimised)),
                                        IniFile);
}
