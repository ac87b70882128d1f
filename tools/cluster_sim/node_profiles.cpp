#include "tools/cluster_sim/node_profiles.h"

#include <windows.h>

#include <stdexcept>

namespace tools {

namespace {

// The text padded with blanks to the width; a longer one is kept whole.
std::string Padded(std::string text, std::size_t width) {
    if (text.size() < width) text.append(width - text.size(), ' ');
    return text;
}

std::string RightAligned(const std::string& text, std::size_t width) {
    return text.size() < width ? std::string(width - text.size(), ' ') + text : text;
}

NodeStyle DxSpider157() {
    NodeStyle style;
    style.name = "dxspider-1.57";
    style.bells = true;
    style.greeting = "";
    style.welcome = {"Hello %CALL%, this is N0CALL-2 in Testville",
                     "running DXSpider V1.57 build 441",
                     "Capabilities: ve7cc rbn",
                     "Nodes: 0/1 Users [Loc/Clr]: 1/1 Max: 0/1 - Uptime:  13s",
                     "Please enter your name, set/name <your name>",
                     "Please enter your QTH, set/qth <your qth>",
                     "Please enter your location with set/location or set/qra",
                     "Please enter your Home Node, set/homenode <your home DX Cluster>"};
    style.promptLine = "%CALL% de N0CALL-2  7-Dec-2026 1612Z dxspider >";
    style.skimmerNeedsSet = true;
    return style;
}

NodeStyle DxSpider155() {
    NodeStyle style = DxSpider157();
    style.name = "dxspider-1.55";
    style.welcome[1] = "running DXSpider V1.55 build 0.211";
    style.welcome.erase(style.welcome.begin() + 2);  // no capabilities line
    style.spotForm = SpotForm::Old;
    style.skimmerNeedsSet = false;
    return style;
}

NodeStyle ArCluster() {
    NodeStyle style;
    style.name = "ar-cluster";
    style.telnet = true;
    style.greeting = "AR-Cluster node K1XX-3 (AR-Cluster 6)\r\n\r\n";
    style.prompt = "Please enter your call: ";
    style.refusesSlash = false;
    style.welcome = {"Welcome %CALL% to the K1XX-3 AR-Cluster node", "Last login: never"};
    style.promptLine = "%CALL% de K1XX-3 12-Jul 1855Z arc >";
    return style;
}

NodeStyle CcCluster() {
    NodeStyle style;
    style.name = "cc-cluster";
    style.lfcr = true;
    style.greeting = "Welcome to the VE7CC-1 CC Cluster\r\n";
    // The call asked twice in one go, before anything is typed; the answer comes slowly.
    style.prompt = "Please enter your call: \r\n\r\nlogin: ";
    style.answerDelayMs = 800;
    style.refusesSlash = false;
    style.welcome = {"Hello %CALL%, this is VE7CC-1 running CC Cluster", "CC-Cluster version 3.1"};
    style.promptLine = "%CALL% de VE7CC-1  7-Dec-2026 1612Z CCC >";
    style.skimmerNeedsSet = true;
    style.skimmerSet = "Skimmer spots on for %CALL%";
    return style;
}

NodeStyle SkimmerServer() {
    NodeStyle style;
    style.name = "skimmer-server";
    style.greeting = "CW Skimmer Server\r\n\r\n";
    style.prompt = "Please enter your callsign: ";
    style.refusesSlash = false;
    style.welcome = {"Hello %CALL%!", "Spots from 1 skimmer"};
    style.promptLine.clear();  // no prompt line ever: spots straight away
    style.answersCommands = false;
    return style;
}

}  // namespace

const std::vector<std::string>& ProfileNames() {
    static const std::vector<std::string> names = {"dxspider-1.57", "dxspider-1.55", "ar-cluster",
                                                   "cc-cluster", "skimmer-server"};
    return names;
}

NodeStyle Profile(std::string_view name) {
    if (name == "dxspider-1.57") return DxSpider157();
    if (name == "dxspider-1.55") return DxSpider155();
    if (name == "ar-cluster") return ArCluster();
    if (name == "cc-cluster") return CcCluster();
    if (name == "skimmer-server") return SkimmerServer();
    throw std::invalid_argument("no node profile \"" + std::string(name) + "\"");
}

std::string SpotLine(SpotForm form, const SimSpot& spot) {
    if (form == SpotForm::Old) {
        return "DX de " + Padded((spot.spotter + ":").substr(0, 8), 8) +
               RightAligned(spot.kHz, 10) + "  " + Padded(spot.call.substr(0, 12), 12) + " " +
               Padded(spot.comment, 30) + " " + spot.time + "Z";
    }
    return "DX de " + Padded(spot.spotter + ":", 9) + RightAligned(spot.kHz, 8) + "  " +
           Padded(spot.call, 12) + " " + Padded(spot.comment.substr(0, 30), 30) + " " + spot.time +
           "Z";
}

std::string UtcTime(int minutesAgo) {
    SYSTEMTIME t;
    GetSystemTime(&t);
    const int minutes = ((t.wHour * 60 + t.wMinute - minutesAgo) % 1440 + 1440) % 1440;
    char text[5];
    wsprintfA(text, "%02d%02d", minutes / 60, minutes % 60);
    return text;
}

}  // namespace tools
