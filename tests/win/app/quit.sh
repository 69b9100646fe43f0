#!/usr/bin/env bash
# The main window stays hidden; the tray icon comes and goes; QUIT and a
# WM_DESTROY posted from another process end Dovrel with exit code 0; two
# WM_DESTROY back to back release everything once (no crash, exit code 0);
# tray and menu messages right after the close request are harmless.
# Usage: quit.sh DOVREL WINPROBE   (port 22231)
DOVREL="$1" WINPROBE="$2"
source "$(dirname "$0")/lib.sh"
PORT=22231
write_ini "$WORK/install" "$PORT"
set_install_path "$WORK/install"

menu_visible() { probe list | grep -q '#32768 .*visible=1'; }
tray_visible() { probe list | grep -F '"Wine System Tray"' | grep -q 'visible=1'; }

start_and_wait() {
    start_dovrel
    check "$1: Dovrel binds its port" wait_port_bound "$PORT" 20
}

# ---- QUIT
start_and_wait "QUIT"
check "main window exists" probe wait-title Dovrel.exe 5
probe is-visible Dovrel.exe; rc=$?
check "main window is hidden (is-visible exit $rc)" test "$rc" -eq 1
check "tray icon is shown" tray_visible
quit_dovrel 3
check "QUIT ends Dovrel within 3 s with exit code 0 (got $EXIT_CODE)" test "$EXIT_CODE" -eq 0
sleep 0.5
check_not "tray icon is gone" tray_visible

# ---- Two WM_DESTROY back to back, then late tray and menu messages.
start_and_wait "double destroy"
probe post-destroy Dovrel.exe 2
probe tray-click >/dev/null 2>&1
probe post-command Dovrel.exe 40003 >/dev/null 2>&1
wait_exit "$DOVREL_PID" 3
check "two WM_DESTROY end Dovrel within 3 s with exit code 0 (got $EXIT_CODE)" test "$EXIT_CODE" -eq 0

# ---- The tray menu is open when the close request comes.
start_and_wait "menu open"
probe tray-click
sleep 1
check "right button opens the tray menu" menu_visible
probe post-destroy Dovrel.exe
wait_exit "$DOVREL_PID" 3
check "WM_DESTROY during the menu ends Dovrel with exit code 0 (got $EXIT_CODE)" test "$EXIT_CODE" -eq 0
finish
