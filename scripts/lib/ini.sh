# shellcheck shell=bash
# Dovrel.ini files for tests and scripts (sourced; no Wine needed).
source "$(dirname "${BASH_SOURCE[0]}")/layout.sh"

# write_ini DIR PORT [EXTRA LINES...]: a settings file with a trap section.
write_ini() {
    local dir="$1" port="$2" line; shift 2
    mkdir -p "$dir"
    {
        printf '[usKarn_trap]\r\nport=%s\r\nrecTimeout=1\r\n' "$port"
        for line in "$@"; do printf '%s\r\n' "$line"; done
    } >"$dir/Dovrel.ini"
}

# set_trap_keys FILE KEY=VALUE...: the keys' values in the file's trap
# section, line ends kept; false when a key is not there.
set_trap_keys() {
    local file="$1" kv sed_args=(); shift
    for kv in "$@"; do sed_args+=(-e "/^\[usKarn_trap\]/,/^\[/ s|^${kv%%=*}=[^\r]*|$kv|"); done
    LC_ALL=C sed -i "${sed_args[@]}" "$file"
    for kv in "$@"; do LC_ALL=C grep -q "^$kv"$'\r'"\?\$" "$file" || return 1; done
}

# shipped_ini DIR KEY=VALUE...: DIR/Dovrel.ini, the shipped file (both
# catalogues) with those values in its trap section.
shipped_ini() {
    local dir="$1"; shift
    mkdir -p "$dir"
    cp "$DOVREL_ROOT/installer/Dovrel.ini" "$dir/Dovrel.ini"
    set_trap_keys "$dir/Dovrel.ini" "$@"
}
