#!/usr/bin/env bash
# Installs, from Debian's packages, whatever the build and the tests need and the machine lacks.
# Idempotent: a machine that has everything is left alone and no package list is fetched.
set -euo pipefail

need_root() {
    if [ "$(id -u)" -ne 0 ]; then
        if command -v sudo >/dev/null; then SUDO=sudo; else
            echo "setup: run as root (or install sudo) to install packages" >&2; exit 1; fi
    else SUDO=; fi
}

packages=(
    cmake g++ make
    g++-mingw-w64-i686-win32 binutils-mingw-w64-i686
    wine wine32:i386
    xvfb x11-apps imagemagick xauth
    fonts-nanum
    googletest libgtest-dev libgmock-dev
    clang libclang-rt-14-dev
    python3 x11-utils
    zip unzip mtools xdotool
    dosbox nasm
)

missing=()
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    missing=(i386-architecture)
fi
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [ "$status" = "install ok installed" ] || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
    need_root
    echo "setup: installing ${missing[*]}"
    $SUDO dpkg --add-architecture i386
    $SUDO apt-get update -q
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${packages[@]}"
fi

# The win32 thread model: the posix one imports functions that Windows 95/98 lack.
for t in gcc g++; do
    command -v "i686-w64-mingw32-$t-win32" >/dev/null || { echo "setup: i686-w64-mingw32-$t-win32 missing" >&2; exit 1; }
done
