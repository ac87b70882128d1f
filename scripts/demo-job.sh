#!/bin/bash
# The whole job under Wine: the host simulator sends spots, Vantro32 lists them, a double-click on
# a station turns the rotator simulator, and the azimuth and compass follow it.
#   scripts/demo-job.sh BUILD [--hamlib] [--cluster] [--speed DEGREES_PER_SECOND] [--interval MS]
# BUILD is a Windows build folder (scripts/demo.sh builds build/win and calls this).
#   --hamlib     rotctld's dummy rotator behind rotbridge.exe instead of the rotator simulator
#                (scripts/demo-hamlib.sh)
#   --cluster    the whole road on parts every station can have: the cluster node simulator
#                behind clusterbridge.exe instead of the host simulator (the station at JO62QM),
#                and the rotator as with --hamlib
#   --speed      the rotator simulator's speed (default 6 with a display, 15 without)
#   --interval   milliseconds between the host simulator's updates (default 1000)
# With a display (DISPLAY set) the windows open on it: double-click a station yourself; the
# simulators stop when Vantro32 is closed. Without one it all runs under Xvfb and
# BUILD/demo/demo_driver.exe plays the user: it double-clicks a station by itself while
# screenshots build/screenshots/demo-1.png to demo-4.png (in the source tree) show the list
# filling and the compass pointer turning; with the companions, rotbridge-window.png,
# clusterbridge-window.png and clusterbridge-settings.png show their windows and the cluster
# bridge's settings dialog. Every wait has a limit. The simulators' output is in BUILD/demo-job/.
set -u
here="$(cd "$(dirname "$0")" && pwd)"
usage="usage: demo-job.sh BUILD [--hamlib] [--cluster] [--speed DEGREES_PER_SECOND] [--interval MS]"
build="$(cd "${1:?$usage}" && pwd)" || exit 1
shift
hamlib=""
cluster=""
speed=""
interval=1000
while [ $# -gt 0 ]; do
    case "$1" in
    --hamlib) hamlib=1 ;;
    --cluster) cluster=1 hamlib=1 ;;
    --speed) speed="${2:?$usage}" && shift ;;
    --interval) interval="${2:?$usage}" && shift ;;
    *) echo "$usage" >&2 && exit 2 ;;
    esac
    shift
done

program="$build/win/vantro32.exe"
host_sim="$build/tools/host_sim/host_sim.exe"
rotator_sim="$build/tools/rotator_sim/rotator_sim.exe"
driver="$build/demo/demo_driver.exe"
cluster_sim="$build/tools/cluster_sim/cluster_sim.exe"
cluster_bridge="$build/bridges/cluster/clusterbridge.exe"
for file in "$program" "$host_sim" "$rotator_sim" "$driver" "$cluster_sim" "$cluster_bridge"; do
    [ -f "$file" ] || { echo "demo-job: $file is missing: build first" >&2 && exit 1; }
done
if [ -n "$hamlib" ] && [ ! -f "$here/demo-hamlib.sh" ]; then
    echo "demo-job: the Hamlib demo (scripts/demo-hamlib.sh) is not available" >&2
    exit 1
fi

had_display="${DISPLAY:-}"
[ -n "$speed" ] || speed=$([ -n "$had_display" ] && echo 6 || echo 15)
logs="$build/demo-job"
shots="$(cd "$here/.." && pwd)/build/screenshots"
mkdir -p "$logs"
folder=""
simulators=()

# shellcheck source=scripts/steps.sh
. "$here/steps.sh"
step "preparing Wine"
# shellcheck source=scripts/wine-env.sh
. "$here/wine-env.sh" "$build" || exit 1

driver_pid=""
stop_all() {
    trap - INT TERM
    [ -n "$driver_pid" ] && kill "$driver_pid" 2>/dev/null
    for pid in "${simulators[@]}"; do kill "$pid" 2>/dev/null; done
    [ -n "$hamlib" ] && "$here/demo-hamlib.sh" stop "$build" >/dev/null
    # The session ends with its own processes, and with whatever a failed drive left running.
    wineserver -k 2>/dev/null
    wine_env_stop
    [ -n "$folder" ] && rm -rf "$folder"
}
at_exit stop_all
trap 'exit 130' INT TERM
# A session that stays until the end, started away from the simulators' output: its own
# processes (explorer, services) would otherwise hold their output pipes open.
wineserver -p </dev/null >/dev/null 2>&1
wine cmd /c exit </dev/null >/dev/null 2>&1

# Starts a simulator in the background, its output in its log (and on the terminal with a
# display), and waits until it says it offers its service.
start_simulator() {
    local name="$1" exe="$2"
    shift 2
    local log="$logs/$name.log"
    : >"$log"
    if [ -n "$had_display" ]; then
        wine "$exe" "$@" </dev/null > >(sed -u "s/\r\$//; s/^/[$name] /" | tee "$log") 2>&1 &
    else
        wine "$exe" "$@" </dev/null > >(sed -u 's/\r$//' >"$log") 2>&1 &
    fi
    simulators+=($!)
    for _ in $(seq 1 200); do
        grep -q "offering" "$log" && return 0
        sleep 0.1
    done
    echo "demo-job: $name did not start:" >&2
    cat "$log" >&2
    return 1
}

step "starting the peers"
if [ -n "$hamlib" ]; then
    "$here/demo-hamlib.sh" start "$build" || exit 1
else
    start_simulator rotator_sim "$rotator_sim" --speed "$speed" || exit 1
fi
if [ -n "$cluster" ]; then
    # The node's usual port if it is free, else the next free one.
    node_port=7300
    while (exec 3<>"/dev/tcp/127.0.0.1/$node_port") 2>/dev/null; do node_port=$((node_port + 1)); done
    start_simulator cluster_sim "$cluster_sim" --port "$node_port" --interval "$interval" || exit 1
    start_simulator clusterbridge "$cluster_bridge" --node-host 127.0.0.1 --node-port "$node_port" \
        --callsign N0CALL --locator JO62QM || exit 1
else
    start_simulator host_sim "$host_sim" --interval "$interval" || exit 1
fi

if [ -n "$had_display" ]; then
    step "Vantro32 on the desktop"
    echo "demo-job: double-click a station to turn the rotator; close Vantro32 to end the demo"
    # A folder of its own, which takes the settings file with it when it goes.
    folder="$(mktemp -d)"
    cp "$program" "$folder/"
    (cd "$folder" && wine vantro32.exe)
    exit $?
fi

# Without a display the driver plays the user and says when a screenshot is due.
step "Vantro32 under Xvfb, driven by the demo driver"
mkdir -p "$shots"
rm -f "$shots"/demo-[1-4].png "$shots"/*bridge-*.png
coproc DRIVER { exec timeout 300 wine "$driver" 2>&1; }
driver_pid=$DRIVER_PID
exec {from_driver}<&"${DRIVER[0]}" {to_driver}>&"${DRIVER[1]}"
while :; do
    IFS= read -r -t 200 -u "$from_driver" line
    said=$?
    [ "$said" -eq 0 ] || break
    line="${line%$'\r'}"
    case "$line" in
    "shoot "*)
        read -r _ name left top width height <<<"$line"
        import -window root -crop "${width}x${height}+${left}+${top}" +repage "$shots/$name.png"
        echo "demo-job: $shots/$name.png"
        echo taken >&"$to_driver"
        ;;
    *) echo "demo-job: $line" ;;
    esac
done
exec {to_driver}>&-
if [ "$said" -gt 128 ]; then
    echo "demo-job: the driver has said nothing for 200 s: stopping it" >&2
    kill "$driver_pid" 2>/dev/null  # timeout passes the signal on to it
fi
wait "$driver_pid" 2>/dev/null
status=$?
driver_pid=""
if [ "$status" -ne 0 ]; then
    echo "demo-job: the drive did not finish (status $status); the simulators said:" >&2
    tail -n 5 "$logs"/*.log >&2
    exit 1
fi
echo "demo-job: screenshots in $shots, the simulators' output in $logs"
