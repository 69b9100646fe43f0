#!/usr/bin/env bash
# Configures and builds one preset: native, native-asan, fuzz or windows.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
preset="${1:-windows}"
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j"$(nproc)"
