// A full compass redraw (DrawCompass: the disc over the old pointer, then the new pointer) on the
// headless raster of pic1, against painting the same disc row by row into a raster of the same
// size: a redraw has to repaint at least the disc.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "app/globals.h"
#include "base/color.h"
#include "bench/headless_form.h"
#include "compass/compass.h"
#include "platform/headless/testing.h"

namespace {

namespace headless = platform::headless;

// Headings that put the pointer all round the circle.
float Heading(std::size_t i) {
    return static_cast<float>((i * 37) % 360);
}

void DrawCompassRedraw(benchmark::State& state) {
    bench::HeadlessForm form("compass");
    std::size_t next = 0;
    for (auto _ : state) {
        DrawCompass(form->pic1, Heading(next++), form->CompassX, form->CompassY,
                    form->CompassRadius);
        headless::ClearTrace();  // the backend records each drawing call
    }
    state.counters["pixels"] = headless::ImageWidth(form->pic1) * headless::ImageHeight(form->pic1);
}

void DiscFillFloor(benchmark::State& state) {
    bench::HeadlessForm form("disc");
    const int width = headless::ImageWidth(form->pic1), height = headless::ImageHeight(form->pic1);
    const double cx = form->CompassX / TwipsPerPixelX, cy = form->CompassY / TwipsPerPixelY;
    const double r = form->CompassRadius / TwipsPerPixelX;
    std::vector<base::Color> pixels(static_cast<std::size_t>(width) * height, base::kBlack);
    for (auto _ : state) {
        for (int y = std::max(0, static_cast<int>(cy - r));
             y <= std::min(height - 1, static_cast<int>(cy + r)); ++y) {
            const double half = std::sqrt(std::max(0.0, r * r - (y - cy) * (y - cy)));
            const int from = std::max(0, static_cast<int>(std::ceil(cx - half)));
            const int to = std::min(width - 1, static_cast<int>(cx + half));
            if (from <= to)
                std::fill(pixels.begin() + y * width + from, pixels.begin() + y * width + to + 1,
                          base::kLightCyan);
        }
        benchmark::DoNotOptimize(pixels.data());
        benchmark::ClobberMemory();
    }
}

BENCHMARK(DrawCompassRedraw);
BENCHMARK(DiscFillFloor);

}  // namespace
