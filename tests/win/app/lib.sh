# Helpers of the Dovrel.exe test scripts (sourced). The caller sets
# DOVREL (Dovrel.exe), WINPROBE (winprobe.exe) and, where needed, KALBRIT
# (the stand-in Kalbrit.exe). WINEPREFIX and DISPLAY come from the
# environment; starting Dovrel, winprobe and the settings are
# scripts/lib/dovrel.sh's.
set -u
# Windows programs run under a Japanese ANSI code page (932) unless
# DOVREL_TEST_LC_ALL says otherwise; the shell itself keeps its own locale
# (the Japanese glibc locale need not be installed for Wine to use 932).
WINE_LC="${DOVREL_TEST_LC_ALL:-ja_JP.UTF-8}"
source "$(dirname "${BASH_SOURCE[0]}")/../../../scripts/lib/dovrel.sh"

FAILURES=0
fail() { echo "FAIL: $*"; FAILURES=$((FAILURES + 1)); }
pass() { echo "ok: $*"; }
check() {  # check DESCRIPTION COMMAND...
    local what="$1"; shift
    if "$@"; then pass "$what"; else fail "$what"; fi
}
check_not() {  # check_not DESCRIPTION COMMAND...: passes when COMMAND fails
    local what="$1"; shift
    if "$@"; then fail "$what"; else pass "$what"; fi
}
finish() {
    if [ "$FAILURES" -eq 0 ]; then echo "PASSED"; exit 0; fi
    echo "$FAILURES check(s) failed"; exit 1
}

# The RGB colour "r,g,b" of screen pixel X Y.
pixel_at() {
    local shot="$WORK/screen.png"
    import -window root "$shot" 2>/dev/null || return 1
    convert "$shot" -crop "1x1+$1+$2" -depth 8 txt:- 2>/dev/null |
        sed -n 's/.*srgb(\([0-9]*\),\([0-9]*\),\([0-9]*\)).*/\1,\2,\3/p; s/.*  #\([0-9A-F]\{6\}\) .*/#\1/p' | head -1
}

# Shift-JIS bytes of a UTF-8 text, as hex.
sjis_hex() { printf '%s' "$1" | iconv -f UTF-8 -t SHIFT_JIS | xxd -p | tr -d '\n'; }

# is_topmost TITLE: the first window with that title has WS_EX_TOPMOST.
is_topmost() { probe list | grep -F "\"$1\"" | head -1 | grep -q 'topmost=1'; }
