#!/usr/bin/env bash
# Installs what is missing, builds every build and runs every test:
# the portable core natively (plain and with ASan/UBSan), a short fuzzing
# run, then the Windows builds (32-bit and 64-bit) with their tests under
# Wine on a virtual display.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root="$(pwd)"

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
fi

echo "== Windows builds: 32-bit, then 64-bit (whose installer holds both)"
bash scripts/build.sh windows
export WINEPREFIX="$root/build/wineprefix"
for preset in windows-x86 windows; do
  echo "== $preset: tests under Wine"
  xvfb-run -a -s "-screen 0 1280x1024x24" bash scripts/with-wm.sh bash scripts/wine-tests.sh "$preset"
done
