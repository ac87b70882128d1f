#!/usr/bin/env bash
# Builds every libFuzzer target with clang (in build/fuzz) and runs each for a bounded time,
# starting from its corpus in fuzz/corpus/ (new inputs go to a scratch folder, not the corpus).
#   scripts/fuzz.sh [SECONDS]   seconds per target, default 20
# Exits non-zero when a target finds a crash, a failed check or a sanitizer report; the input
# that did it is kept as build/fuzz/crashes/<target>-*.
set -euo pipefail
seconds="${1:-20}"
cd "$(dirname "$0")/.."
# shellcheck source=scripts/steps.sh
source scripts/steps.sh

step "building the fuzz targets with clang"
cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTRO_FUZZ=ON \
  -DVANTRO_BENCH=OFF -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build build/fuzz -j2 --target fuzz_targets

scratch="$(mktemp -d)"
at_exit 'rm -rf "$scratch"'
mkdir -p build/fuzz/crashes
failed=()
while IFS=$'\t' read -r name program corpus; do
  [ -n "$name" ] || continue
  mkdir -p "$scratch/$name"
  step "running $name for ${seconds}s from $corpus"
  if "$program" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
      -artifact_prefix="build/fuzz/crashes/$name-" "$scratch/$name" "$corpus" \
      >"$scratch/$name.log" 2>&1; then
    grep -E "^stat::number_of_executed_units" "$scratch/$name.log" || true
  else
    tail -n 40 "$scratch/$name.log"
    failed+=("$name")
  fi
done <build/fuzz/fuzz_targets.txt

if [ ${#failed[@]} -gt 0 ]; then
  step "checking the fuzz targets' results"
  echo "fuzz: failed: ${failed[*]}" >&2
  exit 1
fi
echo "fuzz: every target ran ${seconds}s clean"
