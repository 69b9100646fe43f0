#!/usr/bin/env bash
# Runs one Windows build's tests with ctest under Wine. Called on a display
# (scripts/test.sh runs it on a virtual display, as scripts/on-display.sh does).
# Usage: wine-tests.sh [windows|windows-x86] [ctest arguments...]
# Both builds' tests run in the 64-bit prefix (WINEPREFIX, else
# build/wineprefix); the 32-bit build's installer and end-to-end tests also
# use build/wineprefix-win32, a WINEARCH=win32 prefix standing in for
# 32-bit Windows.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib/wine.sh"
cd "$DOVREL_ROOT"
preset="${1:-windows}"
[ $# -gt 0 ] && shift
export WINEPREFIX="${WINEPREFIX:-$(wine_prefix "$preset")}"
export WINEDEBUG=-all
if [ "$DOVREL_WINE32" = 0 ] && [ "$preset" = windows-x86 ]; then
    echo "NOTE: this machine cannot execute 32-bit programs (no IA32 emulation), so Wine cannot run"
    echo "NOTE: the 32-bit build; it was built, and its Wine tests are not run here."
    exit 0
fi

prefixes=("$WINEPREFIX")
[ "$preset" = windows-x86 ] && prefixes+=("$(wine_prefix win32)")

stop_wine() {
    local p
    for p in "${prefixes[@]}"; do WINEPREFIX="$p" wineserver -k >/dev/null 2>&1 || true; done
}
trap stop_wine EXIT

# One wineserver, and one set of Wine's background processes (services and
# the desktop process, which must see this display), per prefix for the
# whole run, started here with their output on /dev/null: started by the
# first test instead, they would hold that test's output pipe open and
# ctest would wait.
for p in "${prefixes[@]}"; do
    (
        use_wine_prefix "$p"
        wineserver -k >/dev/null 2>&1 || true
        wineserver -p >/dev/null 2>&1 </dev/null
        wine cmd /c exit >/dev/null 2>&1 </dev/null || true
    )
done

ctest --preset "$preset" -j"$(nproc)" "$@"
