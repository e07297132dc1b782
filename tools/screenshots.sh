#!/usr/bin/env bash
# Renews the README's pictures: docs/LANG-information.png and docs/LANG-setting.png for LANG en and
# ko, the panel on the demo machine, each cropped to the sheet with its caption. Sets up, builds and
# runs the panel in Wine's virtual desktop, which draws captions, on a private Xvfb.
# The caption's close button is a glyph of the Marlett font. Debian ships it in fonts-wine, whose
# Tahoma and MS Sans Serif would also change the dialog font of every Wine prefix, the tests' too: so
# only marlett.ttf goes, into this prefix's Fonts folder, taken from the package's archive.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
bash tools/setup.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target Orrivan

session=$root/build/screenshots
unset WINE_SESSION_DISPLAY  # a private display, never the user's
tools/wine-session.sh start "$session"
trap 'tools/wine-session.sh stop "$session"' EXIT
# shellcheck disable=SC1091
. "$session/env"
eval "$(tools/demo-machine.sh "$WINEPREFIX")"

marlett=/usr/share/wine/fonts/marlett.ttf
if [ ! -f "$marlett" ]; then
    marlett=$root/build/fonts/marlett.ttf
    if [ ! -f "$marlett" ]; then
        mkdir -p "$root/build/fonts"
        (cd "$root/build/fonts" && { apt-get download -q fonts-wine 2>/dev/null ||
            { apt-get update -q && apt-get download -q fonts-wine; }; } &&
            dpkg-deb --fsys-tarfile fonts-wine_*.deb | tar -xO ./usr/share/wine/fonts/marlett.ttf >marlett.ttf.part &&
            mv marlett.ttf.part marlett.ttf && rm -f fonts-wine_*.deb)
    fi
fi
cp "$marlett" "$WINEPREFIX/drive_c/windows/Fonts/"
exe=$(winepath -w "$root/build/win32/panel/Orrivan.exe")

# Saves window $1 as PNG $2 once two captures in a row agree, so that the page has painted.
shoot() {
    local previous='' current
    for _ in $(seq 30); do
        sleep 0.3
        current=$(xwd -id "$1" -silent | md5sum)
        [ "$current" = "$previous" ] && break
        previous=$current
    done
    xwd -id "$1" -silent | /usr/bin/convert xwd:- -strip -define png:exclude-chunks=date,time "$2"
    echo "$2"
}

mkdir -p docs
for lang in en ko; do
    case $lang in en) locale=en_US.UTF-8 ;; ko) locale=ko_KR.UTF-8 ;; esac
    # Wine takes the user locale from LC_ALL, and LANGUAGE would override its language.
    env -u LANGUAGE LC_ALL="$locale" wine explorer /desktop=shot,640x560 "$exe" &
    desktop=$!
    sheet=
    for _ in $(seq 150); do
        sheet=$(LC_ALL=C.UTF-8 xwininfo -root -tree | awk '/"Quenley Zentaro / {print $1; exit}')
        [ -n "$sheet" ] && break
        sleep 0.2
    done
    [ -n "$sheet" ] || { echo "screenshots: the $lang panel did not open" >&2; exit 1; }
    shoot "$sheet" "docs/$lang-information.png"
    # A click on the first tab gives the tabs the focus; the right arrow then selects Setting.
    xdotool mousemove --window "$sheet" 30 39 click 1
    xdotool key Right
    shoot "$sheet" "docs/$lang-setting.png"
    xdotool key Escape  # Cancel: nothing is applied
    wait "$desktop"
done
