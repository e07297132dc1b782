#!/usr/bin/env bash
# run-as-win98.sh WINE_TESTS_EXE: runs the PCI tests of wine_tests.exe once more with Wine reporting
# Windows 98 to that program only, so configuration reads take the port path. Reporting Windows 9x,
# Wine answers the port instructions itself (with nothing) before the program's own guard is asked;
# the guard is reached when Wine reports NT, in the first run of wine_tests.
set -euo pipefail
# shellcheck disable=SC1091
. "${WINE_SESSION:?WINE_SESSION names the session folder}/env"
exe=$WINE_SESSION/pci_win98.exe
cp "$1" "$exe"
wine reg add 'HKCU\Software\Wine\AppDefaults\pci_win98.exe' /v Version /d win98 /f >/dev/null
PCI_EXPECT_WIN9X=1 wine "$exe" --gtest_filter='PciOnWindows.*'
