// The numeric rule (base::NumericValue) against std::from_chars reading the same decimal text:
// the least a conversion of that text to a double can cost. The texts are the numbers the program
// reads most: field 4 of a spot, a frequency, an azimuth report, one with an exponent.
#include <benchmark/benchmark.h>

#include <charconv>
#include <string_view>

#include "base/numeric.h"

namespace {

constexpr std::string_view kTexts[] = {"0", "-32768", "14025.0", "187.5", "1.5E3"};

void Label(benchmark::State& state) {
    state.SetLabel(std::string(kTexts[state.range(0)]));
}

void NumericValue(benchmark::State& state) {
    const std::string_view text = kTexts[state.range(0)];
    for (auto _ : state) {
        benchmark::DoNotOptimize(text.data());
        benchmark::DoNotOptimize(base::NumericValue(text));
    }
    Label(state);
}

void FromCharsFloor(benchmark::State& state) {
    const std::string_view text = kTexts[state.range(0)];
    for (auto _ : state) {
        benchmark::DoNotOptimize(text.data());
        double value = 0;
        std::from_chars(text.data(), text.data() + text.size(), value);
        benchmark::DoNotOptimize(value);
    }
    Label(state);
}

BENCHMARK(NumericValue)->DenseRange(0, std::size(kTexts) - 1);
BENCHMARK(FromCharsFloor)->DenseRange(0, std::size(kTexts) - 1);

}  // namespace
