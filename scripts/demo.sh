#!/usr/bin/env bash
# Builds everything, then plays the host simulator's built-in session: the
# real plugin in hostsim (the stand-in for the voice client) and the real
# overlay program it starts. Speakers, arrivals, moves, departures, a tab
# switch, the List Channel window, chat commands, a lost connection. Without
# a display the overlay is photographed after each step into out/ (PNG).
# It plays today's client: the 64-bit API-26 plugin in the 64-bit host
# (hostsim64.exe). Extra arguments go to hostsim (e.g. --calls to list every
# host call, a scenario file of your own, see tools/hostsim/SCENARIOS.md, or
# --plugin build/bin/TALVOR_plugin.dll for the old 32-bit API-8 client: a
# 32-bit DLL plays in the 32-bit host, hostsim.exe).
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
# The host of the plugin's bitness (the PE header's machine field).
host=hostsim64.exe
args=("$@")
for ((i = 0; i + 1 < ${#args[@]}; i++)); do
  if [ "${args[i]}" = --plugin ]; then
    dll=${args[i + 1]}
    pe=$(od -An -t u4 -j 60 -N 4 "$dll" 2>/dev/null | tr -d ' ')
    machine=$(od -An -t x2 -j $((${pe:-0} + 4)) -N 2 "$dll" 2>/dev/null | tr -d ' ')
    [ "$machine" = 014c ] && host=hostsim.exe
  fi
done
if [ "$host" = hostsim.exe ] && [ "$TALVORI_32BIT_MODE" = "not run" ]; then
  echo "demo: a 32-bit plugin needs 32-bit programs, which do not run here: $TALVORI_32BIT_REASON" >&2
  exit 1
fi
set +e
wine "$build/bin/$host" --quiet --out out "${shots[@]}" "$@" | tr -d '\r' |
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
