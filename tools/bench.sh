#!/usr/bin/env bash
# bench.sh [STARTS]: sizes of Orrivan.exe and Pendry.cpl against their budgets, and the panel's
# start-up under Wine against the least property-sheet program (tools/bench/least.c: one page on
# the panel's Information template, built the usual way with the same toolchain).
# The two programs start alternately, STARTS times each (default 15), on the demo machine, once with
# its PCI dump and once without; a poller inside the Wine session (tools/bench/poller.c) times each
# start to a visible sheet, closes it with WM_CLOSE and waits for it to end. Medians are compared.
# The Wine session runs on one CPU (BENCH_CPU, default the last one; empty for all): a start is
# thousands of round trips to wineserver, and each costs several times more when the two sit on
# different CPUs, which the scheduler picks afresh for every start, so on two CPUs the same program
# takes either about 60 or about 120 ms and the medians say little.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
starts=${1:-15}
bash tools/setup.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target Orrivan Pendry >/dev/null

out=$root/build/bench
mkdir -p "$out"
cc=i686-w64-mingw32-gcc-win32
i686-w64-mingw32-windres -c 1252 -I panel/res panel/res/panel.rc -O coff -o "$out/least.res"
$cc -O2 -s -mwindows -o "$out/least.exe" tools/bench/least.c "$out/least.res" -lcomctl32
$cc -O2 -s -o "$out/poller.exe" tools/bench/poller.c

panel=$root/build/win32/panel/Orrivan.exe
applet=$root/build/win32/applet/Pendry.cpl
size() {  # FILE [BUDGET-KIB]
    local bytes
    bytes=$(stat -c %s "$1")
    awk -v f="$(basename "$1")" -v b="$bytes" -v k="${2:-}" 'BEGIN {
        printf "%-12s %6d bytes  %5.1f KiB  ", f, b, b / 1024
        if (k == "") print "(the yardstick, for comparison)"
        else printf "budget %2d KiB  %s\n", k, b <= k * 1024 ? "within" : "OVER" }'
}
size "$panel" 40
size "$applet" 10
size "$out/least.exe"

cpu=${BENCH_CPU-$(($(nproc) - 1))}
pin=() where="all CPUs"
if [ -n "$cpu" ]; then pin=(taskset -c "$cpu") where="CPU $cpu"; fi

session=$out/session
tools/wine-session.sh start "$session"
trap 'tools/wine-session.sh stop "$session"' EXIT
# shellcheck disable=SC1091
. "$session/env"
eval "$("${pin[@]}" tools/demo-machine.sh "$WINEPREFIX")"
# The yardstick sees the same Windows version as the panel.
"${pin[@]}" wine reg add 'HKCU\Software\Wine\AppDefaults\least.exe' /v Version /d win98 /f >/dev/null 2>&1

title="Quenley Zentaro Control Pannel"
measure() {  # LABEL NAME: alternated starts in the current environment; prints one result line
    "${pin[@]}" wine "$out/poller.exe" "$starts" "Least sheet" "$("${pin[@]}" winepath -w "$out/least.exe")" \
        "$title" "$("${pin[@]}" winepath -w "$panel")" >"$out/starts-$2.txt"
    awk -v label="$1" '
        function median(a, n,   i, j, t) {
            for (i = 2; i <= n; i++) for (j = i; j > 1 && a[j - 1] > a[j]; j--) { t = a[j]; a[j] = a[j - 1]; a[j - 1] = t }
            return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2 }
        $1 == 0 { least[++nl] = $2 }
        $1 == 1 { panel[++np] = $2 }
        $1 == "polls" { gap = $3; longest = $4 }
        END {
            l = median(least, nl); p = median(panel, np); r = p / l
            printf "%-14s %7.1f %7.1f %+7.1f  %5.2f  %-7s (poll every %.1f ms, longest gap %.0f ms)\n",
                   label, l, p, p - l, r, r <= 1.10 ? "within" : "OVER", gap, longest }' "$out/starts-$2.txt"
}
echo "Start-up to a visible sheet under Wine on $where, medians of $starts alternated starts (ms); ratio budget 1.10:"
printf "%-14s %7s %7s %7s  %5s\n" "" least panel extra ratio
measure "with PCI dump" dump
unset PCI_CONFIG_DUMP
measure "without dump" nodump
