#!/usr/bin/env bash
# End to end: the product installed with DovrelSetup.exe into a test folder,
# net-snmp's snmptrap as the only trap source, alert windows read back with
# winprobe (control texts) and a screenshot (colour of each alert window).
# Usage: e2e_test.sh DovrelSetup.exe winprobe.exe alertprobe.exe [port]
set -euo pipefail
WINPROBE="$2"
alertprobe="$3"
port="${4:-23100}"
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib/dovrel.sh"
setup="$(installer_for_here "$1")"

dir_win='C:\dovrel_e2e_test'
dir="$WINEPREFIX/drive_c/dovrel_e2e_test"
ini="$dir/Dovrel.ini"
DOVREL="$dir_win\\Dovrel.exe"
failures=0

fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
die() { echo "FAIL: $*" >&2; exit 1; }
uninstall() {
    close_alerts || true
    stop_dovrel 15
    if [ -e "$dir/Uninstall.exe" ]; then
        wine_run "$dir_win\\Uninstall.exe" /S /REMOVECONFIG || true
        wait_until 30 test ! -e "$dir/Uninstall.exe" || true
    fi
    rm -rf "$dir"
}
at_exit uninstall

# One [usKarn_trap] key of the installed file (ASCII lines in a Shift-JIS file).
set_key() { set_trap_keys "$ini" "$1=$2" || die "cannot set $1"; }
start_installed() {
    start_dovrel
    probe wait-title Dovrel.exe 30 >/dev/null || die "Dovrel did not start"
    wait_port_bound "$port" 10 || die "Dovrel does not listen on UDP $port"
}
alert_count() { probe count-title TOLM; }
at_least_alerts() { [ "$(alert_count)" -ge "$1" ]; }
close_alerts() {
    for _ in $(seq 1 20); do
        [ "$(alert_count)" = 0 ] && return 0
        probe post-command TOLM 2 >/dev/null || true
        sleep 0.3
    done
    return 1
}
# snmptrap -v 1 -c COMMUNITY host:port ENTERPRISE AGENT GENERIC SPECIFIC UPTIME [varbinds]
trap_v1() {
    local community="$1"; shift
    snmptrap -v 1 -c "$community" "127.0.0.1:$port" "$@" 2>&1 || fail "snmptrap $*"
}
# trap_v2c: the same arguments as trap_v1, sent as the SNMPv2c notification
# RFC 3584 3.1 makes of that trap (as decoder_v2c_snmptrap_posix_test does):
# snmpTrapOID from the enterprise and the codes, the v1 bindings, then the
# agent address as snmpTrapAddress.0 and, for a generic trap, the enterprise
# as snmpTrapEnterprise.0.
trap_v2c() {
    local community="$1" enterprise="$2" agent="$3" generic="$4" specific="$5" uptime="$6" oid
    shift 6
    local last=(1.3.6.1.6.3.18.1.3.0 a "$agent")
    if [ "$generic" = 6 ]; then
        oid="$enterprise.0.$specific"
    else
        oid="1.3.6.1.6.3.1.1.5.$((generic + 1))"
        last+=(1.3.6.1.6.3.1.1.4.3.0 o "$enterprise")
    fi
    snmptrap -v 2c -c "$community" "127.0.0.1:$port" "$uptime" "$oid" "$@" "${last[@]}" 2>&1 ||
        fail "snmptrap -v 2c $oid $*"
}
# The alerts read back without their dates, in one order.
undated() { sed -E 's/^([^|]*)\|[^|]*\|/\1|/' <<<"$1" | sort; }
# The last N history records without their times, in one order.
history_tail() { tail -n "$1" "$(history_dir)/history.csv" | cut -d, -f2- | sort; }
# Waits until N alert windows stand (at most S seconds), then a little longer
# to see that no more arrive.
expect_alerts() {
    local n="$1" s="$2"
    wait_until "$s" at_least_alerts "$n" || true
    sleep 1
    local got
    got="$(alert_count)"
    [ "$got" = "$n" ] || fail "expected $n alert windows, got $got"
}

# The colour at a point inside the window's client area, as red,green,blue.
pixel() {
    import -window root -crop "1x1+$1+$2" -depth 8 txt:- 2>/dev/null | tail -1 | sed -E 's/.*\(([0-9]+),([0-9]+),([0-9]+).*/\1,\2,\3/'
}
colour_name() {
    case "$1" in
        255,50,50) echo red ;;
        255,135,0) echo orange ;;
        50,200,50) echo green ;;
        *) echo "other($1)" ;;
    esac
}

# Reads every alert window: its texts, and its colour from the screen after
# raising it above the others; then closes it with Esc's command id 2.
# Prints one line per alert: colour|date|from|message
read_alerts() {
    local lines line
    lines="$(probe list | grep ' "TOLM" ')" || return 0
    while IFS= read -r line; do
        local hwnd="${line%% *}" l t r b
        read -r l t r b <<<"$(sed -E 's/.* rect=([-0-9]+),([-0-9]+),([-0-9]+),([-0-9]+).*/\1 \2 \3 \4/' <<<"$line")"
        wine_run "$alertprobe" raise "$hwnd" || true
        local c msg date from
        c="$(colour_name "$(pixel $((l + 4)) $((b - 4)))")"
        msg="$(sed -E 's/.*"1001=([^"]*)".*/\1/' <<<"$line")"
        date="$(sed -E 's/.*"1002=([^"]*)".*/\1/' <<<"$line")"
        from="$(sed -E 's/.*"1003=([^"]*)".*/\1/' <<<"$line")"
        echo "$c|$date|$from|$msg"
        wine_run "$alertprobe" close "$hwnd" || echo "FAIL: alert $hwnd did not close on Esc" >&2
    done <<<"$lines"
}
# The alert history of the prefix's user.
history_dir() { ls -d "$WINEPREFIX"/drive_c/users/*/AppData/Local 2>/dev/null | grep -v /Public/ | head -1 | sed 's|$|/Dovrel|'; }
# expect_history LINES: every alert read back has its record, same time,
# sender, colour and text; the window's text was read in code page 1252.
expect_history() {
    local file line c date from msg iso field
    file="$(history_dir)/history.csv"
    [ "$(head -c 3 "$file" | od -An -tx1 | tr -d ' ')" = efbbbf ] || fail "history.csv has no UTF-8 BOM"
    while IFS='|' read -r c date from msg; do
        iso="${date:0:4}-${date:5:2}-${date:8:2}T${date:11:8}"
        field="$(iconv -f CP1252 -t UTF-8 <<<"$msg")"
        case "$field" in *[,\"]*) field="\"${field//\"/\"\"}\"" ;; esac
        grep -aE "^${iso}[+-][0-9]{2}:[0-9]{2},${from#From: },-?[0-9]+,-?[0-9]+,$c," "$file" |
            grep -aqF ",$c,$field,"$'\r' || fail "history.csv has no record of '$msg' at $iso"
    done <<<"$1"
}
# expect_alert LINES COLOUR FROM MESSAGE
expect_alert() {
    if grep -qxF "$2|*|$3|$4" <<<"$(sed -E 's/^([^|]*)\|[^|]*\|/\1|*|/' <<<"$1")"; then
        echo "ok: $2 $3 $4"
    else
        fail "no $2 alert '$4' from '$3'"
    fi
}

echo "== install"
rm -rf "$dir"
# On an English system the installer itself selects the English catalogue.
# (env, not bash: the Unix side needs no such locale installed.)
env LC_ALL=en_US.UTF-8 wine "$setup" /S /NOAUTOSTART /NOSTART "/D=$dir_win"
[ -f "$dir/Dovrel.exe" ] || die "installer did not install Dovrel.exe"
grep -aq $'^Lang=English\r$' "$ini" || die "an English system got $(grep -a '^Lang=' "$ini")"
set_key port "$port"
close_alerts || die "alert windows of an earlier run are still open"
rm -rf "$(history_dir)"

echo "== batch 1: every kind of trap, all senders"
start_installed
ups=1.3.6.1.2.1.33.2
alarm=1.3.6.1.2.1.33.1.6.2.1.2.1
entA=1.3.6.1.4.1.2134.4.5
entB=1.3.6.1.4.1.2134.1.1.1
outlet=1.3.6.1.4.1.2134.4.2.4.2.1
# batch1 SENDER: the batch's traps, sent with trap_v1 or trap_v2c.
batch1() {
    local send="$1"
    $send vandor 1.3.6.1.4.1.8072.9 127.0.0.2 0 0 ''                                  # cold start
    $send vandor "$entB" 127.0.0.3 1 0 '' 1.3.6.1.2.1.1.3.0 t 5                        # warm start
    $send vandor "$entB" 127.0.0.3 4 0 '' 1.3.6.1.2.1.1.3.0 t 5                        # auth failure
    $send vandor "$ups" 127.0.0.4 6 1 ''                                                # on battery
    $send vandor "$ups" 127.0.0.4 6 3 '' "$alarm" o 1.3.6.1.2.1.33.1.6.3.3.0            # low battery raised
    $send vandor "$ups" 127.0.0.4 6 4 '' "$alarm" o 1.3.6.1.2.1.33.1.6.3.3.0            # low battery cleared
    $send vandor "$ups" 127.0.0.4 6 4 '' "$alarm" o 1.3.6.1.2.1.33.1.6.3.2.0            # on-battery alarm cleared
    $send vandor "$entA" 127.0.0.5 6 2 '' "$outlet.1.3" i 3 "$outlet.6.3" s Rack        # outlet 3, code 2
    $send vandor "$entA" 127.0.0.5 6 6 ''                                               # device code 6
    $send public 1.3.6.1.4.1.8072.9 127.0.0.6 0 0 ''                                    # wrong community: dropped
}
batch1 trap_v1
expect_alerts 9 15
alerts="$(read_alerts)"
echo "$alerts"
expect_alert "$alerts" orange "From: 127.0.0.2" "Cold start: the sender's SNMP agent is reinitialising; its configuration may have changed"
expect_alert "$alerts" orange "From: 127.0.0.3" "Warm start: the device's SNMP agent is reinitialising; its configuration is unchanged"
expect_alert "$alerts" orange "From: 127.0.0.3" "Authentication failure: the device received an SNMP message that was not properly authenticated"
expect_alert "$alerts" red "From: 127.0.0.4" "UPS on battery: the UPS is operating on battery power"
expect_alert "$alerts" red "From: 127.0.0.4" "Low battery: the remaining battery run-time is at or below the configured low-battery time"
expect_alert "$alerts" green "From: 127.0.0.4" "Low-battery alarm cleared"
expect_alert "$alerts" green "From: 127.0.0.4" "On-battery alarm cleared: the UPS is no longer drawing power from its batteries"
expect_alert "$alerts" orange "From: 127.0.0.5" "Outlet:3[Rack] event, code 2"
expect_alert "$alerts" orange "From: 127.0.0.5" "Outlet device event, code 6"
grep -q '127.0.0.6' <<<"$alerts" && fail "a trap with the wrong community was shown"
grep -qE '\|[0-9]{4}/[0-9]{2}/[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}\|' <<<"$alerts" || fail "no date text"
expect_history "$alerts"
[ "$(grep -ac . "$(history_dir)/history.csv")" = 10 ] || fail "history.csv: expected a header and 9 records"

echo "== batch 1 again as SNMPv2c: the same alerts and records"
history_v1="$(history_tail 9)"
batch1 trap_v2c
expect_alerts 9 15
alerts_v2c="$(read_alerts)"
[ "$(undated "$alerts_v2c")" = "$(undated "$alerts")" ] || fail "SNMPv2c alerts differ from SNMPv1's: $alerts_v2c"
expect_history "$alerts_v2c"
[ "$(history_tail 9)" = "$history_v1" ] || fail "SNMPv2c history records differ from SNMPv1's"

echo "== SNMPv2c INFORMs: answered and shown once; a wrong community gets no answer"
snmpinform -v 2c -c vandor -t 2 -r 1 "127.0.0.1:$port" '' 1.3.6.1.2.1.33.2.1 1.3.6.1.6.3.18.1.3.0 a 127.0.0.8 ||
    fail "snmpinform got no answer"
if snmpinform -v 2c -c public -t 1 -r 0 "127.0.0.1:$port" '' 1.3.6.1.6.3.1.1.5.1 \
    1.3.6.1.6.3.18.1.3.0 a 127.0.0.9 2>/dev/null; then
    fail "an INFORM with the wrong community was answered"
fi
expect_alerts 1 15
alerts="$(read_alerts)"
echo "$alerts"
expect_alert "$alerts" red "From: 127.0.0.8" "UPS on battery: the UPS is operating on battery power"
expect_history "$alerts"

echo "== history past 1 MiB is rotated"
hist="$(history_dir)"
for _ in $(seq 1 9000); do printf '2002-01-01T00:00:00+09:00,192.0.2.1,1,1,red,%0100d\r\n' 0; done >>"$hist/history.csv"
echo old >"$hist/history.1.csv"

echo "== batch 2: unknown trap, outlet without a name, key 130"
batch2() {
    local send="$1"
    $send vandor 1.3.6.1.4.1.8072.9 127.0.0.7 6 9 '' 1.3.6.1.2.1.1.5.0 s x            # matches no rule
    $send vandor "$entA" 127.0.0.7 6 8 '' "$outlet.1.2" i 2 "$outlet.6.2" s ''          # outlet 2, code 8
}
batch2 trap_v1
expect_alerts 2 15
alerts="$(read_alerts)"
echo "$alerts"
expect_alert "$alerts" orange "From: 127.0.0.7" "Trap of an unrecognised kind received"
expect_alert "$alerts" orange "From: 127.0.0.7" "Outlet:2[none] event, code 8"
expect_history "$alerts"
[ "$(grep -ac . "$hist/history.csv")" = 3 ] || fail "after rotation: expected a header and 2 records"
[ "$(stat -c %s "$hist/history.1.csv")" -gt 1000000 ] || fail "the full history was not kept as history.1.csv"
history_v1="$(history_tail 2)"
batch2 trap_v2c
expect_alerts 2 15
alerts_v2c="$(read_alerts)"
[ "$(undated "$alerts_v2c")" = "$(undated "$alerts")" ] || fail "SNMPv2c alerts differ from SNMPv1's: $alerts_v2c"
[ "$(history_tail 2)" = "$history_v1" ] || fail "SNMPv2c history records differ from SNMPv1's"
stop_dovrel 15

echo "== SNMPv3: devices whose engine IDs Dovrel was never told"
# The users of tests/data/v3 (master keys from pysnmp), and one with DES.
sha_ku=1584901daad7f138e411ab4c06bf1bb7157fd117
printf '%s\r\n' '[usKarn_v3]' "user1=ups-sha,SHA,$sha_ku,AES,bc0857826824e74092db24c985944909e6a56fab" \
    'user2=ups-sha256,SHA-256,3a5326632a9e86cda602a3b57e6798b6bc9644a3d539b4521b41d09d162cdcfa,AES,ee67c936aaf702b419d8e3b1bd6cc4ae98e565b37d7a1e407e45e2925a3d26b5' \
    'user3=ups-md5,MD5,d8bd3b2ef7f88eef4d35cbeadc63db27,none,' "user4=ups-des,SHA,$sha_ku,DES,$sha_ku" >>"$ini"
start_installed
engine_key='HKCU\Software\Orvanta\Quillmont\Dovrel'
engine_value() { wine_run reg query "$engine_key" /v "$1" | tr -d '\r' | awk -v v="$1" '$1 == v { print $3 }'; }
engine_id="$(engine_value EngineID)"
engine_boots="$(engine_value EngineBoots)"
[ -n "$engine_id" ] && [ -n "$engine_boots" ] || fail "Dovrel kept no engine ID and boots under $engine_key"
sha=(-u ups-sha -l authPriv -a SHA -A sha-auth-pass -x AES -X sha-priv-pass)
# on_battery_v3 AGENT SNMPTRAP-OPTIONS...: upsTrapOnBattery as SNMPv3, as
# RFC 3584 makes it of the SNMPv1 trap of batch 1.
on_battery_v3() {
    local agent="$1"; shift
    snmptrap -v 3 "$@" "127.0.0.1:$port" '' 1.3.6.1.2.1.33.2.1 1.3.6.1.6.3.18.1.3.0 a "$agent" 2>&1 ||
        fail "snmptrap -v 3 $*"
}
on_battery_v3 127.0.0.21 -e 0x80001f8804e2e2e2e201 "${sha[@]}"
on_battery_v3 127.0.0.22 -e 0x80001f8804e2e2e2e202 -u ups-sha256 -l authPriv -a SHA-256 -A sha256-auth-pass \
    -x AES -X sha256-priv-pass
on_battery_v3 127.0.0.23 -e 0x80001f8804e2e2e2e203 -u ups-md5 -l authNoPriv -a MD5 -A md5-auth-pass
# Refused: a wrong passphrase, an unknown user, DES, noAuthNoPriv.
on_battery_v3 127.0.0.31 -e 0x80001f8804e2e2e2e204 -u ups-sha -l authPriv -a SHA -A wrong-auth-pass -x AES \
    -X sha-priv-pass
on_battery_v3 127.0.0.32 -e 0x80001f8804e2e2e2e204 -u nobody -l authPriv -a SHA -A sha-auth-pass -x AES -X sha-priv-pass
on_battery_v3 127.0.0.33 -e 0x80001f8804e2e2e2e204 -u ups-des -l authPriv -a SHA -A sha-auth-pass -x DES -X sha-auth-pass
on_battery_v3 127.0.0.34 -e 0x80001f8804e2e2e2e204 -u ups-sha -l noAuthNoPriv
# A replay: a trap captured at engine time 5000, resent after one of time
# 5200 (net-snmp's -Z boots,time: no real waiting) was seen.
replay_engine=(-e 0x80001f8804e2e2e2e205 "${sha[@]}")
python3 "$DOVREL_ROOT/bench/capture_trap.py" $((port + 1)) "$dir/replay.bin" -- snmptrap -v 3 "${replay_engine[@]}" \
    -Z 7,5000 "127.0.0.1:$((port + 1))" '' 1.3.6.1.2.1.33.2.1 1.3.6.1.6.3.18.1.3.0 a 127.0.0.35 >/dev/null ||
    fail "capture of the trap to replay"
on_battery_v3 127.0.0.24 "${replay_engine[@]}" -Z 7,5200
sleep 1
python3 -c "import socket, sys; socket.socket(socket.AF_INET, socket.SOCK_DGRAM).sendto(open(sys.argv[1], 'rb').read(), ('127.0.0.1', int(sys.argv[2])))" \
    "$dir/replay.bin" "$port"
# An INFORM with no engine ID given: it discovers Dovrel's.
snmpinform -v 3 "${sha[@]}" -t 2 -r 2 "127.0.0.1:$port" '' 1.3.6.1.2.1.33.2.1 1.3.6.1.6.3.18.1.3.0 a 127.0.0.25 ||
    fail "snmpinform -v 3 got no answer"
expect_alerts 5 15
alerts="$(read_alerts)"
echo "$alerts"
for agent in 21 22 23 24 25; do
    expect_alert "$alerts" red "From: 127.0.0.$agent" "UPS on battery: the UPS is operating on battery power"
done
grep -q '127\.0\.0\.3[1-5]' <<<"$alerts" && fail "a refused SNMPv3 trap was shown"
expect_history "$alerts"
stop_dovrel 15

# A history folder that cannot be made (a file stands in its place) changes
# nothing else: batch 3's alert must still appear.
rm -rf "$hist"
echo x >"$hist"

echo "== batch 3: target 127.0.0.1 with mask 255.255.255.0 (agent address masked)"
set_key target 127.0.0.1
set_key prohibition 255.255.255.0
start_installed
[ "$(engine_value EngineID)" = "$engine_id" ] || fail "the engine ID changed from one start to the next"
[ $(($(engine_value EngineBoots))) = $((engine_boots + 1)) ] || fail "engine boots not counted up at the start"
trap_v1 vandor 1.3.6.1.4.1.8072.9 127.0.0.9 0 0 ''     # same /24: shown
trap_v1 vandor 1.3.6.1.4.1.8072.9 10.0.0.9 0 0 ''      # other network: dropped
expect_alerts 1 15
alerts="$(read_alerts)"
echo "$alerts"
expect_alert "$alerts" orange "From: 127.0.0.9" "Cold start: the sender's SNMP agent is reinitialising; its configuration may have changed"
grep -q '10.0.0.9' <<<"$alerts" && fail "a masked-out sender was shown"
stop_dovrel 15
rm -f "$hist"

echo "== batch 4: target 127.0.0.2, no mask (datagram source compared)"
set_key target 127.0.0.2
set_key prohibition none
start_installed
# From 127.0.0.1 with agent address 127.0.0.2: the source decides, dropped.
trap_v1 vandor 1.3.6.1.4.1.8072.9 127.0.0.2 0 0 ''
# From 127.0.0.2 (the datagram's source) with agent 127.0.0.12: shown as 127.0.0.12.
snmptrap --clientaddr=127.0.0.2 -v 1 -c vandor "127.0.0.1:$port" 1.3.6.1.4.1.8072.9 127.0.0.12 0 0 '' ||
    fail "snmptrap from 127.0.0.2"
expect_alerts 1 15
alerts="$(read_alerts)"
echo "$alerts"
expect_alert "$alerts" orange "From: 127.0.0.12" "Cold start: the sender's SNMP agent is reinitialising; its configuration may have changed"
stop_dovrel 15

echo "== batch 5: Kalbrit's Send test trap reaches the installed Dovrel"
set_key target alls
start_installed
form='Kalbrit - Dovrel *'  # English or Japanese title
wine_run "$dir_win\\Kalbrit.exe" &
kalbrit_pid=$!
probe wait-title "$form" 20 >/dev/null || fail "Kalbrit's form did not appear"
probe press "$form" 1015 >/dev/null || fail "no Send test trap button"  # IDC_SEND_TEST
expect_alerts 1 15
alerts="$(read_alerts)"
echo "$alerts"
expect_alert "$alerts" orange "From: 127.0.0.1" "Cold start: the sender's SNMP agent is reinitialising; its configuration may have changed"
probe press Kalbrit 1 >/dev/null || true  # the reply's OK
probe press "$form" 2 >/dev/null || true  # Close
wait_exit "$kalbrit_pid" 10 || kill "$kalbrit_pid" 2>/dev/null || true
stop_dovrel 15

# The repeat line ("1004=...") of the alert window from FROM, empty when it has none.
repeat_line() {
    probe list | grep -aF ' "TOLM" ' | grep -aF "\"1003=$1\"" | sed -nE 's/.*"1004=([^"]*)".*/\1/p' | head -1
}
repeat_line_is() { [ "$(repeat_line "$1")" = "$2" ]; }
# Sends the on-battery trap as agent AGENT COUNT times, SECONDS apart.
repeat_on_battery() {
    local agent="$1" count="$2" seconds="$3" i
    for ((i = 1; i <= count; i++)); do
        trap_v1 vandor "$ups" "$agent" 6 1 ''
        [ "$i" -lt "$count" ] && sleep "$seconds"
    done
    return 0
}
on_battery_text="UPS on battery: the UPS is operating on battery power"

echo "== batch 6: a UPS repeating its on-battery trap (mergeRepeats=1, as shipped)"
grep -aq $'^mergeRepeats=1\r$' "$ini" || fail "the installed Dovrel.ini does not set mergeRepeats=1"
rm -rf "$hist"
start_installed
repeat_on_battery 127.0.0.4 5 2
trap_v1 vandor "$ups" 127.0.0.8 6 1 ''                                              # another device
expect_alerts 2 20
# The latest arrival from 127.0.0.4, as the history has it (its sixth line).
latest="$(grep -a ',127\.0\.0\.4,' "$hist/history.csv" | tail -1 | sed -E 's/^([0-9]{4})-([0-9]{2})-([0-9]{2})T([0-9:]{8}).*/\1\/\2\/\3 \4/')"
wait_until 10 repeat_line_is "From: 127.0.0.4" "Received 5 times (last $latest)" ||
    fail "the window of 127.0.0.4 shows '$(repeat_line "From: 127.0.0.4")', not 5 times with the latest at $latest"
[ -z "$(repeat_line "From: 127.0.0.8")" ] || fail "the other device's single alert shows a repeat line"
alerts="$(read_alerts)"
echo "$alerts"
expect_alert "$alerts" red "From: 127.0.0.4" "$on_battery_text"
expect_alert "$alerts" red "From: 127.0.0.8" "$on_battery_text"
expect_history "$alerts"
[ "$(grep -ac . "$hist/history.csv")" = 7 ] || fail "history.csv: expected a header and 6 records, one per trap"
stop_dovrel 15

echo "== batch 7: the same with mergeRepeats=0, and without the key: a window per trap"
for setting in mergeRepeats=0 absent; do
    if [ "$setting" = absent ]; then
        LC_ALL=C sed -i '/^mergeRepeats=/d' "$ini"
    else
        set_key "${setting%%=*}" "${setting#*=}"
    fi
    start_installed
    repeat_on_battery 127.0.0.4 5 1
    expect_alerts 5 25
    probe list | grep -aF ' "TOLM" ' | grep -aqF '"1004=' && fail "$setting: a window shows a repeat line"
    alerts="$(read_alerts)"
    [ "$(grep -c "^red|.*|From: 127.0.0.4|$on_battery_text\$" <<<"$alerts")" = 5 ] ||
        fail "$setting: expected five on-battery windows, got: $alerts"
    stop_dovrel 15
done

[ "$failures" = 0 ] || die "$failures check(s) failed"
echo "PASS"
