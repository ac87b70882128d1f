// The station list's work for one spot, against the least that work could cost:
// - AddSpot on a full list (100 lines: every fifth spot makes room by taking 20 off the top),
//   against the list operations alone with the line already made;
// - SplitFields, against a plain find loop that cuts the same line at the same separator.
#include <benchmark/benchmark.h>

#include <string>
#include <string_view>
#include <vector>

#include "bench/headless_form.h"
#include "bench/spot_samples.h"
#include "spots/list_line.h"
#include "spots/spot_line.h"

namespace {

constexpr int kFullList = 100, kMadeRoom = 20;

void FillList(frmRCI& form) {
    for (std::size_t i = 0; form.lstStations.ListCount() < kFullList; ++i)
        form.AddSpot(bench::SpotSample(i));
}

void AddSpotFullList(benchmark::State& state) {
    bench::HeadlessForm form("add-spot");
    FillList(*form);
    std::size_t next = 0;
    for (auto _ : state) form->AddSpot(bench::SpotSample(next++));
    state.counters["listed"] = form->lstStations.ListCount();
}

// Floor: what AddSpot must do to the list in any case, with lines made beforehand.
void ListAddFloor(benchmark::State& state) {
    bench::HeadlessForm form("list-add");
    FillList(*form);
    std::vector<std::string> lines;
    for (const std::string& spot : bench::SpotSamples()) {
        std::vector<std::string> f;
        frmRCI::SplitFields(spot, std::string(1, spots::kFieldSeparator), f);
        lines.push_back(spots::ListLine(f[spots::kCallsignField], f[spots::kFrequencyField],
                                        f[spots::kHeadingField], f[spots::kDistanceField]));
    }
    platform::ListBox& list = form->lstStations;
    std::size_t next = 0;
    for (auto _ : state) {
        if (list.ListCount() >= kFullList)
            for (int i = 0; i < kMadeRoom; ++i) list.RemoveItem(0);
        list.AddItem(lines[next++ % lines.size()]);
        list.SetListIndex(list.NewIndex());
    }
    state.counters["listed"] = list.ListCount();
}

void SplitFields(benchmark::State& state) {
    const std::string separator(1, spots::kFieldSeparator);
    std::vector<std::string> fields;
    std::size_t next = 0;
    for (auto _ : state) {
        frmRCI::SplitFields(bench::SpotSample(next++), separator, fields);
        benchmark::DoNotOptimize(fields.data());
    }
}

// Floor: the fields cut out at each separator into the same reused vector, no trimming.
void FindLoopFloor(benchmark::State& state) {
    const std::string separator(1, spots::kFieldSeparator);
    std::vector<std::string> fields;
    std::size_t next = 0;
    for (auto _ : state) {
        fields.clear();
        std::string_view rest(bench::SpotSample(next++));
        for (std::size_t at; (at = rest.find(separator)) != std::string_view::npos;) {
            fields.emplace_back(rest.substr(0, at));
            rest.remove_prefix(at + separator.size());
        }
        if (!rest.empty()) fields.emplace_back(rest);
        benchmark::DoNotOptimize(fields.data());
    }
}

BENCHMARK(AddSpotFullList);
BENCHMARK(ListAddFloor);
BENCHMARK(SplitFields);
BENCHMARK(FindLoopFloor);

}  // namespace
