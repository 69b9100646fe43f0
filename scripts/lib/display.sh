# shellcheck shell=bash
# A virtual X display with a window manager (sourced).
source "$(dirname "${BASH_SOURCE[0]}")/layout.sh"

# on_display COMMAND...: runs COMMAND on a new Xvfb display (screen
# DOVREL_SCREEN, default 1280x1024x24) with openbox (with-wm.sh).
on_display() {
    xvfb-run -a -s "-screen 0 ${DOVREL_SCREEN:-1280x1024x24}" bash "$DOVREL_ROOT/scripts/with-wm.sh" "$@"
}

# need_display ARGS...: when DISPLAY is unset, runs the calling script again
# with ARGS on a virtual display and exits with its status. Call it before
# setting any EXIT trap.
need_display() {
    [ -n "${DISPLAY:-}" ] && return 0
    on_display bash "$0" "$@"
    exit
}
