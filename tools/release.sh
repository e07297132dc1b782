#!/usr/bin/env bash
# Sets up the machine, builds the Windows binaries from scratch in build/release and writes the
# release for Windows 95/98 to dist/: a zip and a 1.44 MB floppy image (tools/package.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
rm -rf build/release dist
cmake --preset win32 -B build/release >/dev/null
cmake --build build/release --target Orrivan Pendry -j 2
tools/package.sh build/release/panel/Orrivan.exe build/release/applet/Pendry.cpl dist
