#!/usr/bin/env bash
# Installs what the build and the tests need, when it is missing.
# fonts-wine: Wine's own fonts, only recommended by Wine and so left out by
# --no-install-recommends; the demo takes its Marlett, which draws a
# window's close button (without it the button shows the letter "r").
# ninja-build: the trees' generator, which keeps every core busy.
# gcc, binutils, libc6:i386: the native compiler and linker and the i386 C
# library that the emulation of 32-bit programs builds its fault-trap
# library with (scripts/emu32.sh); a machine that runs 32-bit code natively
# does not use them, but a set-up must not depend on what the machine has.
# procps: pgrep, which the session waits for Wine's desktop with.
set -euo pipefail
pkgs=(cmake make ninja-build g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686
      binutils-mingw-w64-x86-64 googletest wine wine64 wine32:i386 fonts-wine xvfb
      xauth imagemagick zip unzip python3 procps gcc binutils libc6:i386)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
  echo "Run as root (apt-get is needed) or install these packages first." >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
