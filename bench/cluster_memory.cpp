// The cluster bridge's memory over a simulated hour of a busy skimmer feed: 100 spots a second
// from the node's bytes through the line reader, the classifier and the relay (filters, place,
// duplicates, the publishing queue), published two a second as to a linked Vantro32. Heap bytes
// in use (glibc mallinfo2) are taken every simulated minute; once the duplicate window (10
// minutes) is full they must stay flat.
//   cluster_memory [MINUTES]
// Prints "NAME VALUE" lines: the heap at 10 minutes, at the end, and its largest value after 10
// minutes, in bytes, and the counts.
#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "bridges/cluster/core/cluster_line.h"
#include "bridges/cluster/core/line_reader.h"
#include "bridges/cluster/core/spot_relay.h"

namespace {

std::size_t HeapInUse() {
    return mallinfo2().uordblks;
}

constexpr const char* kPrefixes[] = {"JA1", "DL1", "W1",  "VK2", "PY2", "ZS6", "UA9", "EA8",
                                     "K6",  "G4",  "LU1", "VE3", "JH7", "OH2", "I2",  "SP9"};
constexpr double kBandsKhz[] = {3520, 7020, 10110, 14020, 18080, 21020, 24900, 28020};

}  // namespace

int main(int argc, char** argv) {
    const int minutes = argc > 1 ? std::atoi(argv[1]) : 60;
    constexpr int kSpotsPerSecond = 100;
    const cluster::CountryTable table =
        cluster::CountryTable::Load(cluster::CountryTable::kDebianPath);
    cluster::BridgeSettings settings;
    settings.station = cluster::StationPosition("JO62QM");
    cluster::SpotRelay relay(settings, table);
    cluster::LineReader reader;

    // A skimmer network hears the same 30,000 stations again and again, on several bands.
    std::mt19937 random(7);
    std::uniform_int_distribution<int> station(0, 29999);
    std::uniform_int_distribution<int> band(0, std::size(kBandsKhz) - 1);
    cluster::Clock::time_point now{};
    std::size_t atTen = 0, largest = 0;
    for (int minute = 1; minute <= minutes; ++minute) {
        for (int second = 0; second < 60; ++second) {
            for (int i = 0; i < kSpotsPerSecond; ++i) {
                const int n = station(random);
                const std::string call =
                    kPrefixes[n % std::size(kPrefixes)] +
                    std::string{char('A' + n / 16 % 26), char('A' + n / 416 % 26), 'A'};
                char kHz[16];
                std::snprintf(kHz, sizeof kHz, "%.1f", kBandsKhz[band(random)] + n % 40);
                reader.Feed("DX de DL8LAS-#: " + std::string(kHz) + "  " + call +
                            "  CW 14 dB 26 WPM CQ  1234Z\a\a\r\n");
                while (auto line = reader.TakeLine())
                    if (auto spot = cluster::ClassifyLine(line->text).spot)
                        relay.Receive(*spot, now);
                now += std::chrono::milliseconds(1000 / kSpotsPerSecond);
                relay.Next(now);
            }
        }
        const std::size_t heap = HeapInUse();
        if (minute == 10) atTen = heap;
        if (minute > 10) largest = std::max(largest, heap);
    }
    const cluster::RelayCounts& counts = relay.Counts();
    std::printf("cluster_heap_10min %zu\ncluster_heap_end %zu\ncluster_heap_max %zu\n", atTen,
                HeapInUse(), largest);
    std::printf(
        "cluster_received %llu\ncluster_published %llu\ncluster_duplicates %llu\n"
        "cluster_too_old %llu\n",
        static_cast<unsigned long long>(counts.received),
        static_cast<unsigned long long>(counts.published),
        static_cast<unsigned long long>(counts.duplicates),
        static_cast<unsigned long long>(counts.tooOld));
}
