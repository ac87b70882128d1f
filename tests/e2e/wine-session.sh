#!/bin/bash
# The end-to-end tests' way into Wine, for ctest.
#   wine-session.sh start BUILD         starts a Wine session: a private Xvfb and a wineserver
#                                       that stays (up to a minute without a client), so that
#                                       each test starts in half a second
#   wine-session.sh stop BUILD          ends it
#   wine-session.sh run BUILD PROGRAM…  runs a Windows program in the session, or, when there is
#                                       none (test discovery), in a session of its own
# The tests always get a private Xvfb, never the user's desktop: a known screen, nothing in the
# way of the pixels they read, and no window popping up while someone works.
set -u
here="$(cd "$(dirname "$0")" && pwd)"
command="${1:?usage: wine-session.sh start|stop|run BUILD [PROGRAM ARGS...]}"
build="$(cd "${2:?missing build folder}" && pwd)" || exit 1
shift 2
session="$build/e2e-wine-session"

session_alive() {
    [ -f "$session" ] || return 1
    . "$session"
    kill -0 "$SESSION_XVFB_PID" 2>/dev/null
}

# Also ends what an interrupted run left behind.
stop_session() {
    [ -f "$session" ] || return 0
    . "$session"
    WINEPREFIX="$build/wineprefix" wineserver -k 2>/dev/null
    kill "$SESSION_XVFB_PID" 2>/dev/null
    rm -f "$session"
}

case "$command" in
start)
    stop_session
    unset DISPLAY
    . "$here/../../scripts/wine-env.sh" "$build" || exit 1
    wineserver -p60 </dev/null >/dev/null 2>&1
    # The session's own processes (explorer, services) start now, away from ctest's output.
    wine cmd /c exit </dev/null >/dev/null 2>&1
    printf 'SESSION_DISPLAY=%s\nSESSION_XVFB_PID=%s\n' "$DISPLAY" "$VANTRO_XVFB_PID" >"$session"
    ;;
stop)
    stop_session
    ;;
run)
    if session_alive; then
        export DISPLAY="$SESSION_DISPLAY" VANTRO_NO_WINDOW_MANAGER=1
        . "$here/../../scripts/wine-env.sh" "$build" || exit 1
        exec wine "$@"
    fi
    unset DISPLAY
    . "$here/../../scripts/wine-env.sh" "$build" || exit 1
    wine "$@"
    status=$?
    wine_env_stop
    exit $status
    ;;
*)
    echo "wine-session.sh: unknown command $command" >&2
    exit 2
    ;;
esac
