#include "bridges/cluster/core/cluster_line.h"

#include <algorithm>
#include <charconv>

#include "base/text.h"
#include "bridges/cluster/core/plain_text.h"

namespace cluster {

namespace {

using base::EndsWithNoCase;
using base::IsDigit;
using base::IsLetter;

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// The first word of the text, taken off it.
std::string_view NextWord(std::string_view& text) {
    text = base::TrimBlanks(text);
    std::size_t end = 0;
    while (end < text.size() && !IsBlank(text[end])) ++end;
    const std::string_view word = text.substr(0, end);
    text.remove_prefix(end);
    return word;
}

// The last word of the text, taken off it.
std::string_view LastWord(std::string_view& text) {
    text = base::TrimBlanks(text);
    std::size_t start = text.size();
    while (start > 0 && !IsBlank(text[start - 1])) --start;
    const std::string_view word = text.substr(start);
    text.remove_suffix(word.size());
    return word;
}

// Whole digits as a number; nothing for an empty text or anything but digits.
std::optional<int> WholeNumber(std::string_view text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || !IsDigit(text.front()) || error != std::errc() ||
        end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::optional<int> SignedNumber(std::string_view text) {
    const bool negative = text.starts_with('-');
    const auto value = WholeNumber(text.substr(negative ? 1 : 0));
    if (!value) return std::nullopt;
    return negative ? -*value : *value;
}

// kHz with at most three decimals ("14025.0", "7025.30", "10368100.0").
std::optional<double> Kilohertz(std::string_view text) {
    const std::size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view decimals =
        point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    if (whole.empty() || whole.size() > 9 || decimals.size() > 3 ||
        (point != std::string_view::npos && decimals.empty()))
        return std::nullopt;
    for (const char c : whole)
        if (!IsDigit(c)) return std::nullopt;
    for (const char c : decimals)
        if (!IsDigit(c)) return std::nullopt;
    double value = 0.0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    if (value <= 0.0) return std::nullopt;
    return value;
}

// "HHMMZ", 0000Z to 2359Z.
bool IsTime(std::string_view word) {
    if (word.size() != 5 || word[4] != 'Z') return false;
    for (std::size_t i = 0; i < 4; ++i)
        if (!IsDigit(word[i])) return false;
    return (word[0] - '0') * 10 + (word[1] - '0') < 24 && word[2] < '6';
}

// The width of the spotter's "CALL:" in the older column form of spots.
constexpr std::size_t kOldSpotterWidth = 8;
// Longer words are no calls.
constexpr std::size_t kLongestCall = 32;

// Letters, digits and '/', with at least one letter and one digit.
bool IsCall(std::string_view word) {
    bool letter = false;
    bool digit = false;
    for (const char c : word) {
        letter = letter || IsLetter(c);
        digit = digit || IsDigit(c);
        if (!IsLetter(c) && !IsDigit(c) && c != '/') return false;
    }
    return letter && digit && word.size() <= kLongestCall;
}

// A call as a user of a node has it: the call, and an SSID after a '-' ("G4ABC-2").
bool IsUserCall(std::string_view word) {
    const std::size_t dash = word.find('-');
    if (dash == std::string_view::npos) return IsCall(word);
    const std::string_view ssid = word.substr(dash + 1);
    return IsCall(word.substr(0, dash)) && !ssid.empty() && ssid.size() <= 2 &&
           std::all_of(ssid.begin(), ssid.end(), IsDigit);
}

// "7-Dec-2026" or "07-Dec-2026".
bool IsDate(std::string_view word) {
    static constexpr std::string_view kMonths[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                                   "jul", "aug", "sep", "oct", "nov", "dec"};
    const std::size_t dash = word.find('-');
    if (dash == std::string_view::npos || word.size() != dash + 9 || word[dash + 4] != '-')
        return false;
    const auto day = WholeNumber(word.substr(0, dash));
    const auto year = WholeNumber(word.substr(dash + 5));
    if (dash > 2 || !day || *day < 1 || *day > 31 || !year) return false;
    const std::string_view month = word.substr(dash + 1, 3);
    for (const std::string_view name : kMonths)
        if (EndsWithNoCase(month, name)) return true;
    return false;
}

std::optional<SkimmerReport> ReadSkimmerComment(std::string_view comment) {
    SkimmerReport report;
    report.mode = std::string(NextWord(comment));
    if (report.mode.empty() || !IsLetter(report.mode.front())) return std::nullopt;
    std::string_view previous;
    for (std::string_view word = NextWord(comment); !word.empty(); word = NextWord(comment)) {
        if (word == "dB") report.snrDb = SignedNumber(previous);
        if (word == "WPM") report.wpm = WholeNumber(previous);
        if (word == "CQ" || word == "DE" || word == "BEACON") report.kind = std::string(word);
        if (word == "B" && previous == "NCDXF") report.kind = "NCDXF B";
        previous = word;
    }
    return report;
}

// A spot's words, where they stand in the line.
struct SpotWords {
    std::string_view spotter, frequency, dxCall, comment, time, afterTime, date;
    double khz = 0.0;
};

// "DX de " taken off: "W1ABC:  14025.0  JA1XYZ  CQ  1234Z FN42". The spotter's colon may be
// missing: the older column form ("DX de %-8.8s%10.1f") cuts "CALL:" to 8 characters, so that a
// spotter of 8 or more has none ("DL1ABC-2   14025.0", "DL8LAS-#   7012.0") and one of 8 runs
// into a frequency of 10 GHz or more ("DL1ABC-210368100.0"); in the newer form a long spotter
// runs into such a frequency after its colon ("DL1ABC-2:10368100.0").
bool ReadLiveSpot(std::string_view rest, SpotWords& words) {
    const std::string_view first = NextWord(rest);
    if (const std::size_t colon = first.find(':'); colon != std::string_view::npos) {
        words.spotter = first.substr(0, colon);
        words.frequency = first.substr(colon + 1);
    } else if (first.size() > kOldSpotterWidth && Kilohertz(first.substr(kOldSpotterWidth))) {
        words.spotter = first.substr(0, kOldSpotterWidth);
        words.frequency = first.substr(kOldSpotterWidth);
    } else {
        words.spotter = first;
    }
    if (words.frequency.empty()) words.frequency = NextWord(rest);
    words.dxCall = NextWord(rest);
    // The time is the last "HHMMZ" word; what follows it is the spotter's (a locator, a zone, a
    // state, the aggregated "Q:9 Z:5,14" forms).
    std::string_view body = rest;
    words.time = LastWord(body);
    while (!words.time.empty() && !IsTime(words.time)) words.time = LastWord(body);
    const char* const timeEnd = words.time.data() + words.time.size();
    words.afterTime = base::TrimBlanks(
        std::string_view(timeEnd, static_cast<std::size_t>(rest.data() + rest.size() - timeEnd)));
    words.comment = base::TrimBlanks(body);
    const auto khz = Kilohertz(words.frequency);
    words.khz = khz.value_or(0.0);
    return !words.spotter.empty() && khz && IsCall(words.dxCall) && IsTime(words.time);
}

// "14025.0  JA1XYZ  7-Dec-2026 1234Z  CQ  <W1ABC>".
bool ReadBacklogSpot(std::string_view rest, SpotWords& words) {
    words.frequency = NextWord(rest);
    words.dxCall = NextWord(rest);
    words.date = NextWord(rest);
    words.time = NextWord(rest);
    const std::string_view spotter = LastWord(rest);
    words.comment = base::TrimBlanks(rest);
    const auto khz = Kilohertz(words.frequency);
    words.khz = khz.value_or(0.0);
    if (spotter.size() < 3 || spotter.front() != '<' || spotter.back() != '>') return false;
    words.spotter = spotter.substr(1, spotter.size() - 2);
    return khz && IsCall(words.dxCall) && IsDate(words.date) && IsTime(words.time);
}

// Built in place: a spot is read for every line, so its strings are not moved about.
void MakeSpot(const SpotWords& words, std::optional<Spot>& out) {
    Spot& spot = out.emplace();
    spot.spotter = words.spotter;
    spot.frequencyText = words.frequency;
    spot.frequencyKhz = words.khz;
    spot.dxCall = words.dxCall;
    spot.comment = words.comment;
    spot.time = words.time.substr(0, 4);
    spot.afterTime = words.afterTime;
    spot.date = words.date;
    spot.skimmer = words.spotter.ends_with("-#");
    if (spot.skimmer) spot.skimmerReport = ReadSkimmerComment(words.comment);
}

// After a "de": the sender (the first word before the first ':', without the ':') and the text
// after that ':'. "W1ABC: text", "W1ABC <18>:   SFI=150", "W1ABC <18> : K=2".
bool ReadSenderAndText(std::string_view rest, ClusterLine& line) {
    const std::size_t colon = rest.find(':');
    if (colon == std::string_view::npos) return false;
    std::string_view head = rest.substr(0, colon);
    const std::string_view sender = NextWord(head);
    if (sender.empty()) return false;
    line.sender = std::string(sender);
    line.text = std::string(base::TrimBlanks(rest.substr(colon + 1)));
    return true;
}

LineKind PromptKind(std::string_view text) {
    if (EndsWithNoCase(text, "login:") || EndsWithNoCase(text, "your call:") ||
        EndsWithNoCase(text, "callsign:"))
        return LineKind::LoginPrompt;
    if (EndsWithNoCase(text, "password:")) return LineKind::PasswordPrompt;
    return LineKind::Other;
}

}  // namespace

ClusterLine ClassifyLine(std::string_view text) {
    ClusterLine line;
    text = base::TrimBlanks(text);
    SpotWords words;
    if (text.starts_with("DX de ")) {
        line.kind = LineKind::UnreadableSpot;
        if (ReadLiveSpot(text.substr(6), words)) {
            line.kind = LineKind::Spot;
            MakeSpot(words, line.spot);
        }
        return line;
    }
    if (!text.empty() && IsDigit(text.front())) {
        if (ReadBacklogSpot(text, words)) {
            line.kind = LineKind::BacklogSpot;
            MakeSpot(words, line.spot);
        }
        return line;
    }
    std::string_view rest = text;
    const std::string_view first = NextWord(rest);
    if (first == "To") {
        const std::string_view audience = NextWord(rest);
        if (!audience.empty() && NextWord(rest) == "de" && ReadSenderAndText(rest, line))
            line.kind = LineKind::Announcement;
    } else if ((first == "WWV" || first == "WCY") && NextWord(rest) == "de") {
        if (ReadSenderAndText(rest, line))
            line.kind = first == "WWV" ? LineKind::Wwv : LineKind::Wcy;
    } else if (IsUserCall(first) && NextWord(rest) == "de") {
        if (ReadSenderAndText(rest, line)) line.kind = LineKind::Talk;
    } else {
        line.kind = PromptKind(text);
    }
    return line;
}

}  // namespace cluster
