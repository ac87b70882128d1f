#!/usr/bin/env bash
# The demo: builds the Windows programs and runs Vantro32 under Wine, visible on the desktop when
# there is a display, otherwise under Xvfb, leaving screenshots in build/screenshots/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build/win -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-posix.cmake >/dev/null
cmake --build build/win -j2
if [ -x scripts/demo-job.sh ]; then
  exec scripts/demo-job.sh build/win "$@"
fi
exec scripts/demo-window.sh build/win "$@"
