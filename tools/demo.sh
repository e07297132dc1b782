#!/usr/bin/env bash
# Sets up the machine, builds the Windows binaries and opens the panel on a demo machine under Wine.
# With a display ($DISPLAY) the panel stays open until you close it. Without one it runs on a
# private Xvfb, waits for the panel's window, saves a screenshot under build/demo/ and closes it.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
bash tools/setup.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target Orrivan Pendry

session=$root/build/demo
if [ -n "${DISPLAY:-}" ]; then export WINE_SESSION_DISPLAY=$DISPLAY; fi
tools/wine-session.sh start "$session"
trap 'tools/wine-session.sh stop "$session"' EXIT
# shellcheck disable=SC1091
. "$session/env"
eval "$(tools/demo-machine.sh "$WINEPREFIX")"

exe=$root/build/win32/panel/Orrivan.exe
if [ -n "${WINE_SESSION_DISPLAY:-}" ]; then
    echo "Opening the panel on $DISPLAY; close it to end."
    wine "$exe"
    exit 0
fi

wine "$exe" &
panel=$!
title="Quenley Zentaro Control Pannel"
id=
for _ in $(seq 150); do
    id=$(xwininfo -root -tree 2>/dev/null | awk -v t="\"$title\"" 'index($0, t) {print $1; exit}')
    [ -n "$id" ] && break
    kill -0 "$panel" 2>/dev/null || { echo "the panel ended before its window appeared" >&2; exit 1; }
    sleep 0.2
done
[ -n "$id" ] || { echo "no window titled \"$title\" appeared" >&2; exit 1; }
sleep 1  # let the first page paint
shot=$session/panel.png
xwd -root -silent | /usr/bin/convert xwd:- -trim "$shot"
echo "Screenshot of the panel: $shot"
# Close it as a user would (taskkill without /f sends WM_CLOSE); force only if it lingers.
wine taskkill /im Orrivan.exe >/dev/null 2>&1 || true
for _ in $(seq 50); do kill -0 "$panel" 2>/dev/null || break; sleep 0.2; done
if kill -0 "$panel" 2>/dev/null; then wineserver -k 2>/dev/null || true; fi
wait "$panel" 2>/dev/null || true
