# shellcheck shell=bash
# Wine in the project's own prefixes, never ~/.wine (sourced). Every script
# that runs Wine comes through here, so the loader this machine can run is
# the one on PATH (wine-loader.sh).
source "$(dirname "${BASH_SOURCE[0]}")/layout.sh"
source "$DOVREL_ROOT/scripts/wine-loader.sh"

# use_wine_prefix [PREFIX]: exports WINEPREFIX (PREFIX, else the caller's
# WINEPREFIX, else the Windows builds' prefix) with quiet defaults for
# WINEDEBUG and WINEDLLOVERRIDES, and makes the prefix when it is missing.
use_wine_prefix() {
    export WINEPREFIX="${1:-${WINEPREFIX:-$(wine_prefix windows)}}"
    export WINEDEBUG="${WINEDEBUG:--all}"
    export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
    # WINEARCH counts only when a prefix is made, and Wine refuses to run
    # when it contradicts an existing prefix: set it for the 32-bit one only.
    if [ "$WINEPREFIX" = "$(wine_prefix win32)" ]; then export WINEARCH=win32; fi
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        mkdir -p "$WINEPREFIX"
        # Without Mono and Gecko: their installers would ask on the display.
        WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i >/dev/null 2>&1 || true
        wineserver -w || true
    fi
}
