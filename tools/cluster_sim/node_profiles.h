#pragma once
// The families of DX cluster node programs, as the node simulator plays them: how each greets,
// asks for the call, answers, prompts and formats its spots (from the bytes measured on a real
// DXSpider 1.57 node and what the other programs are known to send).
#include <string>
#include <string_view>
#include <vector>

namespace tools {

// How a node writes a live spot.
enum class SpotForm {
    // DXSpider 1.57 and the others: "DX de " + "CALL:" padded to 9 + "%8.1f" + 2 blanks + DX call
    // padded to 12 + blank + comment cut or padded to 30 + blank + "HHMMZ"; longer words shift.
    Current,
    // DXSpider before 1.57: "DX de %-8.8s%10.1f  %-12.12s %-30s %s": "CALL:" cut to 8, the DX
    // call cut to 12.
    Old,
};

// What a node sends and how it answers. "%CALL%" in a text stands for the call logged in.
struct NodeStyle {
    std::string name;
    bool telnet = false;  // asks WILL ECHO, DO TTYPE, WILL SGA first
    bool bells = false;   // two BELs before the line end of spots and announcements, as nodes beep
    bool lfcr = false;    // lines end in LF CR instead of CR LF
    std::string greeting = "\aWelcome to the Vantro32 test node\r\n\r\n";  // on connect
    std::string prompt = "login: ";  // the login prompt(s), sent as they are after the greeting
    unsigned answerDelayMs = 0;      // before the node answers the call
    std::string password;            // asked for after the call when not empty
    std::string refusal;  // when not empty: this line after the call, and the connection closed
    bool refusesSlash = true;  // a call with '/' is refused ("Sorry ... is an invalid callsign")
    std::vector<std::string> welcome = {"Hello %CALL%, this is SIM1 in Testland"};
    std::vector<std::string> backlog;  // lines sent on login, before the prompt line
    std::string promptLine = "%CALL% de SIM1  7-Dec-2026 0824Z dxspider >";  // empty: none
    SpotForm spotForm = SpotForm::Current;
    bool skimmerNeedsSet = false;  // skimmer spots only for a login that sent set/skimmer
    std::string skimmerSet = "RBN/Skimming set to ALL MODES for %CALL%";  // its answer
    bool answersCommands = true;  // the prompt line after each line heard
};

// The families: "dxspider-1.57", "dxspider-1.55", "ar-cluster", "cc-cluster", "skimmer-server".
// Throws std::invalid_argument for another name.
NodeStyle Profile(std::string_view name);
const std::vector<std::string>& ProfileNames();

struct SimSpot {
    std::string spotter;  // "W3LPL", "W3LPL-#"
    std::string kHz;      // "14025.0"
    std::string call;
    std::string comment;
    std::string time;  // "HHMM"
};

// The spot's line as a node of that form writes it, without its line end.
std::string SpotLine(SpotForm form, const SimSpot& spot);

// UTC now, minutes ago, as "HHMM".
std::string UtcTime(int minutesAgo = 0);

}  // namespace tools
