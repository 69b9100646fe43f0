#!/usr/bin/env bash
# A second Dovrel.exe shows the "already running" warning centred and
# topmost with the Japanese text (Shift-JIS under a Japanese code page),
# ignores Escape, ends with exit code 0 after OK, and leaves the first alone.
# Usage: second_instance.sh DOVREL WINPROBE   (port 22201)
DOVREL="$1" WINPROBE="$2"
source "$(dirname "$0")/lib.sh"
PORT=22201
WARNING="Warning(Tesvane)"

write_ini "$WORK/install" "$PORT"
set_install_path "$WORK/install"

start_dovrel
FIRST=$DOVREL_PID
check "first instance binds its port" wait_port_bound "$PORT" 20

start_dovrel
SECOND=$DOVREL_PID
check "second instance shows the warning" probe wait-title "$WARNING" 20

text_hex="$(probe dialog-text "$WARNING" 1000 | xxd -p | tr -d '\n')"
check "warning text is the Shift-JIS 'already running' text" \
    test "$text_hex" = "$(sjis_hex '既に本アプリケーションは起動しています')"

read -r sw sh < <(probe screen)
read -r l t r b < <(probe rect "$WARNING")
check "warning is centred horizontally ($l..$r in $sw)" test "$l" -eq $(((sw + l - r) / 2))
check "warning is centred vertically ($t..$b in $sh)" test "$t" -eq $(((sh + t - b) / 2))
check "warning is topmost" is_topmost "$WARNING"
check "warning is visible" probe is-visible "$WARNING"

probe press "$WARNING" 2   # Escape's id
sleep 1
check "Escape leaves the warning open" probe is-visible "$WARNING"
check "second instance still waits" kill -0 "$SECOND"

probe press "$WARNING" 1
wait_exit "$SECOND" 10
check "second instance ends with exit code 0 after OK (got $EXIT_CODE)" test "$EXIT_CODE" -eq 0

check "first instance still runs" kill -0 "$FIRST"
check "one main window is left" test "$(probe count-title Dovrel.exe | tr -d '\r')" = 1
check "first instance still holds its port" wait_port_bound "$PORT" 1

probe post-command Dovrel.exe 40002
wait_exit "$FIRST" 10
check "first instance quits with exit code 0 (got $EXIT_CODE)" test "$EXIT_CODE" -eq 0
finish
