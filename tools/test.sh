#!/usr/bin/env bash
# Sets up the machine, builds both trees from scratch and runs every test: the native unit tests
# (ASan, UBSan), then the Windows binaries' checks and the tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
rm -rf build/native build/win32
status=0
for preset in native win32; do
    cmake --preset "$preset"
    cmake --build --preset "$preset"
    ctest --preset "$preset" || status=1
done
exit $status
