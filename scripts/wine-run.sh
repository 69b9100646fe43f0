#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's own prefix (never ~/.wine);
# the Windows builds' tests run through it (CMAKE_CROSSCOMPILING_EMULATOR).
# WINEPREFIX may be set by the caller; otherwise the prefix lives under build/.
set -e
source "$(dirname "${BASH_SOURCE[0]}")/lib/wine.sh"
use_wine_prefix
exec wine "$@"
