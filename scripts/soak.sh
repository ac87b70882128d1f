#!/usr/bin/env bash
# The soak of the whole road, a long run that the test command never makes: the node simulator
# (a skimmer server) feeds clusterbridge.exe, Vantro32 lists the spots, double-clicks turn
# rotctld's dummy rotator through rotbridge.exe, and Vantro32 and the node are killed and started
# again every five minutes. See tools/soak/soak.h and docs/performance.md.
#   scripts/soak.sh [MINUTES]     default 60; 5 is enough to see that it works
#   SOAK_NODE_INTERVAL=MS         between the node's spots (default 400: faster than the bridge
#                                 publishes, as a busy skimmer feed is)
# Builds the Windows build (build/win) and runs the soak under Wine on a private Xvfb. The
# report is printed at the end and written to build/soak/report.txt, the programs' output
# beside it.
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=scripts/steps.sh
source scripts/steps.sh
minutes="${1:-60}"
out=build/soak

step "installing what the soak needs"
scripts/install-deps.sh

step "Windows build"
cmake -S . -B build/win -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-posix.cmake >/dev/null
cmake --build build/win -j2 --target soak

step "starting a Wine session and rotctld"
unset DISPLAY
# shellcheck source=scripts/wine-env.sh
source scripts/wine-env.sh build/win
rotctld_pid=""
stop_soak() {
  [ -z "$rotctld_pid" ] || kill "$rotctld_pid" 2>/dev/null
  wineserver -k 2>/dev/null
  wine_env_stop
}
at_exit stop_soak
wineserver -p
wine cmd /c exit >/dev/null 2>&1 || true # only starts the session's own processes
rm -rf "$out"
mkdir -p "$out"
listening() { (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }
port=4533
while listening "$port"; do port=$((port + 2)); done
rotctld -m 1 -T 127.0.0.1 -t "$port" </dev/null >"$out/rotctld.txt" 2>&1 &
rotctld_pid=$!
for _ in $(seq 1 50); do
  listening "$port" && break
  sleep 0.1
done
listening "$port" || { echo "soak: rotctld did not start" >&2 && exit 1; }

step "the soak, $minutes minutes"
wine build/win/soak/soak.exe --minutes "$minutes" --rotctld "127.0.0.1:$port" \
  --node-interval "${SOAK_NODE_INTERVAL:-400}" --output "$(winepath -w "$out")"
echo "soak: the report is in $out/report.txt"
