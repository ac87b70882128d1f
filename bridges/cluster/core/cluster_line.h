#pragma once
// What one line from a DX cluster node is: a spot, a backlog spot, a bulletin, talk, a prompt or
// anything else. Lines are read by their words, not by columns: long calls and frequencies of
// 10 GHz and more shift the columns of every node software.
#include <optional>
#include <string>
#include <string_view>

namespace cluster {

enum class LineKind {
    Spot,            // DX de W1ABC:  14025.0  JA1XYZ  CQ  1234Z FN42
    UnreadableSpot,  // DX de ... that lacks a readable spotter, frequency, DX call or time
    BacklogSpot,     // 14025.0  JA1XYZ  7-Dec-2026 1234Z  CQ  <W1ABC>   (the answer to sh/dx)
    Announcement,    // To ALL de W1ABC: text
    Talk,            // W1XYZ de W1ABC: text
    Wwv,             // WWV de W1ABC <18>:   SFI=150, A=8, K=2, ...
    Wcy,             // WCY de W1ABC <18> : K=2 expK=3 A=8 ...
    LoginPrompt,     // login:   /   Please enter your call:
    PasswordPrompt,  // password:
    Other,
};

// What a reverse-beacon (skimmer) spot's comment says, as far as it says it.
struct SkimmerReport {
    std::string mode;          // "CW", "RTTY", "FT8", ... (the comment's first word)
    std::optional<int> snrDb;  // "12 dB"
    std::optional<int> wpm;    // "25 WPM" (digital-mode spots have none)
    std::string kind;          // "CQ", "DE", "BEACON", "NCDXF B"; empty when none stands there
};

struct Spot {
    std::string spotter;        // as received, "-#" and SSID included ("W1ABC-#")
    std::string frequencyText;  // as received ("14025.0", "7025.30", "10368100.0")
    double frequencyKhz = 0.0;
    std::string dxCall;
    std::string comment;    // blanks at both ends removed; may be empty
    std::string time;       // "HHMM", UTC
    std::string afterTime;  // what follows the time on a live spot, usually one word (the
                            // spotter's locator, a zone or a state); empty when nothing
    std::string date;       // backlog spots: "7-Dec-2026" as received; empty on live spots
    bool skimmer = false;   // the spotter ends in "-#"
    std::optional<SkimmerReport> skimmerReport;  // skimmer spots whose comment could be read
};

struct ClusterLine {
    LineKind kind = LineKind::Other;
    std::optional<Spot> spot;  // Spot and BacklogSpot
    std::string sender;        // Announcement, Talk, Wwv, Wcy: the call after "de"
    std::string text;          // Announcement and Talk: the message; Wwv and Wcy: the report
};

// Classifies one line (or the partial text of an unfinished line: prompts come without a line
// end). A "DX de" line that lacks a readable frequency, DX call or time ("HHMM" followed by "Z",
// 00:00 to 23:59) is an UnreadableSpot, never a spot with guessed fields; a backlog line that
// cannot be read is Other.
ClusterLine ClassifyLine(std::string_view line);

}  // namespace cluster
