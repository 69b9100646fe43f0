#!/usr/bin/env bash
# The Setting command (40003) starts Kalbrit.exe: the install path's copy,
# from a folder with a space, quoted, hidden, with start feedback; the bare name (found beside
# Dovrel.exe) without an install path; and when there is none at all
# nothing happens and Dovrel runs on.
# Usage: settings_program.sh DOVREL WINPROBE KALBRIT   (port 22221)
DOVREL_BUILT="$1" WINPROBE="$2" KALBRIT="$3"
source "$(dirname "$0")/lib.sh"
PORT=22221

# wait_file PATH SECONDS
wait_file() {
    local i=0
    until [ -s "$1" ]; do [ "$i" -ge $(($2 * 10)) ] && return 1; sleep 0.1; i=$((i + 1)); done
}
field() { sed -n "s/^$2=//p" "$1" | tr -d '\r'; }

check_quit() {
    quit_dovrel 10
    check "$1: QUIT ends Dovrel with exit code 0 (got $EXIT_CODE)" test "$EXIT_CODE" -eq 0
}

# ---- With the install path C:\...\Program Files\Dovrel holding Kalbrit.exe.
# Unquoted, Windows would try ...\Program.exe first and split the line.
DOVREL="$DOVREL_BUILT"
install="$WORK/Program Files/Dovrel"
write_ini "$install" "$PORT"
cp "$KALBRIT" "$install/Kalbrit.exe"
set_install_path "$install"
start_dovrel
check "Dovrel binds its port" wait_port_bound "$PORT" 20
probe post-command Dovrel.exe 40003
marker="$install/Kalbrit.ran"
check "Setting starts the install path's Kalbrit.exe" wait_file "$marker" 30
expected="\"$(WINEDEBUG=-all winepath -w "$install")\\Kalbrit.exe\""
check "command line is the quoted full path (got $(field "$marker" cmdline))" test "$(field "$marker" cmdline)" = "$expected"
check "started hidden (SW_HIDE)" test "$(field "$marker" show)" = 0
check "flags are STARTF_USESHOWWINDOW | STARTF_FORCEONFEEDBACK" test "$(field "$marker" flags)" = 65
check_quit "install path"

# ---- No install path: the bare name, found beside Dovrel.exe. The
# settings file is then the bare Dovrel.ini of the Windows folder.
clear_install_path
write_ini "$WINEPREFIX/drive_c/windows" "$PORT"
mkdir -p "$WORK/prog"
cp "$DOVREL_BUILT" "$WORK/prog/Dovrel.exe"
cp "$KALBRIT" "$WORK/prog/Kalbrit.exe"
DOVREL="$WORK/prog/Dovrel.exe"
start_dovrel
check "Dovrel binds the port of the Windows folder's Dovrel.ini" wait_port_bound "$PORT" 20
probe post-command Dovrel.exe 40003
marker="$WORK/prog/Kalbrit.ran"
check "Setting starts Kalbrit.exe beside Dovrel.exe" wait_file "$marker" 30
check "command line is the bare name" test "$(field "$marker" cmdline)" = "Kalbrit.exe"
check_quit "bare name"

# ---- No Kalbrit.exe anywhere: nothing happens, Dovrel runs on.
mkdir -p "$WORK/alone"
cp "$DOVREL_BUILT" "$WORK/alone/Dovrel.exe"
DOVREL="$WORK/alone/Dovrel.exe"
start_dovrel
check "Dovrel binds its port" wait_port_bound "$PORT" 20
probe post-command Dovrel.exe 40003
sleep 2
check "Dovrel runs on when Kalbrit.exe cannot be found" kill -0 "$DOVREL_PID"
check "its main window is still there" test "$(probe count-title Dovrel.exe)" = 1
check_quit "no Kalbrit"
finish
