#!/bin/bash
# The rotator side of the demo with Hamlib instead of the rotator simulator: rotctld with its dummy
# rotator (model 1, about 6 degrees a second) on 127.0.0.1, and rotbridge.exe in front of it
# offering the rotator link to Vantro32.
#   scripts/demo-hamlib.sh start BUILD   starts both in the background and returns once the
#                                        bridge is connected to rotctld
#   scripts/demo-hamlib.sh stop BUILD    stops both
# BUILD is the Windows build folder. Call it inside the demo's Wine environment (after sourcing
# scripts/wine-env.sh BUILD), so that the bridge shares Vantro32's Wine session and display.
# The bridge's output goes to BUILD/demo-hamlib/rotbridge.log, rotctld's to rotctld.log there.
set -u
here="$(cd "$(dirname "$0")" && pwd)"
command="${1:?usage: demo-hamlib.sh start|stop BUILD}"
build="$(cd "${2:?usage: demo-hamlib.sh start|stop BUILD}" && pwd)" || exit 1
state="$build/demo-hamlib"
bridge="$build/bridges/rotator/rotbridge.exe"

listening() { (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }

stop() {
    if [ -f "$state/bridge.pid" ]; then
        # The bridge ends when its Wine process does; taskkill reaches it by name inside Wine.
        wine taskkill /F /IM rotbridge.exe >/dev/null 2>&1
        kill "$(cat "$state/bridge.pid")" 2>/dev/null
        rm -f "$state/bridge.pid"
    fi
    if [ -f "$state/rotctld.pid" ]; then
        kill "$(cat "$state/rotctld.pid")" 2>/dev/null
        rm -f "$state/rotctld.pid"
    fi
}

start() {
    [ -f "$bridge" ] || { echo "demo-hamlib: $bridge is missing: build first" >&2; return 1; }
    command -v rotctld >/dev/null || {
        echo "demo-hamlib: rotctld is missing (Debian package libhamlib-utils)" >&2
        return 1
    }
    mkdir -p "$state"
    stop
    # rotctld's own port if it is free, else the next free one.
    port=4533
    while listening "$port"; do port=$((port + 2)); done
    rotctld -m 1 -T 127.0.0.1 -t "$port" </dev/null >"$state/rotctld.log" 2>&1 &
    echo $! >"$state/rotctld.pid"
    for _ in $(seq 1 50); do
        listening "$port" && break
        sleep 0.1
    done
    listening "$port" || { echo "demo-hamlib: rotctld did not start" >&2; stop; return 1; }

    wine "$bridge" "127.0.0.1:$port" </dev/null >"$state/rotbridge.log" 2>&1 &
    echo $! >"$state/bridge.pid"
    for _ in $(seq 1 300); do
        grep -q "connected to rotctld" "$state/rotbridge.log" && break
        sleep 0.1
    done
    if ! grep -q "connected to rotctld" "$state/rotbridge.log"; then
        echo "demo-hamlib: the bridge did not connect to rotctld:" >&2
        cat "$state/rotbridge.log" >&2
        stop
        return 1
    fi
    echo "demo-hamlib: rotctld (dummy rotator) on 127.0.0.1:$port, rotbridge offers ARSWIN|RCI"
    echo "demo-hamlib: the bridge's output: tail -f $state/rotbridge.log"
}

if [ -z "${WINEPREFIX:-}" ]; then
    # Outside the demo, only on a desktop: a private Xvfb started here would outlive this script.
    [ -n "${DISPLAY:-}" ] || {
        echo "demo-hamlib: source scripts/wine-env.sh $2 first, or run it on a desktop" >&2
        exit 1
    }
    # shellcheck source=scripts/wine-env.sh
    . "$here/wine-env.sh" "$build" || exit 1
fi
case "$command" in
start) start ;;
stop) stop ;;
*)
    echo "demo-hamlib: unknown command $command" >&2
    exit 2
    ;;
esac
