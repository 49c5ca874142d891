#!/usr/bin/env bash
# Builds everything, then plays a short session against the real overlay
# program (speaker line, activity lines, clearing) and saves a PNG of the
# overlay window after each step into out/. Works without a display.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/deps.sh"
"$root/scripts/build.sh"
source "$root/scripts/session.sh"
build=${TALVORI_BUILD:-$root/build}
mkdir -p "$root/out"
cd "$root"
# The feeder prints each picture's path as Windows sees it (out\name.png);
# the programs' own trace lines pass through as they are.
wine "$build/bin/talvori_feeder.exe" demo out | tr -d '\r' | while IFS= read -r line; do
  case $line in
    *.png) echo "$root/${line//\\//}" ;;
    *) echo "$line" ;;
  esac
done
