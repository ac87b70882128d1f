// The cost of one intake tick against the backlog of host text waiting in SpotBuffer. Each
// iteration takes one line off the front (the tick) and appends one (a spot arriving), so the
// backlog stays the same. The program's buffer must cost the same at 10 lines as at 1,000,000;
// a plain string that erases its front copies the whole backlog on every tick.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/frmRCI.h"
#include "platform/headless/testing.h"
#include "spots/spot_queue.h"
#include "spots/take_line.h"

namespace {

const std::string kLineEnd = "\r\n";

// A handful of host spot lines, as they arrive, cycled through.
const std::vector<std::string>& SpotLines() {
    static const std::vector<std::string> lines = [] {
        std::vector<std::string> made;
        const char* calls[] = {"K1ABC", "VP8LZE", "JA1XYZ", "ZL2AB", "DL1AA/P", "PY2XX", "VK3ZZ"};
        const char* freqs[] = {"14025.0", "7012.5", "21074.0", "3525.1", "28495.0", "50313.0"};
        for (int i = 0; i < 16; ++i) {
            std::string line = "DL1AA\xFF";
            line += calls[i % 7];
            line += "\xFF";
            line += freqs[i % 6];
            line +=
                "\xFF"
                "0\xFF"
                "1234Z\xFF" +
                std::to_string(i * 22) + "\xFF" + std::to_string(1000 + i * 713) + "\xFF" +
                (i % 3 ? "0" : "1") + kLineEnd;
            made.push_back(line);
        }
        return made;
    }();
    return lines;
}

const std::string& Line(std::size_t i) {
    return SpotLines()[i % SpotLines().size()];
}

void ProgramBuffer(benchmark::State& state) {
    SpotQueue queue;
    const auto backlog = static_cast<std::size_t>(state.range(0));
    for (std::size_t i = 0; i < backlog; ++i) queue.Append(Line(i));
    std::size_t next = backlog;
    for (auto _ : state) {
        benchmark::DoNotOptimize(spots::TakeLine(queue, kLineEnd));
        spots::ReceiveText(queue, Line(next++), kLineEnd);
    }
    state.counters["backlog_bytes"] = static_cast<double>(queue.Size());
}

// The buffer as a plain string, the front erased at each line taken.
void NaiveBuffer(benchmark::State& state) {
    std::string buffer;
    const auto backlog = static_cast<std::size_t>(state.range(0));
    for (std::size_t i = 0; i < backlog; ++i) buffer += Line(i);
    std::size_t next = backlog;
    for (auto _ : state) {
        const std::size_t end = buffer.find(kLineEnd);
        benchmark::DoNotOptimize(buffer.substr(0, end));
        buffer.erase(0, end + kLineEnd.size());
        buffer += Line(next++);
    }
    state.counters["backlog_bytes"] = static_cast<double>(buffer.size());
}

// The whole tick of the window: Timer1_Timer with AddSpot and the station list.
void WindowTick(benchmark::State& state) {
    namespace headless = platform::headless;
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / "vantro32-intake-bench";
    std::filesystem::create_directories(folder);
    headless::Config config;
    config.programDirectory = folder.string();
    headless::Reset(config);
    {
        frmRCI form;
        form.Form_Load();
        form.HostLinked = base::kTrue;
        const auto backlog = static_cast<std::size_t>(state.range(0));
        for (std::size_t i = 0; i < backlog; ++i) form.SpotBuffer.Append(Line(i));
        std::size_t next = backlog;
        for (auto _ : state) {
            headless::Tick(form.Timer1);
            form.SpotBuffer.Append(Line(next++));
        }
        state.counters["listed"] = form.lstStations.ListCount();
    }
    std::filesystem::remove_all(folder);
}

BENCHMARK(ProgramBuffer)->Arg(10)->Arg(1000000);
BENCHMARK(NaiveBuffer)->Arg(10)->Arg(1000000);
BENCHMARK(WindowTick)->Arg(10)->Arg(1000000);

}  // namespace

BENCHMARK_MAIN();
