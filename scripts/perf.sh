#!/usr/bin/env bash
# Every performance measurement, each against its floor in the same run, and a summary of the
# figures: the native benchmarks (Google Benchmark), the intake's memory, and under Wine the
# start-up, the rotator round trip, the exe's size and its working set. See docs/performance.md.
#   PERF_QUICK=1   fewer repetitions (a rough look in about a minute once built)
# Builds in build/perf (native, Release) and build/perf-w32 (mingw-w64, Release); leaves the raw
# results in build/perf/results/.
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=scripts/steps.sh
source scripts/steps.sh

step "installing what the measurements need"
scripts/install-deps.sh
command -v python3 >/dev/null || DEBIAN_FRONTEND=noninteractive apt-get install -y -q python3

if [ -n "${PERF_QUICK:-}" ]; then
  reps=3 startups=5 series=2 rounds=5 lines=100000
else
  reps=12 startups=40 series=8 rounds=8 lines=1000000
fi

step "building (Release)"
cmake -S . -B build/perf -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/perf -j2 --target floor_bench intake_bench queue_memory cluster_bench \
  cluster_memory >/dev/null
cmake -S . -B build/perf-w32 -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-posix.cmake >/dev/null
cmake --build build/perf-w32 -j2 --target perf_driver >/dev/null

results=build/perf/results
rm -rf "$results"
mkdir -p "$results"

# Repetitions of each benchmark interleaved at random with the others': a burst of load from
# elsewhere on the machine falls on all of them alike.
bench() {
  "$1" --benchmark_repetitions="$reps" --benchmark_enable_random_interleaving=true \
    --benchmark_min_time="$2" --benchmark_out="$3" --benchmark_out_format=json \
    >/dev/null 2>>"$results/bench.log"
}
step "native benchmarks"
bench build/perf/bench/floor_bench 0.1 "$results/floor_bench.json"
bench build/perf/bench/intake_bench 0.02 "$results/intake_bench.json"
bench build/perf/bench/cluster_bench 0.1 "$results/cluster_bench.json"
build/perf/bench/queue_memory 1000000 >"$results/values.txt"
build/perf/bench/cluster_memory 60 >>"$results/values.txt"

step "starting a Wine session"
# A private display and a lasting Wine session, so that each program starts as it would on a
# running desktop.
unset DISPLAY
# shellcheck source=scripts/wine-env.sh
source scripts/wine-env.sh build/perf-w32
at_exit 'wineserver -k 2>/dev/null; wine_env_stop'
# The watching side apart from the watched (docs/performance.md): the driver keeps the last CPU
# for itself and runs the programs it measures on the others (tools/perf/child_process.h); Wine's
# server goes with the programs, the screen, which the driver reads, with the driver.
read -r -a cpus <<<"$(python3 -c 'import os; print(*sorted(os.sched_getaffinity(0)))')"
wineserver -k 2>/dev/null || true  # one left from preparing the prefix has no place yet
wineserver -w
if [ "${#cpus[@]}" -gt 1 ]; then
  watcher="${cpus[-1]}"
  programs="$(IFS=,; echo "${cpus[*]:0:${#cpus[@]}-1}")"
  taskset -c "$programs" wineserver -p
  taskset -a -pc "$watcher" "$VANTRO_XVFB_PID" >/dev/null
else
  wineserver -p
fi
wine cmd /c exit >/dev/null 2>&1 || true  # only starts the session's own processes
driver=build/perf-w32/perf/perf_driver.exe
step "under Wine: start-up"
wine "$driver" startup "$startups" >"$results/startup.txt"
step "under Wine: the rotator round trip"
wine "$driver" roundtrip "$series" "$rounds" >"$results/roundtrip.txt"
step "under Wine: memory"
wine "$driver" memory "$lines" >"$results/memory.txt"

echo "size_vantro32 $(stat -c %s build/perf-w32/win/vantro32.exe)" >>"$results/values.txt"
echo "size_floor $(stat -c %s build/perf-w32/perf/perf_floor_window.exe)" >>"$results/values.txt"
echo "size_floor_cxx $(stat -c %s build/perf-w32/perf/perf_floor_window_cxx.exe)" \
  >>"$results/values.txt"

step "summary"
echo
echo "Vantro32 performance, $(date -u +%Y-%m-%d), $(nproc) cores: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), load $(cut -d' ' -f1-3 /proc/loadavg)"
[ -n "${watcher:-}" ] && echo "Under Wine the driver watched from CPU $watcher, the programs ran on CPU $programs."
python3 tools/perf/summarize.py --bench "$results/floor_bench.json" \
  --bench "$results/intake_bench.json" --bench "$results/cluster_bench.json" \
  --values "$results/values.txt" \
  --samples "$results/startup.txt" --samples "$results/roundtrip.txt" \
  --samples "$results/memory.txt"
