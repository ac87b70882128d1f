# Prepares Wine for running the Windows build. Source it with the build folder:
#   . scripts/wine-env.sh build/w32
# It sets WINEPREFIX to a prefix inside that folder (made once, with Wine's own fonts so that
# "MS Sans Serif" and "Fixedsys" exist), keeps Wine quiet, and starts Xvfb on a free display when
# DISPLAY is unset. Call wine_env_stop when done: it waits for the Wine session to end and stops
# the Xvfb that was started here (and only that one).
#
# On Xvfb there is no window manager: Wine then draws the windows' frames itself and does not wait
# for a manager to answer when a window is hidden (2 s each time otherwise). On a desktop the
# window manager has them. VANTRO_NO_WINDOW_MANAGER=1 says that DISPLAY is an Xvfb of ours too.

wine_env_build="${1:?usage: . wine-env.sh BUILD_FOLDER}"
wine_env_build="$(cd "$wine_env_build" && pwd)" || return 1

export WINEPREFIX="$wine_env_build/wineprefix"
export WINEDEBUG=-all
# No Mono or Gecko installer is offered.
export WINEDLLOVERRIDES="mscoree,mshtml="
VANTRO_XVFB_PID=""

# A display first: wineboot and every later Wine process need one that stays the same.
if [ -z "${DISPLAY:-}" ]; then
    wine_env_fd_file="$(mktemp)"
    # Xvfb picks a free display itself and writes its number when it is ready.
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$wine_env_fd_file" \
        >/dev/null 2>&1 &
    VANTRO_XVFB_PID=$!
    for _ in $(seq 1 100); do
        [ -s "$wine_env_fd_file" ] && break
        sleep 0.1
    done
    if [ ! -s "$wine_env_fd_file" ]; then
        echo "wine-env: Xvfb did not start" >&2
        kill "$VANTRO_XVFB_PID" 2>/dev/null
        rm -f "$wine_env_fd_file"
        return 1
    fi
    export DISPLAY=":$(tr -d '[:space:]' <"$wine_env_fd_file")"
    rm -f "$wine_env_fd_file"
fi

if [ ! -f "$WINEPREFIX/.vantro-ready" ]; then
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1
    wineserver -w
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
    touch "$WINEPREFIX/.vantro-ready"
fi

wine_env_manager="Y"
if [ -n "$VANTRO_XVFB_PID" ] || [ -n "${VANTRO_NO_WINDOW_MANAGER:-}" ]; then
    wine_env_manager="N"
fi
if [ "$(cat "$WINEPREFIX/.vantro-managed" 2>/dev/null)" != "$wine_env_manager" ]; then
    if [ "$wine_env_manager" = "N" ]; then
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    else
        wine reg delete 'HKCU\Software\Wine\X11 Driver' /v Managed /f >/dev/null 2>&1
    fi
    echo "$wine_env_manager" >"$WINEPREFIX/.vantro-managed"
    # The wineserver started for this ends before the caller starts a session of its own:
    # "wineserver -p" fails while another wineserver of the prefix runs.
    wineserver -w
fi

wine_env_stop() {
    wineserver -w 2>/dev/null
    if [ -n "$VANTRO_XVFB_PID" ]; then
        kill "$VANTRO_XVFB_PID" 2>/dev/null
        wait "$VANTRO_XVFB_PID" 2>/dev/null
        VANTRO_XVFB_PID=""
    fi
}
