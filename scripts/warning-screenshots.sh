#!/usr/bin/env bash
# Screenshots of the start-up warning for docs/: docs/warning-en.png under a
# Western ANSI code page (1252) and docs/warning-ja.png under the Japanese
# one (932). The trap port is held by another program so that start-up
# fails. Needs the windows build; runs on a virtual display with the window
# manager when DISPLAY is unset (on yours, it wants a window manager).
# Port 22250 unless DOVREL_PORT says otherwise.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib/display.sh"
need_display "$@"
DOVREL="$(build_dir windows)/app/Dovrel.exe"
WINPROBE="$(build_dir windows)/tests/win/tools/winprobe.exe"
source "$DOVREL_ROOT/scripts/lib/dovrel.sh"
port="${DOVREL_PORT:-22250}"
title='Warning(Tesvane)'

write_ini "$WORK" "$port"
set_install_path "$WORK"
hold_port "$port"
sleep 1

# shoot LC_ALL FILE: starts Dovrel under that locale, photographs its
# warning with the window manager's frame, then presses OK.
shoot() {
    local l t r b
    WINE_LC="$1"
    start_dovrel
    probe wait-title "$title" 30 >/dev/null
    sleep 1  # until the window manager has drawn the frame
    read -r l t r b < <(probe rect "$title")
    import -window root "$WORK/screen.png"
    # The window manager's frame lies outside the window's own rectangle:
    # crop with room for it, then trim the black desktop around it.
    convert "$WORK/screen.png" -crop "$((r - l + 80))x$((b - t + 80))+$((l - 40))+$((t - 40))" +repage \
        -bordercolor black -border 1 -trim +repage "$2"
    probe press "$title" 1 >/dev/null
    wait "$DOVREL_PID" || true
    echo "$2"
}
shoot en_US.UTF-8 "$DOVREL_ROOT/docs/warning-en.png"
shoot ja_JP.UTF-8 "$DOVREL_ROOT/docs/warning-ja.png"
