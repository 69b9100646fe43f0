#!/usr/bin/env bash
# Runs a command on the current X display (DISPLAY, usually a new Xvfb)
# with openbox as its window manager, as every user's desktop has one:
# without it Wine waits for an answer on every window it hides, and draws
# no caption or frame. openbox ends with the command.
# Usage: with-wm.sh COMMAND [ARGS...]
set -uo pipefail
openbox --sm-disable >/dev/null 2>&1 </dev/null &
wm=$!
trap 'kill "$wm" 2>/dev/null; wait "$wm" 2>/dev/null' EXIT
# Until the window manager has announced itself on the root window.
for _ in $(seq 1 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
done
"$@"
