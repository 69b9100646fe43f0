# shellcheck shell=bash
# Build folders and Wine prefixes, named here once for every shell script
# (sourced). CMake knows the same folders from CMakePresets.json (binaryDir)
# and tests/CMakeLists.txt (DOVREL_WIN32_PREFIX): change them together.
DOVREL_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"

# build_dir PRESET: the build folder of a CMake preset, or of a benchmark
# tree (bench-native, bench-win, bench-win-x86: configured from the presets
# native, windows and windows-x86, see bench/lib.sh).
build_dir() {
    case "$1" in
    native | native-asan | fuzz | windows | windows-x86 | bench-native | bench-win | bench-win-x86)
        echo "$DOVREL_ROOT/build/$1" ;;
    *) echo "build_dir: no preset '$1'" >&2; return 1 ;;
    esac
}

# wine_prefix PRESET: the Wine prefix a build's programs run in. Both
# Windows builds share the 64-bit one (the 32-bit programs under WOW64);
# "win32" is the WINEARCH=win32 prefix that stands in for 32-bit Windows.
wine_prefix() {
    case "$1" in
    windows | windows-x86) echo "$DOVREL_ROOT/build/wineprefix" ;;
    win32) echo "$DOVREL_ROOT/build/wineprefix-win32" ;;
    bench-win | bench-win-x86) echo "$DOVREL_ROOT/build/bench-wineprefix" ;;
    *) echo "wine_prefix: no prefix for '$1'" >&2; return 1 ;;
    esac
}
