#!/usr/bin/env bash
# Devices by name: a trap sent with snmptrap from a device named in
# [usKarn_names] shows "From: <name> (<address>)" and its history record
# ends with the name; a name too long for the line is cut with an ellipsis
# between two Shift-JIS characters, the address kept; a sender without a name
# shows and records as before.
# Usage: names.sh DOVREL WINPROBE   (port 22213)
DOVREL="$1" WINPROBE="$2"
source "$(dirname "$0")/lib.sh"
ALERT=TOLM
PORT=22213

long_utf8='サーバー室北側ラック四番の無停電電源装置'
long="$(printf '%s' "$long_utf8" | iconv -f UTF-8 -t SHIFT_JIS)"
write_ini "$WORK/install" "$PORT" '[usKarn_msgJp]' '3=red,On battery' \
    '[usKarn_names]' '192.0.2.10=Server room UPS' "192.0.2.11=$long" '; 192.0.2.12=a comment names nobody'
set_install_path "$WORK/install"
HISTORY_DIR="$(ls -d "$WINEPREFIX"/drive_c/users/*/AppData/Local | grep -v /Public/ | head -1)/Dovrel"
rm -rf "$HISTORY_DIR"

# sender_line AGENT: an on-battery trap with agent address AGENT; prints the
# alert window's sender line (ANSI bytes) and closes the window.
sender_line() {
    send_trap "$PORT" 1.3.6.1.2.1.33.2 "$1" 6 1 '' >/dev/null
    probe wait-title "$ALERT" 12 >/dev/null || return 1
    sleep 0.5
    probe dialog-text "$ALERT" 1003
    probe post-command "$ALERT" 2 >/dev/null
    probe wait-gone "$ALERT" 5 >/dev/null
}
# record_ends TEXT: the last history record ends with TEXT and its CR.
record_ends() {
    local last
    last="$(tail -n 1 "$HISTORY_DIR/history.csv")"
    [ "${last%"$1"$'\r'}" != "$last" ]
}
# cut_cleanly LINE: "From: " and the beginning of the long name, then "… (192.0.2.11)".
cut_cleanly() {
    local kept="${1#From: }"
    kept="${kept%… (192.0.2.11)}"
    [ "$kept" != "${1#From: }" ] && [ -n "$kept" ] && [ "${long_utf8#"$kept"}" != "$long_utf8" ]
}

start_dovrel
check "Dovrel binds port $PORT" wait_port_bound "$PORT" 20

line="$(sender_line 192.0.2.10)"
check "named sender line ('$line')" test "$line" = "From: Server room UPS (192.0.2.10)"
check "history record ends with the name" record_ends ",192.0.2.10,3,1,red,On battery,Server room UPS"

sender_line 192.0.2.11 >"$WORK/long.txt"
check "long name: the line is whole Shift-JIS characters" iconv -f SHIFT_JIS -t UTF-8 -o "$WORK/long.utf8" "$WORK/long.txt"
utf8="$(cat "$WORK/long.utf8")"
check "long name cut with an ellipsis, the address kept ('$utf8')" cut_cleanly "$utf8"
check "history keeps the whole long name, in UTF-8" record_ends ",192.0.2.11,3,1,red,On battery,$long_utf8"

line="$(sender_line 192.0.2.12)"
check "a sender without a name as before ('$line')" test "$line" = "From: 192.0.2.12"
check "its record ends with an empty name" record_ends ",192.0.2.12,3,1,red,On battery,"

quit_dovrel 10
check "quits with exit code 0 (got $EXIT_CODE)" test "$EXIT_CODE" -eq 0
finish
