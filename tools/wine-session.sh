#!/usr/bin/env bash
# wine-session.sh start|stop DIR
# A throwaway Wine prefix and a private Xvfb display for one test run; never the user's ~/.wine.
# WINE_SESSION_DISPLAY=:N uses that display instead of a private one.
# DIR/env holds what wine-run.sh needs.
set -euo pipefail
action=$1
dir=$(realpath -m "$2")

stop() {
    if [ -f "$dir/env" ]; then
        # shellcheck disable=SC1091
        . "$dir/env"
        WINEPREFIX=$WINEPREFIX wineserver -k 2>/dev/null || true
        if [ -n "${XVFB_PID:-}" ]; then kill "$XVFB_PID" 2>/dev/null || true; fi
    fi
}

case $action in
start)
    stop
    rm -rf "$dir"
    mkdir -p "$dir"
    prefix=$dir/prefix
    xvfb_pid=
    if [ -n "${WINE_SESSION_DISPLAY:-}" ]; then
        echo "${WINE_SESSION_DISPLAY#:}" >"$dir/display"
    else
        # A private display: Xvfb picks a free number and writes it to fd 3.
        Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$dir/display" >/dev/null 2>&1 &
        xvfb_pid=$!
        for _ in $(seq 100); do [ -s "$dir/display" ] && break; sleep 0.1; done
        [ -s "$dir/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
    fi
    cat >"$dir/env" <<ENV
export WINEPREFIX='$prefix'
export WINEARCH=win32
export WINEDEBUG=-all
export DISPLAY=':$(cat "$dir/display")'
XVFB_PID=$xvfb_pid
ENV
    # shellcheck disable=SC1091
    . "$dir/env"
    # No Mono or Gecko installers: the tests need neither, and nothing is fetched.
    WINEDLLOVERRIDES='mscoree,mshtml=' wineboot -i >/dev/null 2>&1
    wineserver -w
    ;;
stop)
    stop
    ;;
*)
    echo "usage: $0 start|stop DIR" >&2; exit 2 ;;
esac
