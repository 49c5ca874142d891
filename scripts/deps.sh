#!/usr/bin/env bash
# Installs what the build and the tests need, when it is missing.
# fonts-wine: Wine's own fonts, only recommended by Wine and so left out by
# --no-install-recommends; the demo takes its Marlett, which draws a
# window's close button (without it the button shows the letter "r").
set -euo pipefail
pkgs=(cmake make g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686
      binutils-mingw-w64-x86-64 googletest wine wine64 wine32:i386 fonts-wine xvfb
      xauth imagemagick zip unzip python3)
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
