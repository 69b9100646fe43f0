#!/usr/bin/env bash
# With the trap port already bound by another program, start-up shows the
# "start failed" warning, in Japanese under code page 932 and in English
# under any other, and Dovrel.exe ends with exit code 0 after OK.
# Usage: port_taken.sh DOVREL WINPROBE   (port 22202)
DOVREL="$1" WINPROBE="$2"
source "$(dirname "$0")/lib.sh"
PORT=22202
WARNING="Warning(Tesvane)"

write_ini "$WORK/install" "$PORT"
set_install_path "$WORK/install"

hold_port "$PORT"
check "port holder binds the port" wait_port_bound "$PORT" 10

start_dovrel
check "start-up failure shows the warning" probe wait-title "$WARNING" 20
text_hex="$(probe dialog-text "$WARNING" 1000 | xxd -p | tr -d '\n')"
# Japanese under code page 932 (the default), English under any other
# (DOVREL_TEST_LC_ALL=en_US.UTF-8 gives 1252).
acp="$(probe acp | tr -d '\r\n')"
case "$WINE_LC" in
ja_*)
    check "programs run under code page 932 (got $acp)" test "$acp" = 932
    check "warning text is the Shift-JIS 'start failed' text" \
        test "$text_hex" = "$(sjis_hex '起動に失敗しました。終了します')" ;;
*)
    check "programs run under a code page other than 932 (got $acp)" test "$acp" != 932
    check "warning text is the English 'start failed' text" \
        test "$text_hex" = "$(printf 'Start-up failed. The program will now end.' | xxd -p | tr -d '\n')" ;;
esac
probe press "$WARNING" 1
wait_exit "$DOVREL_PID" 10
check "Dovrel.exe ends with exit code 0 (got $EXIT_CODE)" test "$EXIT_CODE" -eq 0
kill "$HOLDER_PID" 2>/dev/null
finish
