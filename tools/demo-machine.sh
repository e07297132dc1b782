#!/usr/bin/env bash
# demo-machine.sh PREFIX
# Lays out a prepared Wine prefix as the Windows 98 machine the panel expects: the card on PCI bus 0
# beside a 440BX chipset (served from a configuration-space dump), Tessan.ini in the Windows directory,
# an AUTOEXEC.BAT with the DOS tool's line among ordinary lines, the DOS tool and the four drivers
# with their versions, and the card's software in C:\KESTRO.
# Prints the environment (export lines) that a program on that machine runs with.
set -euo pipefail
prefix=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
c=$prefix/drive_c
crlf() { sed 's/$/\r/'; }

mkdir -p "$c/demo" "$c/KESTRO/UTIL" "$c/windows/system"
cp "$here/demo/pci-demo.txt" "$c/demo/pci.txt"

crlf >"$c/windows/Tessan.ini" <<'INI'
[Setup]
Path=C:\Kestro

[Tessan]
FirmWare=C:\Kestro\Util\pelkad.bin
Sound Font Bank Master=C:\Kestro\Util\torbel08.94b
Sound Font Bank Slave=C:\Kestro\Util\torbel08.94b
INI

# The panel writes the boot file back as AUTOEXEC.BAT: a second run must not leave two of them.
find "$c" -maxdepth 1 -iname 'autoexec.*' -delete
crlf >"$c/AUTOEXEC.BAT" <<'BAT'
@echo off
rem Startup for the demo machine
path c:\windows;c:\windows\command
set temp=c:\windows\temp
c:\windows\kestro dirq=10 dream=330
lh c:\windows\command\mscdex.exe /d:mscd001
BAT

# The panel sees Windows 98 (Wine's per-program version setting).
WINEPREFIX=$prefix wine reg add 'HKCU\Software\Wine\AppDefaults\Orrivan.exe' /v Version /d win98 /f >/dev/null 2>&1

python3 "$here/demo/make-drivers.py" "$c/windows/system" "$c/windows"

for f in PELKAD.BIN TORBEL08.94B TORBEL16.94B; do
    [ -e "$c/KESTRO/UTIL/$f" ] || printf 'demo %s\n' "$f" >"$c/KESTRO/UTIL/$f"
done

cat <<ENV
export winbootdir='C:\\WINDOWS'
export PCI_CONFIG_DUMP='C:\\demo\\pci.txt'
ENV
