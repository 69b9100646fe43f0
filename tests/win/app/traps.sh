#!/usr/bin/env bash
# SNMPv1 traps sent with snmptrap reach the screen as alert windows with the
# catalogue's text and colour, and the date in Japan time when TZ is unset
# (UTC with TZ=UTC0); a wrong community and an SNMPv2c trap show nothing.
# Usage: traps.sh DOVREL WINPROBE   (ports 22211, 22212)
DOVREL="$1" WINPROBE="$2"
source "$(dirname "$0")/lib.sh"
ALERT=TOLM

# Key 3's text is Shift-JIS, as the shipped Japanese catalogue is.
catalogue=('[usKarn_msgJp]' '2=red,Cold start seen' "3=green,On battery, $(printf '試験' | iconv -t SHIFT_JIS)")

# alert_colour: the colour inside the (single) alert window, near its bottom
# right corner where no text is drawn.
alert_colour() {
    local l t r b
    read -r l t r b < <(probe rect "$ALERT")
    pixel_at $((r - 6)) $((b - 6))
}

# within SECONDS DATE_TEXT ZONE: DATE_TEXT is "now" in ZONE give or take SECONDS.
within() {
    local shown now
    shown="$(TZ="$3" date -d "${2//\//-}" +%s 2>/dev/null)" || return 1
    now="$(date +%s)"
    [ $((now - shown)) -le "$1" ] && [ $((shown - now)) -le 2 ]
}

# history_has DATE_TEXT REST: the last record of the alert history is the
# window's date with its offset, then REST (sender,number,code,colour,text).
HISTORY_DIR="$(ls -d "$WINEPREFIX"/drive_c/users/*/AppData/Local | grep -v /Public/ | head -1)/Dovrel"
rm -rf "$HISTORY_DIR"
history_has() {
    local d="$1" last
    last="$(tail -n 1 "$HISTORY_DIR/history.csv")"
    test "$last" = "${d:0:4}-${d:5:2}-${d:8:2}T${d:11:8}$2"$'\r'
}

# ---- Run 1: TZ unset, red coldStart; bad traps alongside show nothing.
PORT=22211
write_ini "$WORK/install" "$PORT" "${catalogue[@]}"
set_install_path "$WORK/install"
start_dovrel -u TZ
check "Dovrel binds port $PORT" wait_port_bound "$PORT" 20

snmptrap -v 1 -c wrongcomm "127.0.0.1:$PORT" 1.3.6.1.4.1.8072.3.2.10 127.0.0.1 0 0 ''
snmptrap -v 2c -c vandor "127.0.0.1:$PORT" '' 1.3.6.1.6.3.1.1.5.1
cold_start_trap "$PORT"
check "coldStart trap shows an alert window within 12 s" probe wait-title "$ALERT" 12
sleep 11  # two more intake and alert passes: anything else would show by now
check "only one alert window (wrong community and v2c dropped)" \
    test "$(probe count-title "$ALERT")" = 1
check "message text from the catalogue" test "$(probe dialog-text "$ALERT" 1001)" = "Cold start seen"
check "sender line" test "$(probe dialog-text "$ALERT" 1003)" = "From: 127.0.0.1"
date1="$(probe dialog-text "$ALERT" 1002)"
check "date '$date1' is Japan time with TZ unset" within 30 "$date1" Asia/Tokyo
check "history record with the window's time, +09:00" history_has "$date1" "+09:00,127.0.0.1,2,0,red,Cold start seen,"
colour="$(alert_colour)"
check "red alert window (pixel $colour)" test "$colour" = "255,50,50"

quit_dovrel 10
check "run 1 quits with exit code 0 (got $EXIT_CODE)" test "$EXIT_CODE" -eq 0

# ---- Run 2: TZ=UTC0, green upsTrapOnBattery with a comma in its text.
PORT=22212
write_ini "$WORK/install" "$PORT" "${catalogue[@]}"
start_dovrel TZ=UTC0
check "Dovrel binds port $PORT" wait_port_bound "$PORT" 20
on_battery_trap "$PORT"
check "upsTrapOnBattery shows an alert window within 12 s" probe wait-title "$ALERT" 12
sleep 0.5
check "message text keeps its comma" test "$(probe dialog-text "$ALERT" 1001 | xxd -p | tr -d '\n')" = \
    "$(sjis_hex 'On battery, 試験')"
date2="$(probe dialog-text "$ALERT" 1002)"
check "date '$date2' is UTC with TZ=UTC0" within 30 "$date2" UTC
check "history record at +00:00, text quoted and in UTF-8" \
    history_has "$date2" '+00:00,127.0.0.1,3,1,green,"On battery, 試験",'
colour="$(alert_colour)"
check "green alert window (pixel $colour)" test "$colour" = "50,200,50"

quit_dovrel 10
check "run 2 quits with exit code 0 while its alert window is open (got $EXIT_CODE)" test "$EXIT_CODE" -eq 0
finish
