#!/usr/bin/env bash
# Traps that Dovrel refuses are counted with their reason and sender, and
# any program can read the counts through Dovrel's status query; a good trap
# alongside them still alerts, and is counted as an alert.
# Usage: refusals.sh DOVREL WINPROBE   (ports 22213, 22214)
DOVREL="$1" WINPROBE="$2"
source "$(dirname "$0")/lib.sh"
ALERT=TOLM

# The status query (alert/status_query.h): WM_APP + 100, wParam selects.
QUERY=$((0x8000 + 100))
ALERTS=1 REFUSED=2 LAST_REASON=3 LAST_MINUTE=4 LAST_SENDER=5 FOR_REASON=$((0x100))
# RefusalReason values.
WRONG_COMMUNITY=1 NOT_TARGET=2 MASKED=3 NOT_DECODABLE=4
LOOPBACK=$((0x7F000001)) LOOPBACK2=$((0x7F000002))

status() { probe send-message Dovrel.exe "$QUERY" "$1"; }
# counted REASON N: N datagrams refused for REASON so far.
counted() { test "$(status $((FOR_REASON + $1)))" = "$2"; }
alerts_are() { test "$(status $ALERTS)" = "$1"; }
# last_refusal REASON SENDER: the last refusal's reason and source address.
last_refusal() { test "$(status $LAST_REASON)" = "$1" && test "$(status $LAST_SENDER)" = "$2"; }
# The last refusal's minute of the day is now's, in Japan time (TZ unset).
last_minute_is_now() {
    local got now
    got="$(status $LAST_MINUTE)"
    now=$((10#$(TZ=Asia/Tokyo date +%H) * 60 + 10#$(TZ=Asia/Tokyo date +%M)))
    [ $(((now - got + 1440) % 1440)) -le 1 ]
}

catalogue=('[usKarn_msgJp]' '2=red,Cold start seen')

# ---- Run 1: only 127.0.0.1 may send; SNMPv1 only (acceptV2c absent).
PORT=22213
write_ini "$WORK/install" "$PORT" target=127.0.0.1 "${catalogue[@]}"
set_install_path "$WORK/install"
start_dovrel -u TZ
check "Dovrel binds port $PORT" wait_port_bound "$PORT" 20
check "the status query answers: nothing refused yet" test "$(status $REFUSED)" = 0

snmptrap -v 1 -c wrongcomm "127.0.0.1:$PORT" 1.3.6.1.4.1.8072.3.2.10 127.0.0.1 0 0 ''
check "a wrong community is counted as such" wait_until 12 counted $WRONG_COMMUNITY 1
check "... with its sender 127.0.0.1" last_refusal $WRONG_COMMUNITY $LOOPBACK
check "... and its time, in Japan time" last_minute_is_now

snmptrap --clientaddr=127.0.0.2 -v 1 -c vandor "127.0.0.1:$PORT" 1.3.6.1.4.1.8072.3.2.10 127.0.0.1 0 0 ''
check "a sender other than the target is counted as not the target" wait_until 12 counted $NOT_TARGET 1
check "... with its sender 127.0.0.2" last_refusal $NOT_TARGET $LOOPBACK2

snmptrap -v 2c -c vandor "127.0.0.1:$PORT" '' 1.3.6.1.6.3.1.1.5.1
check "an SNMPv2c trap without acceptV2c is counted as not decodable" wait_until 12 counted $NOT_DECODABLE 1
check "... with its sender 127.0.0.1" last_refusal $NOT_DECODABLE $LOOPBACK

cold_start_trap "$PORT"
check "a good trap still shows its alert" probe wait-title "$ALERT" 12
check "... and is counted as an alert" wait_until 6 alerts_are 1
check "three refusals in all, one per reason" test "$(status $REFUSED)" = 3
check_not "nothing counted as masked" counted $MASKED 1
quit_dovrel 10
check "run 1 quits with exit code 0 (got $EXIT_CODE)" test "$EXIT_CODE" -eq 0

# ---- Run 2: the mask admits agent addresses in 127.0.0.0/24 only.
PORT=22214
write_ini "$WORK/install" "$PORT" target=127.0.0.1 prohibition=255.255.255.0 "${catalogue[@]}"
start_dovrel -u TZ
check "Dovrel binds port $PORT" wait_port_bound "$PORT" 20
send_trap "$PORT" 1.3.6.1.4.1.8072.3.2.10 10.0.0.1 0 0 ''
check "an agent address outside the mask is counted as masked" wait_until 12 counted $MASKED 1
check "... with the datagram's sender 127.0.0.1" last_refusal $MASKED $LOOPBACK
quit_dovrel 10
check "run 2 quits with exit code 0 (got $EXIT_CODE)" test "$EXIT_CODE" -eq 0
finish
