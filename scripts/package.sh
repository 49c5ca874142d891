#!/usr/bin/env bash
# Builds both trees in Release, which makes the archives users get, and puts
# them in out/:
#   out/TALVORI.ts3_plugin  double-click to install in TeamSpeak 3.6.x
#                           (both bitnesses, plugin API 26)
#   out/TALVORI-api8.zip    the API-8 plugin for old 32-bit clients, copied by hand
# Their content is checked by the ctest test package.archives.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${TALVORI_BUILD:-$root/build}
"$root/scripts/deps.sh"
TALVORI_BUILD_TYPE=Release "$root/scripts/build.sh"
mkdir -p "$root/out"
for f in TALVORI.ts3_plugin TALVORI-api8.zip; do
  cp "$build/package/$f" "$root/out/$f.tmp"
  mv -f "$root/out/$f.tmp" "$root/out/$f"
  echo "package: $root/out/$f"
done
