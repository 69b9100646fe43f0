# shellcheck shell=bash
# Dovrel.exe and winprobe.exe under Wine, for the shell tests, the stress
# script and the benchmarks (sourced). The caller sets DOVREL (Dovrel.exe,
# a Unix or a Windows path) and WINPROBE (winprobe.exe) before it uses them.
# WINE_LC, when set, is the locale the Windows programs run under (LC_ALL:
# Wine takes the ANSI code page from it, and the Unix side needs no such
# locale installed); when empty they run under the caller's.
# Sourcing it uses WINEPREFIX (else the Windows builds' prefix), makes a
# scratch folder WORK and, on exit, ends what was started in the background,
# clears InstallPath and removes WORK.
source "$(dirname "${BASH_SOURCE[0]}")/wine.sh"
source "$DOVREL_ROOT/scripts/lib/ini.sh"
use_wine_prefix
WINE_LC="${WINE_LC:-}"
INSTALL_KEY='HKLM\Software\Orvanta\Quillmont\CurrentVersion'

wine_run() { env ${WINE_LC:+"LC_ALL=$WINE_LC"} wine "$@" 2>/dev/null; }
probe() { wine_run "$WINPROBE" "$@"; }

WORK="$(mktemp -d "${TMPDIR:-/tmp}/dovrel-$(basename "$0" .sh).XXXXXX")"
# Dovrel's own output (Wine's messages, a relay trace), appended per start.
DOVREL_LOG="$WORK/dovrel.log"
BACKGROUND_PIDS=()  # ended on exit when still running
EXIT_HOOKS=()       # functions run first on exit
DOVREL_PID=""

# at_exit FUNCTION: runs FUNCTION on exit, before the common clean-up.
at_exit() { EXIT_HOOKS+=("$1"); }
cleanup_all() {
    local hook pid
    for hook in "${EXIT_HOOKS[@]}"; do "$hook" || true; done
    stop_dovrel 5
    for pid in "${BACKGROUND_PIDS[@]}"; do
        kill -0 "$pid" 2>/dev/null && kill "$pid" 2>/dev/null
    done
    clear_install_path
    rm -f "$WINEPREFIX/drive_c/windows/Dovrel.ini"
    rm -rf "$WORK"
}
trap cleanup_all EXIT
trap 'exit 143' TERM INT  # so that the EXIT trap runs on a kill too

# start_dovrel [ENV ARGS...]: starts $DOVREL in the background under
# `env ARGS...` (-u TZ, TZ=UTC0, WINEDEBUG=...); sets DOVREL_PID, the
# launcher, whose exit status is Dovrel's exit code.
start_dovrel() {
    env "$@" ${WINE_LC:+"LC_ALL=$WINE_LC"} wine "$DOVREL" >>"$DOVREL_LOG" 2>&1 &
    DOVREL_PID=$!
    BACKGROUND_PIDS+=("$DOVREL_PID")
}

# wait_exit PID SECONDS: waits for the process; sets EXIT_CODE (124 on timeout).
wait_exit() {
    local pid="$1" limit="$2" i=0
    while kill -0 "$pid" 2>/dev/null; do
        if [ "$i" -ge $((limit * 10)) ]; then EXIT_CODE=124; return 1; fi
        sleep 0.1; i=$((i + 1))
    done
    EXIT_CODE=0
    wait "$pid" || EXIT_CODE=$?
    return 0
}

# quit_dovrel SECONDS: QUIT from the tray menu, then wait_exit.
quit_dovrel() {
    probe post-command Dovrel.exe 40002 >/dev/null
    wait_exit "$DOVREL_PID" "$1"
}

# stop_dovrel SECONDS: a Dovrel still running is asked to end with a posted
# WM_DESTROY, as Finwin does, and killed only when it has not ended in
# time: one killed inside select() can leave its port bound in the
# wineserver.
stop_dovrel() {
    if [ -n "$DOVREL_PID" ] && kill -0 "$DOVREL_PID" 2>/dev/null; then
        probe post-destroy Dovrel.exe >/dev/null || true
        wait_exit "$DOVREL_PID" "$1" || kill "$DOVREL_PID" 2>/dev/null || true
    fi
    DOVREL_PID=""
}

# wait_until SECONDS COMMAND...: true once COMMAND succeeds (polled every 0.25 s).
wait_until() {
    local limit=$(($1 * 4)) i
    shift
    for ((i = 0; i < limit; i++)); do "$@" && return 0; sleep 0.25; done
    return 1
}

# Until the port shows up as bound (the engine has started).
wait_port_bound() {  # wait_port_bound PORT SECONDS
    local port="$1" limit="$2" i=0
    until ss -uan 2>/dev/null | grep -q ":$port "; do
        [ "$i" -ge $((limit * 10)) ] && return 1
        sleep 0.1; i=$((i + 1))
    done
}

# hold_port PORT: a Linux process holds 0.0.0.0:PORT (Dovrel binds
# INADDR_ANY) for up to 5 minutes; sets HOLDER_PID.
hold_port() {
    python3 -c "
import socket, time
s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
s.bind(('0.0.0.0', $1))
time.sleep(300)" &
    HOLDER_PID=$!
    BACKGROUND_PIDS+=("$HOLDER_PID")
}

# InstallPath goes where the installer puts it, the 64-bit registry view,
# which Dovrel reads first; the 32-bit view is emptied so that nothing left
# there by another run is found instead.
set_install_path() {  # set_install_path UNIX_DIR
    local win
    win="$(winepath -w "$1" 2>/dev/null)"
    wine_run reg delete "$INSTALL_KEY" /v InstallPath /f /reg:32 >/dev/null || true
    wine_run reg add "$INSTALL_KEY" /v InstallPath /t REG_SZ /d "$win" /f /reg:64 >/dev/null
}
clear_install_path() {
    local view value
    for view in 32 64; do
        for value in InstallPath FirewallProfiles; do
            wine_run reg delete "$INSTALL_KEY" /v $value /f /reg:$view >/dev/null || true
        done
    done
}

# installer_for_here SETUP.exe: prints the installer this machine can run:
# where it cannot execute 32-bit programs (wine-loader.sh), the same script
# built as a 64-bit program, SETUP-x64.exe, with a note on stderr.
installer_for_here() {
    if [ "$DOVREL_WINE32" = 0 ]; then
        echo "NOTE: 32-bit programs cannot run here: testing $(basename "${1%.exe}-x64.exe"), the 64-bit build of the installer" >&2
        echo "${1%.exe}-x64.exe"
    else
        echo "$1"
    fi
}

# send_trap PORT ARGS...: one SNMPv1 trap with community vandor to 127.0.0.1:PORT.
send_trap() {
    local port="$1"; shift
    snmptrap -v 1 -c vandor "127.0.0.1:$port" "$@"
}
# A coldStart trap (message number 2) and a upsTrapOnBattery trap (3).
cold_start_trap() { send_trap "$1" 1.3.6.1.4.1.8072.3.2.10 127.0.0.1 0 0 ''; }
on_battery_trap() { send_trap "$1" 1.3.6.1.2.1.33.2 127.0.0.1 6 1 ''; }
