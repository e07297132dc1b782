#!/usr/bin/env bash
# package.sh PANEL APPLET OUTDIR
# Packs a built panel and applet for a Windows 95/98 machine: OUTDIR/zentaro-VERSION.zip and
# OUTDIR/zentaro-VERSION.img, a 1.44 MB FAT12 floppy image. Both hold the same five files with DOS
# names: ORRIVAN.EXE, PENDRY.CPL, and from release/ the setup information file ZENTARO.INF and the
# user guides README.TXT and README.KOR, written with CR LF line ends and the version filled in. They
# are plain ASCII, but for the Korean guide, which is in code page 949 as Korean Windows reads it.
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
files=(ORRIVAN.EXE PENDRY.CPL ZENTARO.INF README.TXT README.KOR)
cp "$panel" "$stage/ORRIVAN.EXE"
cp "$applet" "$stage/PENDRY.CPL"
export LC_ALL=C
for text in ZENTARO.INF README.TXT README.KOR; do
    source=$release/$text
    if [ "$text" = README.KOR ]; then
        iconv -f CP949 -t UTF-8 "$source" >/dev/null ||
            { echo "package: release/$text must be in code page 949" >&2; exit 1; }
        bad='[[:cntrl:]]'  # no byte of a code page 949 character is a control byte
    else
        bad='[^ -~]'
    fi
    if sed 's/\r$//' "$source" | grep -n "$bad" >&2; then
        echo "package: release/$text must be plain text without tabs" >&2; exit 1
    fi
    sed -e 's/\r$//' -e "s/@VERSION@/$version/g" -e 's/$/\r/' "$source" >"$stage/$text"
done

mkdir -p "$out"
rm -f "$zip" "$image"
(cd "$stage" && zip -q -X "$zip" "${files[@]}")
export MTOOLS_SKIP_CHECK=1
mformat -C -f 1440 -v ZENTARO -i "$image" ::
(cd "$stage" && mcopy -m -i "$image" "${files[@]}" ::/)
echo "$zip"
echo "$image"
