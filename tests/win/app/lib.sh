# Helpers of the Dovrel.exe test scripts (sourced). The caller sets
# DOVREL (Dovrel.exe), WINPROBE (winprobe.exe) and, where needed, KALBRIT
# (the stand-in Kalbrit.exe). WINEPREFIX and DISPLAY come from the
# environment; Windows programs run through scripts/wine-run.sh.
set -u
LIB_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
ROOT="$(cd "$LIB_DIR/../../.." && pwd)"
# Windows programs run under a Japanese ANSI code page (932) unless
# DOVREL_TEST_LC_ALL says otherwise; the shell itself keeps its own locale
# (the Japanese glibc locale need not be installed for Wine to use 932).
WINE_LC="${DOVREL_TEST_LC_ALL:-ja_JP.UTF-8}"
WINE_RUN_SCRIPT="$ROOT/scripts/wine-run.sh"
wine_run() { LC_ALL="$WINE_LC" "$WINE_RUN_SCRIPT" "$@" 2>/dev/null; }
WINE_RUN=wine_run
export WINEDEBUG="${WINEDEBUG:--all}"
INSTALL_KEY='HKLM\Software\Orvanta\Quillmont\CurrentVersion'

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

probe() { "$WINE_RUN" "$WINPROBE" "$@"; }

# A scratch folder of this test, removed on exit.
WORK="$(mktemp -d "${TMPDIR:-/tmp}/dovrel-test.XXXXXX")"
DOVREL_PIDS=()
cleanup_all() {
    local pid
    for pid in "${DOVREL_PIDS[@]:-}"; do
        [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null && kill "$pid" 2>/dev/null
    done
    clear_install_path
    rm -f "$WINEPREFIX/drive_c/windows/Dovrel.ini"
    rm -rf "$WORK"
}
trap cleanup_all EXIT
trap 'exit 143' TERM INT  # so that the EXIT trap runs on a kill too

# write_ini DIR PORT [EXTRA LINES...]: the settings file with a trap section.
write_ini() {
    local dir="$1" port="$2"; shift 2
    mkdir -p "$dir"
    {
        printf '[usKarn_trap]\r\nport=%s\r\nrecTimeout=1\r\n' "$port"
        local line
        for line in "$@"; do printf '%s\r\n' "$line"; done
    } >"$dir/Dovrel.ini"
}

# InstallPath goes where the installer puts it, the 64-bit registry view,
# which Dovrel reads first; the 32-bit view is emptied so that nothing left
# there by another run is found instead.
set_install_path() {  # set_install_path UNIX_DIR
    local win
    win="$(WINEDEBUG=-all winepath -w "$1" 2>/dev/null)"
    "$WINE_RUN" reg delete "$INSTALL_KEY" /v InstallPath /f /reg:32 >/dev/null 2>&1 || true
    "$WINE_RUN" reg add "$INSTALL_KEY" /v InstallPath /t REG_SZ /d "$win" /f /reg:64 >/dev/null 2>&1
}
clear_install_path() {
    local view value
    for view in 32 64; do
        for value in InstallPath FirewallProfiles; do
            "$WINE_RUN" reg delete "$INSTALL_KEY" /v $value /f /reg:$view >/dev/null 2>&1 || true
        done
    done
}

# start_dovrel [ENV ARGS...]: starts $DOVREL in the background under
# `env ARGS...` (e.g. -u TZ, or TZ=UTC0); sets DOVREL_PID.
start_dovrel() {
    env "$@" LC_ALL="$WINE_LC" "$WINE_RUN_SCRIPT" "$DOVREL" 2>/dev/null &
    DOVREL_PID=$!
    DOVREL_PIDS+=("$DOVREL_PID")
}

# wait_exit PID SECONDS: waits for the process; sets EXIT_CODE (124 on timeout).
wait_exit() {
    local pid="$1" limit="$2" i=0
    while kill -0 "$pid" 2>/dev/null; do
        if [ "$i" -ge $((limit * 10)) ]; then EXIT_CODE=124; return 1; fi
        sleep 0.1; i=$((i + 1))
    done
    wait "$pid"; EXIT_CODE=$?
    return 0
}

# Until the port shows up as bound (the engine has started).
wait_port_bound() {  # wait_port_bound PORT SECONDS
    local port="$1" limit="$2" i=0
    until ss -uan 2>/dev/null | grep -q ":$port "; do
        [ "$i" -ge $((limit * 10)) ] && return 1
        sleep 0.1; i=$((i + 1))
    done
}

# send_trap PORT ARGS...: one SNMPv1 trap with community vandor to 127.0.0.1:PORT.
send_trap() {
    local port="$1"; shift
    snmptrap -v 1 -c vandor "127.0.0.1:$port" "$@"
}
# A coldStart trap (message number 2) and a upsTrapOnBattery trap (3).
cold_start_trap() { send_trap "$1" 1.3.6.1.4.1.8072.3.2.10 127.0.0.1 0 0 ''; }
on_battery_trap() { send_trap "$1" 1.3.6.1.2.1.33.2 127.0.0.1 6 1 ''; }

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
