#!/usr/bin/env bash
# demo.sh [--korean]
# Sets up the machine, builds the Windows binaries and opens the panel on a demo machine under Wine,
# in English, or in Korean with --korean (a Korean user locale).
# With a display ($DISPLAY) the panel stays open until you close it. Without one it runs on a
# private Xvfb, waits for the panel's window, saves a screenshot under build/demo/ and closes it.
set -euo pipefail
case ${1:-} in
"") locale=en_US.UTF-8 ;;
--korean) locale=ko_KR.UTF-8 ;;
*) echo "usage: $0 [--korean]" >&2; exit 2 ;;
esac
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
# Wine takes the user locale from LC_ALL, and LANGUAGE would override its language.
run_panel() { env -u LANGUAGE LC_ALL="$locale" wine "$exe"; }
if [ -n "${WINE_SESSION_DISPLAY:-}" ]; then
    echo "Opening the panel on $DISPLAY; close it to end."
    run_panel
    exit 0
fi

run_panel &
panel=$!
title="Quenley Zentaro "  # the caption's start in both languages
id=
for _ in $(seq 150); do
    id=$(LC_ALL=C.UTF-8 xwininfo -root -tree 2>/dev/null | awk -v t="\"$title" 'index($0, t) {print $1; exit}')
    [ -n "$id" ] && break
    kill -0 "$panel" 2>/dev/null || { echo "the panel ended before its window appeared" >&2; exit 1; }
    sleep 0.2
done
[ -n "$id" ] || { echo "no window titled \"$title...\" appeared" >&2; exit 1; }
sleep 1  # let the first page paint
shot=$session/panel.png
xwd -root -silent | /usr/bin/convert xwd:- -trim "$shot"
echo "Screenshot of the panel: $shot"
# Close it as a user would (taskkill without /f sends WM_CLOSE); force only if it lingers.
wine taskkill /im Orrivan.exe >/dev/null 2>&1 || true
for _ in $(seq 50); do kill -0 "$panel" 2>/dev/null || break; sleep 0.2; done
if kill -0 "$panel" 2>/dev/null; then wineserver -k 2>/dev/null || true; fi
wait "$panel" 2>/dev/null || true
