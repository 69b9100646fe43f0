#!/usr/bin/env bash
# Shutdown under load: N runs of Dovrel.exe, each flooded with SNMPv1 traps
# until several alert windows are open, then ended from another process
# (QUIT command or a posted WM_DESTROY, alternately) while the flood goes on.
# Every run must end with exit code 0 within 3 seconds. Prints one line per
# run and a summary; exits 1 if any run failed.
#
# Usage: scripts/stress-shutdown.sh [N] [DOVREL.exe] [winprobe.exe]
#   N defaults to 30; the programs default to those of build/windows.
#   Runs under xvfb-run when DISPLAY is not set. Honours WINEPREFIX.
#   Uses UDP port $STRESS_PORT (default 22241) on 127.0.0.1. Ports are shared
#   by every Wine prefix on the host: two stress runs at once need two ports.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/lib/display.sh"
need_display "$@"
RUNS="${1:-30}"
DOVREL="${2:-$(build_dir windows)/app/Dovrel.exe}"
WINPROBE="${3:-$(build_dir windows)/tests/win/tools/winprobe.exe}"
# Windows programs under code page 932, as in the tests of tests/win/app.
WINE_LC="${DOVREL_TEST_LC_ALL:-ja_JP.UTF-8}"
source "$DOVREL_ROOT/scripts/lib/dovrel.sh"
PORT="${STRESS_PORT:-22241}"
MIN_ALERTS=3
LIMIT_MS=3000

write_ini "$WORK/install" "$PORT" '[usKarn_msgJp]' '2=red,stress coldStart' '3=green,stress on battery'
set_install_path "$WORK/install"

FLOODERS=()
start_flood() {
    local n
    for n in 1 2; do
        (while :; do
            cold_start_trap "$PORT" 2>/dev/null
            on_battery_trap "$PORT" 2>/dev/null
        done) &
        FLOODERS+=($!)
        BACKGROUND_PIDS+=($!)  # ended on exit as well
    done
}
stop_flood() {
    local pid
    for pid in "${FLOODERS[@]:-}"; do kill "$pid" 2>/dev/null; done
    wait "${FLOODERS[@]}" 2>/dev/null
    FLOODERS=()
}
now_ms() { echo $(($(date +%s%N) / 1000000)); }

ok=0 failed=0 total_ms=0 max_ms=0
for run in $(seq 1 "$RUNS"); do
    : >"$DOVREL_LOG"
    start_dovrel
    if ! wait_port_bound "$PORT" 20; then
        echo "run $run: Dovrel did not bind its port"; failed=$((failed + 1))
        kill "$DOVREL_PID" 2>/dev/null; wait "$DOVREL_PID" 2>/dev/null; continue
    fi
    start_flood
    # Until several alert windows are open (or 30 s passed).
    alerts=0
    for _ in $(seq 1 60); do
        alerts="$(probe count-title TOLM)"
        [ "${alerts:-0}" -ge "$MIN_ALERTS" ] && break
        sleep 0.5
    done
    if [ $((run % 2)) -eq 1 ]; then how=QUIT; else how=WM_DESTROY; fi
    [ "${alerts:-0}" -lt "$MIN_ALERTS" ] && { echo "run $run: only $alerts alert windows; windows:"; probe list | grep -v '"" visible=0'; ss -uan | grep ":$PORT "; }
    t0="$(now_ms)"
    if [ "$how" = QUIT ]; then probe post-command Dovrel.exe 40002; else probe post-destroy Dovrel.exe; fi
    t1="$(now_ms)"
    wait_exit "$DOVREL_PID" 10
    ms=$(($(now_ms) - t1))
    probe_ms=$((t1 - t0))
    stop_flood
    verdict=ok
    if [ "$EXIT_CODE" -ne 0 ] || [ "$ms" -gt "$LIMIT_MS" ] || [ "${alerts:-0}" -lt "$MIN_ALERTS" ]; then
        verdict=FAIL; failed=$((failed + 1))
        # Dovrel's own output, shown with the windows of a failed run.
        echo "run $run: stderr of Dovrel:"; tail -20 "$DOVREL_LOG"
        kill "$DOVREL_PID" 2>/dev/null
    else
        ok=$((ok + 1))
    fi
    total_ms=$((total_ms + ms)); [ "$ms" -gt "$max_ms" ] && max_ms=$ms
    echo "run $run: $how with $alerts alert windows open: exit code $EXIT_CODE ${ms} ms after the post (winprobe took ${probe_ms} ms): $verdict"
    # Nothing of the run may be left: no main window, no alert window.
    probe wait-gone Dovrel.exe 5 || { echo "run $run: main window left behind"; }
    probe wait-gone TOLM 5 || { echo "run $run: alert windows left behind"; }
done
# Every run's socket is gone with its process: the port is free again.
if ss -uan 2>/dev/null | grep -q ":$PORT "; then
    echo "port $PORT is still bound after the last run"; failed=$((failed + 1))
fi
echo "summary: $RUNS runs, $ok ok, $failed failed; time from close request to exit: mean $((total_ms / RUNS)) ms, max $max_ms ms (limit $LIMIT_MS ms)"
[ "$failed" -eq 0 ]
