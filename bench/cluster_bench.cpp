// The cluster bridge's hot paths beside their floors: a call's country against one hash probe
// per tried prefix length (the floor) and against a scan of every prefix (what many loggers do);
// loading Debian's country file against reading it and splitting it at ';'; classifying a cluster
// line against one memchr pass over it; one spot's whole way through the bridge (read from the
// node's bytes, classified, looked up, heading and distance worked out, the host's line made and
// handed out for publishing) against reading its line alone.
#include <benchmark/benchmark.h>

#include <cstring>
#include <fstream>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "bridges/cluster/core/call_country.h"
#include "bridges/cluster/core/cluster_line.h"
#include "bridges/cluster/core/country_table.h"
#include "bridges/cluster/core/line_reader.h"
#include "bridges/cluster/core/spot_relay.h"

namespace {

using cluster::CountryTable;

// Calls as spots bring them: most plain, some in the forms the rules handle.
constexpr std::string_view kCalls[] = {
    "DL1ABC", "JA1XYZ",   "W1ABC",    "VK2DEF",   "UA9ABC", "PY2XYZ", "ZS6ABC",     "4X1ABC",
    "LU1ABC", "EA8ZZ",    "K1ABC/P",  "VE3XYZ-#", "9M2ABC", "OH2BH",  "EA8/DL1ABC", "KG4ABC",
    "VP2EAB", "UA3ABC/9", "G4ABC/MM", "HB9ABC",   "JH1ABC", "VU2ABC", "ZL1ABC",     "F5ABC",
};

const CountryTable& Table() {
    static const CountryTable table = CountryTable::Load(CountryTable::kDebianPath);
    return table;
}

void CallLookUp(benchmark::State& state) {
    const CountryTable& table = Table();
    for (auto _ : state)
        for (const std::string_view call : kCalls)
            benchmark::DoNotOptimize(cluster::LookUpCall(table, call));
}

// The longest of all prefixes that begins the call, found by trying every one.
void CallLinearScan(benchmark::State& state) {
    const std::vector<std::string_view> prefixes = Table().Prefixes();
    for (auto _ : state) {
        for (const std::string_view call : kCalls) {
            std::size_t longest = 0;
            for (const std::string_view prefix : prefixes)
                if (prefix.size() > longest && call.starts_with(prefix)) longest = prefix.size();
            benchmark::DoNotOptimize(longest);
        }
    }
}

// One probe of a hash set of the prefixes for each length, longest first.
void CallHashProbeFloor(benchmark::State& state) {
    const std::vector<std::string_view> prefixes = Table().Prefixes();
    const std::unordered_set<std::string_view> set(prefixes.begin(), prefixes.end());
    std::size_t longestPrefix = 0;
    for (const std::string_view prefix : prefixes)
        longestPrefix = std::max(longestPrefix, prefix.size());
    for (auto _ : state) {
        for (const std::string_view call : kCalls) {
            std::size_t length = std::min(call.size(), longestPrefix);
            while (length > 0 && !set.contains(call.substr(0, length))) --length;
            benchmark::DoNotOptimize(length);
        }
    }
}

void CountryFileLoad(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(CountryTable::Load(CountryTable::kDebianPath));
}

void CountryFileSplitFloor(benchmark::State& state) {
    for (auto _ : state) {
        std::ifstream file(CountryTable::kDebianPath, std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(file)),
                               std::istreambuf_iterator<char>());
        std::vector<std::string_view> records;
        for (std::size_t start = 0, end; (end = text.find(';', start)) != std::string::npos;
             start = end + 1)
            records.push_back(std::string_view(text).substr(start, end - start));
        benchmark::DoNotOptimize(records.data());
    }
}

constexpr std::string_view kLines[] = {
    "DX de W3LPL:     14025.0  JA1XYZ       CQ up 2                        1234Z FN20",
    "DX de DL1ABC-#:  7025.30  EA8ZZ        CW 12 dB 25 WPM CQ             0001Z",
    "DX de VE7CC-1-#: 14074.0  JA1XYZ       FT8 -12 dB CQ Q:9 Z:5,14       1234Z",
    "  14025.0  JA1XYZ       7-Dec-2026 1234Z  CQ up 2                 <W1ABC>",
    "WWV de W0MU <18>:   SFI=150, A=8, K=2, No Storms -> No Storms",
    "To ALL de G0ABC: 20m open to JA",
    "W1ABC de G0ABC: hello",
    "Hello W1ABC, this is GB7XYZ in London",
};

// Copies made at run time, so that the compiler cannot work on the texts beforehand.
std::vector<std::string> Lines() {
    return std::vector<std::string>(std::begin(kLines), std::end(kLines));
}

void ClassifyLine(benchmark::State& state) {
    const std::vector<std::string> lines = Lines();
    for (auto _ : state)
        for (const std::string& line : lines) benchmark::DoNotOptimize(cluster::ClassifyLine(line));
}

void MemchrFloor(benchmark::State& state) {
    const std::vector<std::string> lines = Lines();
    for (auto _ : state) {
        for (const std::string& line : lines) {
            benchmark::DoNotOptimize(line.data());
            benchmark::DoNotOptimize(std::memchr(line.data(), '\n', line.size()));
        }
    }
}

// A node's spot lines as bytes, each with its line end and a call of kCalls.
std::vector<std::string> SpotBytes() {
    std::vector<std::string> bytes;
    for (const std::string_view call : kCalls)
        bytes.push_back("DX de W3LPL:     14025.0  " + std::string(call) +
                        "       CQ up 2                        1234Z FN20\a\a\r\n");
    return bytes;
}

void SpotWholeWay(benchmark::State& state) {
    cluster::BridgeSettings settings;
    settings.station = cluster::StationPosition("JO62QM");
    settings.duplicateWindow = {};  // every spot goes the whole way
    cluster::SpotRelay relay(settings, Table());
    cluster::LineReader reader;
    cluster::Clock::time_point now{};
    const std::vector<std::string> spots = SpotBytes();
    for (auto _ : state) {
        for (const std::string& bytes : spots) {
            reader.Feed(bytes);
            const cluster::ClusterLine line = cluster::ClassifyLine(reader.TakeLine()->text);
            if (line.spot) relay.Receive(*line.spot, now);
            now += std::chrono::seconds(1);
            benchmark::DoNotOptimize(relay.Next(now));
        }
    }
}

void SpotReadFloor(benchmark::State& state) {
    cluster::LineReader reader;
    const std::vector<std::string> spots = SpotBytes();
    for (auto _ : state) {
        for (const std::string& bytes : spots) {
            reader.Feed(bytes);
            benchmark::DoNotOptimize(reader.TakeLine());
        }
    }
}

BENCHMARK(CallLookUp);
BENCHMARK(CallLinearScan);
BENCHMARK(CallHashProbeFloor);
BENCHMARK(CountryFileLoad)->Unit(benchmark::kMillisecond);
BENCHMARK(CountryFileSplitFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(ClassifyLine);
BENCHMARK(MemchrFloor);
BENCHMARK(SpotWholeWay);
BENCHMARK(SpotReadFloor);

}  // namespace
