#!/usr/bin/env bash
# Runs a command on a new virtual display (Xvfb) with the window manager, as
# the Wine tests and screenshots need:
#   bash scripts/on-display.sh bash scripts/wine-tests.sh windows -R app_
# DOVREL_SCREEN sets the screen (default 1280x1024x24).
source "$(dirname "${BASH_SOURCE[0]}")/lib/display.sh"
on_display "$@"
