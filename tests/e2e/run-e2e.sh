#!/usr/bin/env bash
# run-e2e.sh LANG DRIVER PANEL ARTIFACTS [gtest options...]
# Runs the end-to-end driver against the panel under the user locale of LANG (en or ko) in the Wine
# session of $WINE_SESSION, then turns the driver's screenshots into LANG-*.png under ARTIFACTS.
set -euo pipefail
lang=$1 driver=$2 panel=$3 artifacts=$4
shift 4
if [ -z "${WINEPREFIX:-}" ]; then
    # shellcheck disable=SC1091
    . "${WINE_SESSION:?WINE_SESSION names the session folder}/env"
fi
case $lang in
en) locale=en_US.UTF-8 ;;
ko) locale=ko_KR.UTF-8 ;;
*) echo "run-e2e.sh: unknown language $lang" >&2; exit 2 ;;
esac
mkdir -p "$artifacts"
rm -f "$artifacts/$lang"-*.bmp

# Wine takes the user locale from the environment of each process it starts (set for wine only:
# this shell need not have the locale).
unset LANGUAGE LANG LC_MESSAGES LC_CTYPE
export E2E_LANG=$lang
ORRIVAN_EXE=$(winepath -w "$panel")
E2E_ARTIFACTS=$(winepath -w "$artifacts")
export ORRIVAN_EXE E2E_ARTIFACTS
if [ -n "${PENDRY:-}" ]; then
    PENDRY_CPL=$(winepath -w "$PENDRY")
    export PENDRY_CPL
fi

status=0
env LC_ALL="$locale" wine "$driver" "$@" || status=$?

for bmp in "$artifacts/$lang"-*.bmp; do
    [ -e "$bmp" ] || continue
    # /usr/bin/convert by its full path: a convert earlier in PATH may be something else.
    /usr/bin/convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
done
ls "$artifacts/$lang"-*.png 2>/dev/null || true
exit $status
