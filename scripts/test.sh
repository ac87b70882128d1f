#!/usr/bin/env bash
# Every test: native unit tests (also under AddressSanitizer and UBSan), the fuzz targets for a
# bounded time, and the Windows build with its end-to-end tests under Wine, the release zip's
# among them.
#   VANTRO_FUZZ_SECONDS  seconds per fuzz target (default 15)
#   VANTRO_LONG=1        also the long fault scenarios
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=scripts/steps.sh
source scripts/steps.sh

step "installing what the tests need"
scripts/install-deps.sh

step "native build and unit tests"
cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/native -j2
ctest --test-dir build/native --output-on-failure -j2

step "unit tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVANTRO_SANITIZE=ON >/dev/null
cmake --build build/asan -j2 --target unit_tests cluster_hamlib_test
ctest --test-dir build/asan --output-on-failure -j2

step "fuzz targets"
scripts/fuzz.sh "${VANTRO_FUZZ_SECONDS:-15}"

step "Windows build"
cmake -S . -B build/win -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-posix.cmake >/dev/null
cmake --build build/win -j2

step "Windows tests under Wine"
# shellcheck source=scripts/wine-env.sh
source scripts/wine-env.sh build/win
at_exit wine_env_stop
ctest --test-dir build/win --output-on-failure
