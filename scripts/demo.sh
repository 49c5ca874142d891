#!/usr/bin/env bash
# Builds everything, then plays the host simulator's built-in session: the
# real plugin in hostsim (the stand-in for the voice client) and the real
# overlay program it starts. Speakers, arrivals, moves, departures, a tab
# switch, the List Channel window, chat commands, a lost connection. Without
# a display the overlay is photographed after each step into out/ (PNG).
# Extra arguments go to hostsim (e.g. --calls to list every host call, or a
# scenario file of your own; see tools/hostsim/SCENARIOS.md).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/deps.sh"
"$root/scripts/build.sh"
source "$root/scripts/session.sh"
build=${TALVORI_BUILD:-$root/build}
mkdir -p "$root/out"
cd "$root"
shots=()
if [ -z "${TALVORI_HEADLESS:-}" ]; then shots=(--no-screenshots); fi
# hostsim prints each picture as Windows sees it ("  (saved out\name.png)");
# the plugin's own trace lines pass through as they are. A plugin behaviour
# that is not there yet only shows less; hostsim's verdict (leaks, bad frees,
# a failed step) is this script's exit status.
set +e
wine "$build/bin/hostsim.exe" --quiet --out out "${shots[@]}" "$@" | tr -d '\r' |
  while IFS= read -r line; do
    case $line in
      "  (saved "*")") p=${line#  (saved }; p=${p%)}; echo "  picture: $root/${p//\\//}" ;;
      *) echo "$line" ;;
    esac
  done
status=${PIPESTATUS[0]}
set -e
if [ "$status" -ne 0 ]; then echo "demo: hostsim ended with status $status" >&2; fi
exit "$status"
