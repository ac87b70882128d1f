// The Windows measurements, each against its floor in the same run, driven from outside as a
// user would see them. Prints one line a sample, "sample MEASURE SUBJECT VALUE" (milliseconds or
// bytes), and "failed MEASURE SUBJECT" when something did not happen in time; scripts/perf.sh
// turns them into medians, spreads and ratios.
//   perf_driver startup ROUNDS        process start to the window shown: vantro32.exe and the
//                                     floor window, alternating (one warm-up round first)
//   perf_driver roundtrip SERIES ROUNDS
//                                     Go clicked (which pokes "GA:") to the azimuth report drawn:
//                                     vantro32.exe and the floor client, with its conversation on
//                                     its window's thread and on a thread of its own, a series
//                                     each in turn
//   perf_driver memory LINES          working sets, idle and with LINES spot lines published by
//                                     the host and waiting in the program's intake
// vantro32.exe is taken from ..\win, the floor programs and the peer from beside the driver; the
// programs run in a folder of their own, where the program writes its settings file.
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <system_error>
#include <utility>

#include "tools/perf/child_process.h"
#include "tools/perf/perf_shared.h"

namespace {

using perf::ChildProcess;
using perf::NowMs;

constexpr DWORD kPatienceMs = 30000;
constexpr DWORD kReportLimitMs = 5000;
constexpr int kWarmUpRounds = 2;
constexpr char kFloorClientTitle[] = "Vantro32 floor client";

struct Programs {
    std::string folder, vantro, floorWindow, floorClient, peer;
};

std::string Beside(const std::string& name) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\') + 1) + name;
}

Programs FindPrograms() {
    Programs p;
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    p.folder = std::string(temp) + "vantro32-perf-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(p.folder.c_str(), nullptr);
    p.vantro = p.folder + "\\vantro32.exe";
    p.floorWindow = p.folder + "\\perf_floor_window.exe";
    if (!CopyFileA(Beside("..\\win\\vantro32.exe").c_str(), p.vantro.c_str(), FALSE) ||
        !CopyFileA(Beside("perf_floor_window.exe").c_str(), p.floorWindow.c_str(), FALSE))
        throw std::runtime_error("cannot copy the programs to " + p.folder);
    p.floorClient = Beside("perf_floor_client.exe");
    p.peer = Beside("perf_peer.exe");
    return p;
}

void Sample(const char* measure, const char* subject, double value) {
    std::printf("sample %s %s %.6g\n", measure, subject, value);
    std::fflush(stdout);
}
void Failed(const char* measure, const char* subject, const char* why) {
    std::printf("failed %s %s: %s\n", measure, subject, why);
    std::fflush(stdout);
}

bool WaitUntil(DWORD limitMs, auto condition) {
    const ULONGLONG end = GetTickCount64() + limitMs;
    while (!condition()) {
        if (GetTickCount64() >= end) return false;
        Sleep(10);
    }
    return true;
}

// Start-up

void MeasureStartUp(const Programs& p, int rounds) {
    const struct {
        const char* subject;
        const std::string& program;
    } subjects[] = {{"vantro32", p.vantro}, {"floor", p.floorWindow}};
    for (int round = 0; round <= rounds; ++round) {
        for (int i = 0; i < 2; ++i) {
            const auto& s = subjects[(round + i) % 2];  // the order alternates too
            const double start = NowMs();
            ChildProcess child(s.program, "", p.folder);
            const bool shown = child.WaitForWindow(perf::kTitle, kPatienceMs) != nullptr;
            const double ms = NowMs() - start;
            child.Kill();
            if (!shown)
                Failed("startup", s.subject, "no window");
            else if (round > 0)
                Sample("startup", s.subject, ms);
            Sleep(100);  // the ended process's windows go
        }
    }
}

// The peers

class Peer {
  public:
    Peer(const Programs& p, const std::string& arguments)
        : ready_(CreateEventA(nullptr, FALSE, FALSE, perf::kPeerReadyEvent)),
          process_(p.peer, arguments, p.folder) {
        if (WaitForSingleObject(ready_, kPatienceMs) != WAIT_OBJECT_0)
            throw std::runtime_error("the peer (" + arguments + ") did not start");
    }
    ~Peer() { CloseHandle(ready_); }

  private:
    HANDLE ready_;
    ChildProcess process_;
};

// The round trip

struct Client {
    const char* subject;
    std::string program, arguments, title;
    bool isProgram;
};

// A point that the east report paints in the pointer's red and the west one leaves in (or turns
// back to) the disc's cyan: inside the pointer's arrowhead, east of the compass centre. On the
// floor client, any point of its window.
POINT ProbePoint(HWND window, bool isProgram) {
    POINT point{20, 20};
    HWND area = window;
    if (isProgram) {
        area = perf::FindChild(window, "Vantro32Picture", "");
        RECT inner{};
        GetClientRect(area, &inner);
        const double cx = inner.right / 2.0, cy = inner.bottom / 2.0, radius = 0.65 * cx;
        point = {static_cast<LONG>(std::lround(cx + 0.55 * radius)), static_cast<LONG>(cy)};
    }
    ClientToScreen(area, &point);
    return point;
}

// Clicks Go and waits for the probe to show the report's colour. Returns the milliseconds, or a
// negative value when the report was not seen in time.
double Round(HWND go, POINT probe, COLORREF expected) {
    const HDC screen = GetDC(nullptr);
    const ULONGLONG end = GetTickCount64() + kReportLimitMs;
    const double start = NowMs();
    PostMessageA(go, BM_CLICK, 0, 0);
    bool seen;
    while (!(seen = GetPixel(screen, probe.x, probe.y) == expected) && GetTickCount64() < end)
        SwitchToThread();
    const double ms = NowMs() - start;
    ReleaseDC(nullptr, screen);
    return seen ? ms : -1;
}

void RoundTripSeries(const Programs& p, const Client& c, int rounds) {
    // Fresh peers for each client: under Wine a conversation whose client was ended stays in the
    // server, and the reports it advises after that reach nobody.
    const Peer host(p, "host"), rotator(p, "rotator");
    ChildProcess child(c.program, c.arguments, p.folder);
    const HWND window = child.WaitForWindow(c.title, kPatienceMs);
    HWND go = nullptr;
    // Go is shown once the rotator link is up.
    if (!window || !WaitUntil(kPatienceMs, [&] {
            go = perf::FindChild(window, "Button", "&Go");
            return go && IsWindowVisible(go);
        })) {
        Failed("roundtrip", c.subject, window ? "no rotator link" : "no window");
        return;
    }
    const POINT probe = ProbePoint(window, c.isProgram);
    for (int round = 0; round < kWarmUpRounds + rounds; ++round) {
        const double ms = Round(go, probe, round % 2 ? perf::kWestColour : perf::kEastColour);
        if (ms < 0) {
            Failed("roundtrip", c.subject, "no report drawn");
            break;
        }
        if (round >= kWarmUpRounds) Sample("roundtrip", c.subject, ms);
        Sleep(50);  // the last acknowledgements settle
    }
    child.Close(window, kPatienceMs);  // the floor client writes its own times as it closes
}

void MeasureRoundTrip(const Programs& p, int series, int rounds) {
    const std::string arrivals = p.folder + "\\arrivals.txt";
    const Client clients[] = {
        {"vantro32", p.vantro, "", perf::kTitle, true},
        {"floor", p.floorClient, arrivals, kFloorClientTitle, false},
        {"floor_thread", p.floorClient, "--thread", kFloorClientTitle, false}};
    constexpr int kClients = sizeof clients / sizeof clients[0];
    for (int s = 0; s < series; ++s) {
        for (int i = 0; i < kClients; ++i) RoundTripSeries(p, clients[(s + i) % kClients], rounds);
        // The floor client's own view: from its poke to the report's arrival, no drawing.
        std::ifstream file(arrivals);
        int line = 0;
        for (double ms; file >> ms; ++line)
            if (line >= kWarmUpRounds) Sample("roundtrip", "floor_dde", ms);
    }
}

// Memory

void SampleMemory(const char* measure, const char* subject, const ChildProcess& child) {
    for (int i = 0; i < 5; ++i) {
        Sample(measure, subject, static_cast<double>(child.WorkingSet()));
        Sleep(200);
    }
}

void MeasureMemory(const Programs& p, long lines) {
    const HANDLE publish = CreateEventA(nullptr, FALSE, FALSE, perf::kPublishEvent);
    const HANDLE published = CreateEventA(nullptr, FALSE, FALSE, perf::kPublishedEvent);
    const Peer host(p, "host " + std::to_string(lines)), rotator(p, "rotator");
    {
        ChildProcess floor(p.floorWindow, "", p.folder);
        if (const HWND window = floor.WaitForWindow(perf::kTitle, kPatienceMs)) {
            Sleep(2000);
            SampleMemory("working_set_idle", "floor", floor);
        }
    }
    ChildProcess program(p.vantro, "", p.folder);
    const HWND window = program.WaitForWindow(perf::kTitle, kPatienceMs);
    if (!window || !WaitUntil(kPatienceMs, [&] {
            const HWND go = perf::FindChild(window, "Button", "&Go");
            return go && IsWindowVisible(go);
        })) {
        Failed("working_set_idle", "vantro32", window ? "no rotator link" : "no window");
        return;
    }
    Sleep(2000);
    SampleMemory("working_set_idle", "vantro32", program);

    double textBytes = 0;
    for (long i = 0; i < lines; ++i) textBytes += static_cast<double>(perf::SpotLine(i).size());
    const double start = NowMs();
    SetEvent(publish);
    if (WaitForSingleObject(published, 600000) != WAIT_OBJECT_0) {
        Failed("working_set_loaded", "vantro32", "the host did not publish");
        return;
    }
    // The program may still be taking in the last values: wait until its memory stays put.
    std::size_t last = 0;
    for (int steady = 0; steady < 4;) {
        Sleep(250);
        const std::size_t now = program.WorkingSet();
        steady =
            now == last || (now > last ? now - last : last - now) < now / 1000 ? steady + 1 : 0;
        last = now;
    }
    Sample("intake_fill_ms", "vantro32", NowMs() - start);
    Sample("intake_text_bytes", "host", textBytes);
    SampleMemory("working_set_loaded", "vantro32", program);
    CloseHandle(publish);
    CloseHandle(published);
}

}  // namespace

// The programs' folder, removed when the measurement ends.
class Folder {
  public:
    explicit Folder(std::string path) : path_(std::move(path)) {}
    ~Folder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;

  private:
    std::string path_;
};

int main(int argc, char** argv) {
    perf::KeepOneCpuForTheWatcher();
    try {
        const std::string what = argc > 1 ? argv[1] : "";
        const Programs programs = FindPrograms();
        const Folder folder(programs.folder);
        if (what == "startup" && argc > 2)
            MeasureStartUp(programs, std::atoi(argv[2]));
        else if (what == "roundtrip" && argc > 3)
            MeasureRoundTrip(programs, std::atoi(argv[2]), std::atoi(argv[3]));
        else if (what == "memory" && argc > 2)
            MeasureMemory(programs, std::atol(argv[2]));
        else {
            std::fprintf(stderr,
                         "usage: perf_driver startup ROUNDS | roundtrip SERIES ROUNDS | "
                         "memory LINES\n");
            return 2;
        }
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "perf_driver: %s\n", failure.what());
        return 1;
    }
    return 0;
}
