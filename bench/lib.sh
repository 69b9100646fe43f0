# Shared helpers of the scripts/bench-* programs (sourced, not run).
# Builds go to build/bench-native and build/bench-win; Wine runs in build/bench-wineprefix.
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/lib/wine.sh"
source "$DOVREL_ROOT/scripts/lib/display.sh"
ROOT="$DOVREL_ROOT"
NATIVE_BUILD="${NATIVE_BUILD:-$(build_dir bench-native)}"
WIN_BUILD="${WIN_BUILD:-$(build_dir bench-win)}"
BENCH_DATA="$NATIVE_BUILD/bench-data"
export WINEPREFIX="${WINEPREFIX:-$(wine_prefix bench-win)}"
export WINEDEBUG=-all
COMMUNITY="${COMMUNITY:-vandor}"

# build_tree PRESET DIR TARGET...: the targets, built in DIR as configured by
# PRESET, except that the figures want an optimised build (the native preset
# is a Debug build) and a tree apart from the tests' own.
build_tree() {
  local preset=$1 dir=$2
  shift 2
  (cd "$ROOT" && cmake --preset "$preset" -B "$dir" -DCMAKE_BUILD_TYPE=Release >/dev/null)
  nice cmake --build "$dir" -j2 --target "$@" >/dev/null
}
build_native() { build_tree native "$NATIVE_BUILD" "$@"; }  # build_native TARGET...
build_win() { build_tree windows "$WIN_BUILD" "$@"; }        # build_win TARGET...

# capture NAME PORT SNMPTRAP-ARGS...: the bytes that `snmptrap ARGS` sends,
# into $BENCH_DATA/NAME.bin (a real peer's encoding, not hand-made bytes).
capture() {
  local name=$1 port=$2
  shift 2
  mkdir -p "$BENCH_DATA"
  python3 "$ROOT/bench/capture_trap.py" "$port" "$BENCH_DATA/$name.bin" -- \
    snmptrap "$@" >/dev/null
}

# The six trap kinds of the decoder benchmark; the port is only used for the capture.
capture_trap_kinds() {
  local p=$1 c=$COMMUNITY
  capture coldStart $p -v 1 -c $c 127.0.0.1:$p 1.3.6.1.4.1.8072.3.2.10 127.0.0.1 0 0 ''
  capture upsTrapOnBattery $p -v 1 -c $c 127.0.0.1:$p 1.3.6.1.2.1.33.2 127.0.0.1 6 1 '' \
    1.3.6.1.2.1.33.1.2.3.0 i 30 1.3.6.1.2.1.33.1.2.2.0 i 0
  capture alarmBinding $p -v 1 -c $c 127.0.0.1:$p 1.3.6.1.2.1.33.2 127.0.0.1 6 3 '' \
    1.3.6.1.2.1.33.1.6.2.1.1.5 i 5 1.3.6.1.2.1.33.1.6.2.1.2.5 o 1.3.6.1.2.1.33.1.6.3.2.0
  capture outletBindings $p -v 1 -c $c 127.0.0.1:$p 1.3.6.1.4.1.2134.4.5 127.0.0.1 6 2 '' \
    1.3.6.1.4.1.2134.4.2.4.2.1.1.3 i 3 1.3.6.1.4.1.2134.4.2.4.2.1.6.3 s Srv1
  capture enterpriseA $p -v 1 -c $c 127.0.0.1:$p 1.3.6.1.4.1.2134.4.5 127.0.0.1 6 4 ''
  capture v2cRejected $p -v 2c -c $c 127.0.0.1:$p '' 1.3.6.1.6.3.1.1.5.1
}

# status_kb PID FIELD: a field of /proc/PID/status in kB (VmHWM, VmRSS), or empty.
status_kb() {
  awk -v f="$2:" '$1 == f { print $2 }' "/proc/$1/status" 2>/dev/null
}

# watch_peak PID OUTFILE: samples VmHWM every 0.2 s until PID ends and
# leaves the last value (the peak: VmHWM never falls) in OUTFILE.
watch_peak() {
  local pid=$1 out=$2 v
  : >"$out"
  while kill -0 "$pid" 2>/dev/null; do
    v=$(status_kb "$pid" VmHWM)
    [ -n "$v" ] && echo "$v" >"$out"
    sleep 0.2
  done
}

# wait_for_line FILE PATTERN SECONDS: true once FILE holds a line matching PATTERN.
wait_for_line() {
  local i
  for ((i = 0; i < $3 * 10; i++)); do
    grep -q "$2" "$1" 2>/dev/null && return 0
    sleep 0.1
  done
  return 1
}

ensure_wine_prefix() {
  use_wine_prefix
  wineserver -p >/dev/null 2>&1 || true  # keep the server up between runs; not on our stdout
}

# --- Dovrel.exe under Wine ------------------------------------------------

# The newest process whose command line holds NAME and which runs in this
# WINEPREFIX (other helpers run the same programs in prefixes of their own).
wine_pid_in_prefix() {  # wine_pid_in_prefix NAME
  local p found=()
  for p in $(pgrep -f "$1"); do
    { tr '\0' '\n' <"/proc/$p/environ"; } 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" && found+=("$p")
  done
  [ ${#found[@]} -gt 0 ] || return 1
  ps -o pid= --sort=start_time -p "$(IFS=,; echo "${found[*]}")" | tail -1 | tr -d ' '
}

# The wineserver of this WINEPREFIX: its working directory is named after
# the prefix's device and inode.
wineserver_pid() {
  local dir p
  dir=$(printf 'server-%x-%x' "$(stat -c %d "$WINEPREFIX")" "$(stat -c %i "$WINEPREFIX")")
  for p in $(pgrep -x wineserver; pgrep -f 'wineserver'); do
    [ "$(basename "$(readlink "/proc/$p/cwd" 2>/dev/null)")" = "$dir" ] && { echo "$p"; return 0; }
  done
  return 1
}

# cpu_ticks PID: utime + stime of a process, in clock ticks.
cpu_ticks() {
  awk '{ sub(/.*\) /, ""); print $12 + $13 }' "/proc/$1/stat" 2>/dev/null
}

# use_dovrel ARGS...: for the scripts that run Dovrel.exe of WIN_BUILD:
# again on a virtual display when there is none (with ARGS), the prefix,
# and scripts/lib/dovrel.sh (start_dovrel, probe, set_install_path, WORK
# and its clean-up on exit).
use_dovrel() {
  need_display "$@"
  ensure_wine_prefix
  source "$ROOT/scripts/lib/dovrel.sh"
  use_dovrel_build "$WIN_BUILD"
}
use_dovrel_build() {  # use_dovrel_build BUILD-DIR: its Dovrel.exe and winprobe.exe
  DOVREL="$1/app/Dovrel.exe"
  WINPROBE="$1/tests/win/tools/winprobe.exe"
}

# dovrel_setup DIR KEY=VALUE...: DIR/Dovrel.ini made from the shipped file
# with the given trap-section values, and InstallPath pointing at DIR.
dovrel_setup() {
  local dir=$1
  shift
  shipped_ini "$dir" "$@"
  set_install_path "$dir"
}

# dovrel_start [ENV ARGS...]: starts Dovrel.exe (start_dovrel: DOVREL_PID is
# the wine launcher, whose exit status is Dovrel's exit code) and sets
# DOVREL_PROC, the Windows process, once its main window is there.
dovrel_start() {
  start_dovrel "$@"
  probe wait-title Dovrel.exe 30 >/dev/null || return 1
  DOVREL_PROC=$(wine_pid_in_prefix 'Dovrel.exe')
}
