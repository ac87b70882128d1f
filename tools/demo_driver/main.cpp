// The demo's hands when there is no display to watch: starts Vantro32 in a folder of its own (as
// the end-to-end tests do), waits for the host simulator's spots to be listed, double-clicks a
// station and follows the rotator to its heading; shows the companions' windows that run (and
// the cluster bridge's settings dialog), then closes Vantro32's window as its close control does.
// At each moment worth seeing it asks the demo script for a screenshot of a window with a line
// "shoot NAME LEFT TOP WIDTH HEIGHT" (screen pixels) and goes on once a line comes back on its
// standard input. Every wait has a limit; a failure is reported as "failed: ..." and the exit
// code 1.
#include <windows.h>

#include <cstdlib>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "harness.h"
#include "panel_view.h"
#include "tools/peer_console.h"

namespace {

constexpr DWORD kSpotsLimitMs = 60000;   // the host simulator sends a line a second or so
constexpr DWORD kTurnLimitMs = 150000;   // half a turn at two degrees a second
constexpr DWORD kStartLimitMs = 20000;   // for the rotator to report that it moves
constexpr std::size_t kFirstShot = 3;    // lines listed in the first screenshot
constexpr std::size_t kBeforeClick = 6;  // lines listed before the double-click: all in sight

struct Station {
    int index;
    std::string callsign;
    int heading;
};

// The heading column of a list line (characters 21 to 25) when it is a whole number of degrees
// the rotator can stop at.
std::optional<int> HeadingOf(const std::string& line) {
    if (line.size() < 25) return std::nullopt;
    const std::string column = line.substr(20, 5);
    const std::size_t first = column.find_first_not_of(' ');
    if (first == std::string::npos) return std::nullopt;
    const std::string digits = column.substr(first);
    if (digits.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
    const int heading = std::atoi(digits.c_str());
    if (heading > 359) return std::nullopt;
    return heading;
}

// The newest listed station (still in sight, at the bottom) far enough from where the rotator
// points for the turn to be worth watching.
std::optional<Station> StationToTurnTo(const std::vector<std::string>& lines, int from) {
    for (int wanted : {90, 30, 1}) {
        for (std::size_t i = lines.size(); i-- > 0;) {
            const std::optional<int> heading = HeadingOf(lines[i]);
            if (!heading || std::abs(*heading - from) < wanted) continue;
            const std::string callsign = lines[i].substr(0, lines[i].find(' '));
            return Station{static_cast<int>(i), callsign, *heading};
        }
    }
    return std::nullopt;
}

class Demo {
  public:
    void Run() {
        AnswerMessages();
        WaitForLines(kFirstShot);
        Shoot("demo-1");
        WaitForLines(kBeforeClick);

        const HWND azimuth = e2e::AzimuthLabel(program_);
        if (!azimuth) throw std::runtime_error("the azimuth label is missing");
        const int from = Azimuth(azimuth);
        const std::optional<Station> station =
            StationToTurnTo(program_.ListLines(program_.StationList()), from);
        if (!station) throw std::runtime_error("no listed station has a heading to turn to");
        tools::Say("double-click on " + station->callsign + ", heading " +
                   std::to_string(station->heading) + "; the rotator is at " +
                   std::to_string(from));
        program_.DoubleClickLine(program_.StationList(), station->index);

        // Setting off, with the station still in sight; half way; there.
        const int turn = std::abs(station->heading - from);
        if (!e2e::WaitUntil([&] { return Azimuth(azimuth) != from; }, kStartLimitMs))
            throw std::runtime_error("the rotator does not turn");
        Shoot("demo-2");
        WaitForTurn(azimuth, from, turn / 2);
        Shoot("demo-3");
        const std::string there = std::to_string(station->heading);
        if (!e2e::WaitUntil([&] { return e2e::TextOf(azimuth) == there; }, kTurnLimitMs))
            throw std::runtime_error("labAz shows " + e2e::TextOf(azimuth) + ", not " + there);
        const std::string mismatch = e2e::CompassView(program_).WaitForPointer(station->heading);
        if (!mismatch.empty())
            throw std::runtime_error("the compass does not point there:" + mismatch);
        tools::Say("the rotator is at " + there + ", and so are labAz and the compass");
        Shoot("demo-4");
        ShowCompanions();

        program_.Close();
        if (!program_.WaitForExit()) throw std::runtime_error("Vantro32 did not close");
        tools::Say("Vantro32 closed");
    }

  private:
    // Only when a peer was missing at start-up.
    void AnswerMessages() {
        while (const std::optional<e2e::MessageBoxSeen> box = program_.WaitForMessageBox(1000)) {
            tools::Say("message: " + box->text);
            program_.PressOk(*box);
        }
    }

    void WaitForLines(std::size_t count) {
        const HWND list = program_.StationList();
        if (!e2e::WaitUntil([&] { return program_.ListLines(list).size() >= count; },
                            kSpotsLimitMs))
            throw std::runtime_error("fewer than " + std::to_string(count) +
                                     " spots were listed in time");
        tools::Say(std::to_string(program_.ListLines(list).size()) + " spots listed");
    }

    static int Azimuth(HWND label) { return std::atoi(e2e::TextOf(label).c_str()); }

    void WaitForTurn(HWND azimuth, int from, int degrees) {
        if (!e2e::WaitUntil([&] { return std::abs(Azimuth(azimuth) - from) >= degrees; },
                            kTurnLimitMs))
            throw std::runtime_error("the rotator stopped at " + e2e::TextOf(azimuth));
    }

    // The companions' windows in front, one at a time, and the cluster bridge's settings dialog
    // (left with Cancel).
    void ShowCompanions() {
        for (const char* name : {"rotbridge", "clusterbridge"}) {
            const HWND window = FindWindowA(name, nullptr);
            if (!window) continue;
            SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
            Shoot(std::string(name) + "-window", window);
            if (std::string(name) != "clusterbridge") continue;
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            const e2e::Hands bridge(process, GetWindowThreadProcessId(window, nullptr), window);
            bridge.Menu('f', 's');
            const std::optional<e2e::MessageBoxSeen> dialog = bridge.WaitForMessageBox();
            if (!dialog) throw std::runtime_error("the cluster bridge's settings did not open");
            Shoot("clusterbridge-settings", dialog->dialog);
            PostMessageA(dialog->dialog, WM_COMMAND, IDCANCEL, 0);
            if (!e2e::WaitUntil([&] { return !IsWindow(dialog->dialog); }))
                throw std::runtime_error("the cluster bridge's settings did not close");
        }
    }

    void Shoot(const std::string& name) { Shoot(name, program_.Window()); }

    void Shoot(const std::string& name, HWND window) {
        const RECT outer = e2e::WindowRect(window);
        tools::Say("shoot " + name + " " + std::to_string(outer.left) + " " +
                   std::to_string(outer.top) + " " + std::to_string(outer.right - outer.left) +
                   " " + std::to_string(outer.bottom - outer.top));
        std::string taken;
        std::getline(std::cin, taken);  // or the end of the input: nobody is taking them
    }

    e2e::Program program_;
};

}  // namespace

int main() {
    try {
        Demo().Run();
        return 0;
    } catch (const std::exception& failure) {
        tools::Say(std::string("failed: ") + failure.what());
        return 1;
    }
}
