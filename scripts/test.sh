#!/usr/bin/env bash
# Installs what is missing, builds every build and runs every test:
# the portable core natively (plain and with ASan/UBSan), short fuzzing
# runs (decoder, SNMPv3 receiver), then the Windows builds (32-bit and
# 64-bit) with their tests under Wine on a virtual display.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib/display.sh"
cd "$DOVREL_ROOT"

bash scripts/install-deps.sh

jobs="$(nproc)"

echo "== native build and tests"
bash scripts/build.sh native
ctest --preset native -j"$jobs"

echo "== native build with AddressSanitizer and UndefinedBehaviorSanitizer"
bash scripts/build.sh native-asan
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --preset native-asan -j"$jobs"

if [ -f tests/fuzz/CMakeLists.txt ] && [ -x scripts/fuzz.sh ]; then
  echo "== fuzzing smoke run"
  bash scripts/fuzz.sh 30
  bash scripts/fuzz.sh 30 usm_receive
fi

echo "== Windows builds: 32-bit, then 64-bit (whose installer holds both)"
bash scripts/build.sh windows
WINEPREFIX="$(wine_prefix windows)"
export WINEPREFIX
for preset in windows-x86 windows; do
  echo "== $preset: tests under Wine"
  on_display bash scripts/wine-tests.sh "$preset"
done
