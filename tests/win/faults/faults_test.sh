#!/usr/bin/env bash
# dovrel_faults: faults_test.sh DOVREL_EXE WINPROBE_EXE DOVREL_INI
# Runs Dovrel.exe under Wine (WINEPREFIX and DISPLAY from the environment)
# with a settings file of its own and checks, through the alert windows
# ("TOLM", message text in control 1001) read back with winprobe, that
#   1. a datagram over 1500 octets, an empty datagram and a trap from a sender
#      the target filter rejects are dropped, and the good trap sent after
#      each is still announced, with Dovrel running throughout;
#   2. garbage values in the trap section (port=24511xyz, recTimeout=abc,
#      Lang=???, an empty trapCommunity, target=ALLS, prohibition=NoNe) still
#      give a working monitor on port 24511;
#   3. a port held by another socket gives the start-up warning
#      "Warning(Tesvane)", and OK ends Dovrel with exit code 0.
set -uo pipefail
DOVREL=$1 WINPROBE=$2 ini_template=$3
source "$(dirname "${BASH_SOURCE[0]}")/../../../scripts/lib/dovrel.sh"
failures=0

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
alerts() { probe list | grep -a ' "TOLM" ' || true; }

# write_ini KEY=VALUE...: Dovrel.ini in $WORK, the catalogues of the
# shipped file and the given trap-section values.
write_ini() {
  cp "$ini_template" "$WORK/Dovrel.ini"
  set_trap_keys "$WORK/Dovrel.ini" "$@"
}

start() {
  start_dovrel
  probe wait-title Dovrel.exe 30 >/dev/null || fail "Dovrel.exe window did not appear"
}

# stop: QUIT from the tray menu; true when Dovrel ended with exit code 0.
stop() {
  quit_dovrel 30 && [ "$EXIT_CODE" = 0 ]
}

# outlet_trap PORT NUMBER NAME [VARBIND...]: an outlet trap (message number
# 122) whose alert text begins Outlet:NUMBER[NAME]; SNMPTRAP_OPTS adds options.
outlet_trap() {
  local port=$1 number=$2 name=$3
  shift 3
  snmptrap -v 1 -c vandor ${SNMPTRAP_OPTS:-} "127.0.0.1:$port" 1.3.6.1.4.1.2134.4.5 127.0.0.1 6 2 '' \
    1.3.6.1.4.1.2134.4.2.4.2.1.1.$number i "$number" 1.3.6.1.4.1.2134.4.2.4.2.1.6.$number s "$name" "$@"
}

# wait_alerts SECONDS TEXT...: true once an alert shows each TEXT.
wait_alerts() {
  local seconds=$1 i t missing
  shift
  for ((i = 0; i < seconds * 2; i++)); do
    missing=0
    for t in "$@"; do alerts | grep -aqF "$t" || missing=1; done
    [ $missing = 0 ] && return 0
    sleep 0.5
  done
  return 1
}

set_install_path "$WORK" || fail "cannot set InstallPath"

# --- 1. hostile datagrams, each followed by a good trap -----------------
port=24501
write_ini Lang=English port=$port recTimeout=1 target=127.0.0.1 prohibition=none
start

# A trap whose first 1500 octets decode on their own (the outlet bindings
# come first), padded past 1500 by a third binding: if it were queued cut
# short instead of dropped, it would be announced as Outlet:7[oversize].
outlet_trap $port 7 oversize 1.3.6.1.4.1.2134.4.2.4.2.1.2.7 s "$(head -c 1600 /dev/zero | tr '\0' x)" ||
  fail "snmptrap could not send the oversized trap"
outlet_trap $port 1 afterbig
python3 -c "import socket; socket.socket(socket.AF_INET, socket.SOCK_DGRAM).sendto(b'', ('127.0.0.1', $port))"
outlet_trap $port 2 afterempty
# From 127.0.0.2 while the target is 127.0.0.1: rejected by the filter.
SNMPTRAP_OPTS=--clientaddr=127.0.0.2 outlet_trap $port 9 filtered || fail "snmptrap could not send from 127.0.0.2"
outlet_trap $port 3 afterfiltered

if wait_alerts 40 'Outlet:1[afterbig]' 'Outlet:2[afterempty]' 'Outlet:3[afterfiltered]'; then
  sleep 2  # anything wrongly queued before them would be shown by now
else
  fail "good traps after the hostile datagrams were not all announced"
fi
shown=$(alerts)
echo "$shown" | grep -aqF 'Outlet:7[oversize]' && fail "a datagram over 1500 octets was announced (queued cut short)"
echo "$shown" | grep -aqF 'Outlet:9[filtered]' && fail "a trap from a sender outside the target was announced"
[ "$(probe count-title Dovrel.exe)" = 1 ] || fail "Dovrel.exe is no longer running after the hostile datagrams"
stop || fail "Dovrel did not end with exit code 0 after QUIT"
probe wait-gone TOLM 5 >/dev/null || true

# --- 2. garbage in the trap section -------------------------------------
write_ini 'Lang=???' port=24511xyz recTimeout=abc trapCommunity= target=ALLS prohibition=NoNe
start
outlet_trap 24511 4 garbage
wait_alerts 30 'Outlet:4[garbage]' || fail "with garbage settings, a trap to port 24511 was not announced"
[ "$(probe count-title Dovrel.exe)" = 1 ] || fail "Dovrel.exe is no longer running with garbage settings"
stop || fail "Dovrel did not end with exit code 0 after QUIT (garbage settings)"

# --- 3. the port is already taken ---------------------------------------
write_ini Lang=English port=24512
hold_port 24512
sleep 0.5
start
if probe wait-title 'Warning(Tesvane)' 30 >/dev/null; then
  probe press 'Warning(Tesvane)' 1 >/dev/null
  if ! wait_exit "$DOVREL_PID" 20; then
    fail "Dovrel still running after OK on the start-up warning"
  elif [ "$EXIT_CODE" != 0 ]; then
    fail "Dovrel ended with exit code $EXIT_CODE after the start-up warning"
  fi
else
  fail "no start-up warning with the port taken"
fi
kill "$HOLDER_PID" 2>/dev/null

if [ $failures -gt 0 ]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "all fault cases passed"
