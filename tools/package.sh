#!/usr/bin/env bash
# package.sh PANEL APPLET OUTDIR
# Packs a built panel and applet for a Windows 95/98 machine: OUTDIR/zentaro-VERSION.zip and
# OUTDIR/zentaro-VERSION.img, a 1.44 MB FAT12 floppy image. Both hold the same four files with DOS
# names: ORRIVAN.EXE, PENDRY.CPL, and from release/ the setup information file ZENTARO.INF and the
# user guide README.TXT (plain ASCII, written with CR LF line ends and the version filled in).
# VERSION is the panel's file version, read from its version resource. Prints the two paths.
set -euo pipefail
panel=$1 applet=$2 out=$(realpath -m "$3")
release=$(cd "$(dirname "$0")/../release" && pwd)

version=$(i686-w64-mingw32-windres -i "$panel" -O rc |
          sed -n 's/^ *FILEVERSION \([0-9]*\), \([0-9]*\), \([0-9]*\), \([0-9]*\)\r*$/\1.\2.\3.\4/p')
[ -n "$version" ] || { echo "package: no file version in $panel" >&2; exit 1; }
zip=$out/zentaro-$version.zip
image=$out/zentaro-$version.img

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
files=(ORRIVAN.EXE PENDRY.CPL ZENTARO.INF README.TXT)
cp "$panel" "$stage/ORRIVAN.EXE"
cp "$applet" "$stage/PENDRY.CPL"
for text in ZENTARO.INF README.TXT; do
    if LC_ALL=C grep -n '[^ -~]' "$release/$text" >&2; then
        echo "package: release/$text must be plain ASCII without tabs" >&2; exit 1
    fi
    sed -e "s/@VERSION@/$version/g" -e 's/$/\r/' "$release/$text" >"$stage/$text"
done

mkdir -p "$out"
rm -f "$zip" "$image"
(cd "$stage" && zip -q -X "$zip" "${files[@]}")
export MTOOLS_SKIP_CHECK=1
mformat -C -f 1440 -v ZENTARO -i "$image" ::
(cd "$stage" && mcopy -m -i "$image" "${files[@]}" ::/)
echo "$zip"
echo "$image"
