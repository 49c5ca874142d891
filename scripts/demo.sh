#!/usr/bin/env bash
# Builds what it runs, then plays a session in the host simulator (the
# stand-in for the voice client) with the real plugin and the real overlay
# program it starts, in front of a game: tools/backdrop, a full-screen scene
# that reports every click and every loss of the foreground that reaches it
# ("backdrop: ..." lines). The session (scripts/demo.scenario): speakers,
# arrivals, moves, departures, a tab switch, the List Channel window, chat
# commands, then playing: a locked overlay the mouse clicks through, idle
# hiding, the overlay off and on, and a lost connection. Without a display
# the screen is photographed after each step into out/ (PNG).
# It plays today's client: the 64-bit API-26 plugin in the 64-bit host
# (hostsim64.exe). Extra arguments go to hostsim (e.g. --calls to list every
# host call, a scenario file of your own instead, see
# tools/hostsim/SCENARIOS.md, or --plugin build/bin/TALVOR_plugin.dll for the
# old 32-bit API-8 client: a 32-bit DLL plays in the 32-bit host, hostsim.exe).
# --scale P plays it at P % display scale (125, 150, 200...): the session's
# dpi (LogPixels) is P % of 96 for the run and put back afterwards.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
scale=""
rest=()
while [ $# -gt 0 ]; do
  case $1 in
    --scale) scale=${2:-}; shift 2 || { echo "demo: --scale needs a percentage" >&2; exit 2; } ;;
    --scale=*) scale=${1#--scale=}; shift ;;
    *) rest+=("$1"); shift ;;
  esac
done
if [ -n "$scale" ] && ! [[ $scale =~ ^[0-9]+$ && $scale -ge 50 && $scale -le 500 ]]; then
  echo "demo: --scale takes a percentage from 50 to 500, not '$scale'" >&2
  exit 2
fi
set -- ${rest[@]+"${rest[@]}"}
"$root/scripts/deps.sh"
# Only what the demo runs, not the tests: the 64-bit programs, and the
# 32-bit host and plugins when the arguments name a plugin of its own.
demo_targets=(x64:talvori_demo)
for a in "$@"; do [ "$a" = --plugin ] && demo_targets+=(i686:talvori_demo); done
"$root/scripts/build.sh" "${demo_targets[@]}"
source "$root/scripts/session.sh"
build=${TALVORI_BUILD:-$root/build}
# Wine reads the dpi when each program starts: set before any of them.
if [ -n "$scale" ]; then
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD \
    /d $((scale * 96 / 100)) /f >/dev/null 2>&1
  demo_scale_end() {
    wine reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f >/dev/null 2>&1 || true
    talvori_session_end
  }
  trap demo_scale_end EXIT
  echo "demo: display scale $scale % ($((scale * 96 / 100)) dpi)"
fi
# Wine draws a window's close button with its own symbol font, Marlett
# (fonts-wine), which this Wine looks for only in the prefix's Fonts folder;
# without it the button shows the letter "r". Only Marlett: the other fonts
# would change the dialogs' text and size from what the tests measured.
fonts=$WINEPREFIX/drive_c/windows/Fonts
if [ -f /usr/share/wine/fonts/marlett.ttf ] && [ ! -f "$fonts/marlett.ttf" ]; then
  mkdir -p "$fonts" && cp /usr/share/wine/fonts/marlett.ttf "$fonts/"
fi
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
# scripts/demo.scenario unless the arguments name a scenario (or ask
# hostsim for something else than playing one).
scenario=(scripts/demo.scenario)
for ((i = 0; i < ${#args[@]}; i++)); do
  case ${args[i]} in
    --plugin | --api | --plugin-path | --out) i=$((i + 1)) ;;
    --print-demo | --check-exports) scenario=() ;;
    -*) ;;
    *) scenario=() ;;
  esac
done

# The game, in front before the plugin starts the overlay: on a display of
# its own it fills the screen, on yours it keeps to a corner. Its lines go
# to the terminal as they come, and to out/backdrop.log, which tells when it
# has started.
backdrop=("$build/bin/backdrop.exe")
game_log=$root/out/backdrop.log
: >"$game_log"
game_pid=""
if [ -f "${backdrop[0]}" ]; then
  size=()
  [ -n "${TALVORI_HEADLESS:-}" ] || size=(--size 1024 640)
  wine "${backdrop[@]}" "${size[@]}" </dev/null 2>&1 | sed -u 's/\r$//' | tee "$game_log" &
  game_pid=$!
  for _ in $(seq 100); do grep -q 'started' "$game_log" && break; sleep 0.1; done
fi
# A click as the user's mouse makes one, through the system's input queue:
# the window under the pointer gets it, or the one beneath when that one
# lets clicks through.
mouse() { wine "${backdrop[@]}" "$@" </dev/null 2>&1 | sed -u 's/\r$//'; }

set +e
wine "$build/bin/$host" --quiet --out out "${shots[@]}" "$@" "${scenario[@]}" |
  while IFS= read -r line; do
    line=${line%$'\r'}
    case $line in
      "  (saved "*")") p=${line#  (saved }; p=${p%)}; echo "  picture: $root/${p//\\//}" ;;
      "== Click the game"*) echo "$line"; [ -n "$game_pid" ] && mouse --click-over TalvoriBackdrop ;;
      "== Click at the overlay's place"*) echo "$line"; [ -n "$game_pid" ] && mouse --click-over TALVORI_CLASS ;;
      *) echo "$line" ;;
    esac
  done
status=${PIPESTATUS[0]}
if [ -n "$game_pid" ]; then
  mouse --close >/dev/null
  wait "$game_pid"
  echo "What reached the game (out/backdrop.log):"
  grep -E 'click \(|focus|closed' "$game_log" | sed 's/^backdrop: /  /'
fi
set -e
if [ "$status" -ne 0 ]; then echo "demo: hostsim ended with status $status" >&2; fi
exit "$status"
