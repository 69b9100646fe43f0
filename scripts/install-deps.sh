#!/usr/bin/env bash
# Installs the Debian packages that the builds, tests and the run command need.
# Idempotent: packages already present are left alone. libssl-dev is for the
# native SNMPv3 tests only (OpenSSL stands in for Windows CNG there);
# python3-pysnmp4 is the second SNMPv3 peer beside net-snmp.
set -euo pipefail

packages=(
  cmake make ninja-build g++ clang libclang-rt-14-dev
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686
  googletest
  wine wine64 wine32:i386
  xvfb xauth x11-utils xdotool imagemagick openbox
  snmp snmptrapd
  libssl-dev python3-pysnmp4
  nsis
  fonts-ipafont-gothic
)

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

# 32-bit Wine (wine32:i386) runs the 32-bit build; it comes from the i386 architecture.
need_update=0
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
  need_update=1
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})) || ((need_update)); then
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update
fi
if ((${#missing[@]})); then
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
