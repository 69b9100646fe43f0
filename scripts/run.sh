#!/usr/bin/env bash
# The run command: installs what is missing, builds the Windows build,
# installs Dovrel with DovrelSetup.exe into the project's Wine prefix
# (build/wineprefix, never ~/.wine), sets a high trap port (port 162 needs
# root on Linux and may be taken) and starts Dovrel under Wine on your
# display, or on a virtual one (Xvfb) with screenshots when DISPLAY is unset.
#
# Environment: DOVREL_PORT (default 16200), DOVREL_LANG (English or Japanese;
# default English; Japanese runs Wine with the Japanese code page 932),
# DOVREL_ARCH (x64, the default: a 64-bit Windows prefix; x86: a 32-bit
# one, build/wineprefix-win32, where the installer puts the 32-bit programs).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib/wine.sh"
source "$DOVREL_ROOT/scripts/lib/display.sh"
source "$DOVREL_ROOT/scripts/lib/ini.sh"
cd "$DOVREL_ROOT"
root="$DOVREL_ROOT"
port="${DOVREL_PORT:-16200}"
lang="${DOVREL_LANG:-English}"

# DOVREL_BUILD_DIR / DOVREL_WINEPREFIX / DOVREL_SKIP_BUILD=1 let a developer
# try this command against another build tree and prefix.
build="${DOVREL_BUILD_DIR:-$(build_dir windows)}"
if [ "${DOVREL_SKIP_BUILD:-0}" != 1 ]; then
    bash scripts/install-deps.sh
    bash scripts/build.sh windows
fi

if [ "${DOVREL_ARCH:-x64}" = x86 ]; then
    export WINEARCH=win32
    export WINEPREFIX="${DOVREL_WINEPREFIX:-$(wine_prefix win32)}"
else
    export WINEPREFIX="${DOVREL_WINEPREFIX:-$(wine_prefix windows)}"
fi
export WINEDEBUG=-all
setup="$build/DovrelSetup.exe"
if [ "$DOVREL_WINE32" = 0 ]; then
    [ "${DOVREL_ARCH:-x64}" = x86 ] && { echo "This machine cannot run 32-bit programs: DOVREL_ARCH=x86 is not possible here." >&2; exit 1; }
    # The 32-bit installer cannot run here; the same script as a 64-bit program can.
    setup="$build/DovrelSetup-x64.exe"
fi
use_wine_prefix
if [ "$lang" = Japanese ]; then export LC_ALL=ja_JP.UTF-8; fi

install_win='C:\Dovrel'
install_dir="$WINEPREFIX/drive_c/Dovrel"
winprobe="$build/tests/win/tools/winprobe.exe"

start_and_show() {
    # Ends a Dovrel left running by an earlier run, then installs afresh.
    if [ -f "$install_dir/Finwin.dll" ] && [ -f "$winprobe" ]; then
        wine "$winprobe" post-destroy Dovrel.exe >/dev/null 2>&1 || true
        sleep 2
    fi
    if [ -f "$setup" ]; then
        echo "Installing with $setup into $install_win"
        # Not started by the installer: it would listen on port 162 first.
        wine "$setup" /S /NOAUTOSTART /NOSTART "/LANG=$lang" "/D=$install_win"
    else
        echo "No installer (makensis missing): copying the files and setting InstallPath"
        mkdir -p "$install_dir"
        cp "$build/app/Dovrel.exe" "$build/finwin/Finwin.dll" "$build/kalbrit/Kalbrit.exe" "$install_dir/"
        [ -f "$install_dir/Dovrel.ini" ] || cp installer/Dovrel.ini "$install_dir/"
        wine reg add 'HKLM\Software\Orvanta\Quillmont\CurrentVersion' /v InstallPath /t REG_SZ /d "$install_win" /f /reg:64 >/dev/null
    fi
    # The trap port and the catalogue language, in the installed Dovrel.ini.
    set_trap_keys "$install_dir/Dovrel.ini" "port=$port" "Lang=$lang"
    echo "Dovrel.ini: port=$port (not 162: that needs root on Linux), Lang=$lang"

    wine "$install_win\\Dovrel.exe" &
    dovrel=$!
    sleep 5
    echo
    echo "Dovrel is running (tray icon; right-click it for Setting and QUIT). Send a trap with:"
    echo "  snmptrap -v 1 -c vandor 127.0.0.1:$port 1.3.6.1.2.1.33.2 127.0.0.1 6 1 ''"
    echo "An alert window appears at the top left within about 10 seconds."
}

if [ -z "${DISPLAY:-}" ]; then
    echo "DISPLAY is not set: running on a virtual display and taking screenshots."
    DOVREL_SCREEN=1024x768x24 DOVREL_SCREENSHOTS=1 DOVREL_SKIP_BUILD=1 on_display bash "$root/scripts/run.sh"
    exit
fi

start_and_show
if [ "${DOVREL_SCREENSHOTS:-0}" = 1 ]; then
    shots="$root/build/screenshots"
    mkdir -p "$shots"
    # Wine's own tray window (there is no desktop panel): right-click the icon.
    tray="$(xdotool search --name "Wine System Tray" 2>/dev/null | head -1 || true)"
    # Coordinates inside the window: under a window manager the position
    # that getwindowgeometry reports counts the frame twice.
    if [ -n "$tray" ]; then
        xdotool mousemove --window "$tray" 8 8 click 3
        sleep 2
    fi
    import -window root "$shots/tray.png"
    echo "Screenshot of the tray icon with its menu: $shots/tray.png"
    xdotool key Escape 2>/dev/null || true
    snmptrap -v 1 -c vandor "127.0.0.1:$port" 1.3.6.1.2.1.33.2 127.0.0.1 6 1 ''
    sleep 12
    import -window root "$shots/alert.png"
    echo "Screenshot of the alert for that trap: $shots/alert.png"
    wine "$winprobe" post-destroy Dovrel.exe >/dev/null 2>&1 || true
    wait "$dovrel" || true
else
    echo "Close Dovrel with QUIT in its tray menu (or Ctrl-C here)."
    wait "$dovrel"
fi
