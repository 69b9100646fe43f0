# Sourced by every script that runs Wine. Debian's `wine` command runs its
# 32-bit loader whenever wine32 is installed, 64-bit programs included. On a
# machine that cannot execute 32-bit Linux programs (a kernel without IA32
# emulation, a gVisor sandbox) that loader fails with "Exec format error":
# there the 64-bit loader is put first on PATH as `wine` (and `wine-stable`,
# which wineboot and the other tools call), and DOVREL_WINE32=0 tells the
# scripts that 32-bit Windows programs cannot run here. Elsewhere
# DOVREL_WINE32=1 and nothing changes.
if [ -z "${DOVREL_WINE32:-}" ]; then
    if /usr/lib/wine/wine --version >/dev/null 2>&1 || [ ! -x /usr/lib/wine/wine64 ]; then
        export DOVREL_WINE32=1
    else
        export DOVREL_WINE32=0
        _shim="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build/wine64-only"
        mkdir -p "$_shim"
        for _name in wine wine-stable; do
            printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' > "$_shim/$_name"
            chmod +x "$_shim/$_name"
        done
        export PATH="$_shim:$PATH" WINELOADER=/usr/lib/wine/wine64
        unset _shim _name
    fi
fi
