#!/bin/bash
# Runs vantro32.exe from a Windows build folder under Wine.
#   scripts/demo-window.sh build/w32
# With a display (DISPLAY set) the window opens on it and the script ends when it is closed.
# Without one it runs under Xvfb, waits for the window, saves a screenshot of it to
# build/screenshots/window.png (in the source tree) and closes it again.
set -u
here="$(cd "$(dirname "$0")" && pwd)"
build="$(cd "${1:?usage: demo-window.sh BUILD_FOLDER}" && pwd)"
program="$build/win/vantro32.exe"
screenshots="$(cd "$here/.." && pwd)/build/screenshots"
title="Vantro32 V1.0   Halvik May, 2000"
[ -f "$program" ] || { echo "demo-window: $program is missing: build first" >&2; exit 1; }

had_display="${DISPLAY:-}"
. "$here/wine-env.sh" "$build" || exit 1
trap wine_env_stop EXIT

if [ -n "$had_display" ]; then
    wine "$program"
    exit $?
fi

# The screenshot shows the window as designed, whatever an earlier run saved.
rm -f "$build/win/vantro32.INI"
wine "$program" &
program_pid=$!
for _ in $(seq 1 300); do
    window="$(xdotool search --name "^${title}\$" 2>/dev/null | head -n 1)"
    [ -n "$window" ] && break
    sleep 0.1
done
if [ -z "${window:-}" ]; then
    echo "demo-window: the window did not appear" >&2
    wine taskkill /F /IM vantro32.exe >/dev/null 2>&1
    exit 1
fi
# Without the peers running, start-up says so in a message box or two: answer them, until none
# has come for three seconds.
quiet=0
while [ "$quiet" -lt 6 ]; do
    box="$(xdotool search --name '^Vantro32$' 2>/dev/null | head -n 1)"
    if [ -n "$box" ]; then
        xdotool windowfocus --sync "$box" key Return 2>/dev/null
        quiet=0
    else
        quiet=$((quiet + 1))
    fi
    sleep 0.5
done
eval "$(xdotool getwindowgeometry --shell "$window")"
mkdir -p "$screenshots"
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$screenshots/window.png"
echo "demo-window: screenshot in $screenshots/window.png"
# taskkill without /F closes the window as its close control does: the program saves and ends.
wine taskkill /IM vantro32.exe >/dev/null 2>&1
for _ in $(seq 1 100); do
    kill -0 "$program_pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$program_pid" 2>/dev/null && wine taskkill /F /IM vantro32.exe >/dev/null 2>&1
wait "$program_pid"
