#!/usr/bin/env bash
# Screenshots of the start-up warning for docs/: docs/warning-en.png under a
# Western ANSI code page (1252) and docs/warning-ja.png under the Japanese
# one (932). The trap port is held by another program so that start-up
# fails. Needs the windows build and a display with a window manager:
#   xvfb-run -a -s "-screen 0 1280x1024x24" bash scripts/with-wm.sh bash scripts/warning-screenshots.sh
# Port 22250 unless DOVREL_PORT says otherwise.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root="$(pwd)"
export WINEPREFIX="${WINEPREFIX:-$root/build/wineprefix}" WINEDEBUG=-all
dovrel="$root/build/windows/app/Dovrel.exe"
winprobe="$root/build/windows/tests/win/tools/winprobe.exe"
port="${DOVREL_PORT:-22250}"
key='HKLM\Software\Orvanta\Quillmont\CurrentVersion'
title='Warning(Tesvane)'
work="$(mktemp -d)"
holder=""
cleanup() {
    [ -n "$holder" ] && kill "$holder" 2>/dev/null
    bash scripts/wine-run.sh reg delete "$key" /v InstallPath /f >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT

printf '[usKarn_trap]\r\nport=%s\r\n' "$port" >"$work/Dovrel.ini"
bash scripts/wine-run.sh reg add "$key" /v InstallPath /t REG_SZ /d "$(winepath -w "$work")" /f >/dev/null 2>&1
python3 -c "
import socket, time
s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
s.bind(('0.0.0.0', $port))
time.sleep(300)" &
holder=$!
sleep 1

# shoot LC_ALL FILE: starts Dovrel under that locale, photographs its
# warning with the window manager's frame, then presses OK.
shoot() {
    local lc="$1" file="$2"
    LC_ALL="$lc" bash scripts/wine-run.sh "$dovrel" >/dev/null 2>&1 &
    local pid=$!
    LC_ALL="$lc" bash scripts/wine-run.sh "$winprobe" wait-title "$title" 30 >/dev/null
    sleep 1  # until the window manager has drawn the frame
    local l t r b
    read -r l t r b < <(LC_ALL="$lc" bash scripts/wine-run.sh "$winprobe" rect "$title")
    import -window root "$work/screen.png"
    # The window manager's frame lies outside the window's own rectangle:
    # crop with room for it, then trim the black desktop around it.
    convert "$work/screen.png" -crop "$((r - l + 80))x$((b - t + 80))+$((l - 40))+$((t - 40))" +repage \
        -bordercolor black -border 1 -trim +repage "$file"
    LC_ALL="$lc" bash scripts/wine-run.sh "$winprobe" press "$title" 1 >/dev/null
    wait "$pid" || true
    echo "$file"
}
shoot en_US.UTF-8 "$root/docs/warning-en.png"
shoot ja_JP.UTF-8 "$root/docs/warning-ja.png"
