#!/usr/bin/env bash
# Configures and builds one preset: native, native-asan, fuzz, windows-x86
# or windows. The 64-bit "windows" build makes the installer, which also
# holds the 32-bit programs, so it builds windows-x86 first.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
preset="${1:-windows}"
build() {
  cmake --preset "$1" >/dev/null
  cmake --build --preset "$1" -j"$(nproc)"
}
[ "$preset" = windows ] && build windows-x86
build "$preset"
