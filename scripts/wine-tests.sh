#!/usr/bin/env bash
# Runs the Windows build's tests with ctest under Wine. Called on a display
# (scripts/test.sh wraps it in xvfb-run); extra arguments go to ctest.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
export WINEPREFIX="${WINEPREFIX:-$(pwd)/build/wineprefix}"
export WINEDEBUG=-all
bash scripts/wine-prefix.sh

# One wineserver, and one set of Wine's background processes (services and
# the desktop process, which must see this display), for the whole run,
# started here with their output on /dev/null: started by the first test
# instead, they would hold that test's output pipe open and ctest would wait.
wineserver -k >/dev/null 2>&1 || true
wineserver -p >/dev/null 2>&1 </dev/null
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
bash scripts/wine-run.sh cmd /c exit >/dev/null 2>&1 </dev/null || true

ctest --preset windows -j"$(nproc)" "$@"
