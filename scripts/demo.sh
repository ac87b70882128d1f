#!/usr/bin/env bash
# The demo: builds the Windows programs and runs Vantro32 under Wine with its peers, visible on
# the desktop when there is a display, otherwise under Xvfb, leaving screenshots in
# build/screenshots/. Options: see scripts/demo-job.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=scripts/steps.sh
source scripts/steps.sh

step "installing what the demo needs"
scripts/install-deps.sh

step "building the Windows programs"
cmake -S . -B build/win -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-posix.cmake >/dev/null
cmake --build build/win -j2

step "running the demo"
scripts/demo-job.sh build/win "$@"
