#!/usr/bin/env bash
# Builds both trees in Release, then runs every benchmark under Wine on the
# session's display and writes their figures into out/bench-results.txt,
# which it prints at the end:
#   - the size of every shipped binary,
#   - the plugin's cost per host event (each plugin DLL, in its own tree),
#   - the same events on a big server against plugin_cost's small world,
#   - event to pixels: a speaker line written until it shows on screen,
#   - event to visible: the same after a silence, idle hiding on and off,
#   - the overlay program's footprint and CPU time.
# The two timed phases of the footprint last 60 s each; for a quicker look,
# TALVORI_BENCH_IDLE_SECONDS / TALVORI_BENCH_TALK_SECONDS shorten them and
# TALVORI_BENCH_EVENTS sets the events per row of the plugin benchmark.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${TALVORI_BUILD:-$root/build}
"$root/scripts/deps.sh"
TALVORI_BUILD_TYPE=Release "$root/scripts/build.sh"
source "$root/scripts/session.sh"

mkdir -p "$root/out"
results=$root/out/bench-results.txt
failed=()

# Windows programs end their lines with CR LF. Figures of 32-bit programs
# measured under emulation are marked as such on every line: they are not
# comparable to native ones (emulated code runs 1-40 times slower).
run() {
  local name=$1
  shift
  echo "bench: $name" >&2
  local mark=""
  case $1 in
    */i686/*)
      if [ "$TALVORI_32BIT_MODE" = "not run" ]; then
        echo "$name: not run: $TALVORI_32BIT_REASON" >>"$results"
        return
      fi
      [ "$TALVORI_32BIT_MODE" = emulated ] &&
        mark="  [32-bit under emulation, qemu-i386 $TALVORI_32BIT_QEMU_VERSION]" ;;
  esac
  if ! wine "$@" | tr -d '\r' | sed "/[0-9]/s/\$/$mark/" >>"$results"; then
    failed+=("$name")
  fi
}

sizes() {
  echo "Release binaries (bytes as built; stripped with strip --strip-all, for reference)"
  local file triple size stripped
  local tmp
  tmp=$(mktemp)
  for file in TALVOR_plugin.dll TALVOR_plugin_win32.dll TALVOR_plugin_win64.dll TALVORI.exe; do
    [ -f "$build/bin/$file" ] || continue
    case $file in
      TALVOR_plugin.dll | *_win32.dll) triple=i686-w64-mingw32 ;;
      *) triple=x86_64-w64-mingw32 ;;
    esac
    size=$(stat -c %s "$build/bin/$file")
    "$triple-strip" --strip-all -o "$tmp" "$build/bin/$file"
    stripped=$(stat -c %s "$tmp")
    printf '  %-26s %9d  (stripped %d)\n' "$file" "$size" "$stripped"
  done
  rm -f "$tmp"
  echo
}

{
  echo "Talvori benchmarks, $(date -u '+%Y-%m-%d %H:%M UTC'), commit $(git -C "$root" describe --always --dirty 2>/dev/null || echo "?")"
  echo "machine: $(nproc) cores ($(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//')), $("$TALVORI_WINE64" --version), display $DISPLAY${TALVORI_HEADLESS:+ (Xvfb)}"
  talvori_emu32_describe
  echo
  sizes
} >"$results"

events=()
[ -n "${TALVORI_BENCH_EVENTS:-}" ] && events=(--events "$TALVORI_BENCH_EVENTS")
# A previous release's bin folder (its DLLs and its TALVORI.exe): every
# plugin DLL is measured against the one of the same name there too.
before=()
[ -n "${TALVORI_BENCH_BEFORE:-}" ] && before=(--before "$TALVORI_BENCH_BEFORE")
# Sessions of each side in that comparison (4 unless told).
[ -n "${TALVORI_BENCH_ROUNDS:-}" ] && before+=(--rounds "$TALVORI_BENCH_ROUNDS")
for tree in i686 x64; do
  exe=$build/$tree/bench/plugin_cost.exe
  [ -f "$exe" ] && run "plugin cost ($tree)" "$exe" "${events[@]}" "${before[@]}"
done
for tree in i686 x64; do
  exe=$build/$tree/bench/scale_cost.exe
  [ -f "$exe" ] && run "cost on a big server ($tree)" "$exe" "${events[@]}"
done
run "event to pixels" "$build/x64/bench/event_to_pixels.exe"
run "event to visible" "$build/x64/bench/event_to_visible.exe"
phases=()
[ -n "${TALVORI_BENCH_IDLE_SECONDS:-}" ] && phases+=(--idle-seconds "$TALVORI_BENCH_IDLE_SECONDS")
[ -n "${TALVORI_BENCH_TALK_SECONDS:-}" ] && phases+=(--talk-seconds "$TALVORI_BENCH_TALK_SECONDS")
run "overlay footprint" "$build/x64/bench/overlay_footprint.exe" "${phases[@]}"

cat "$results"
if [ ${#failed[@]} -gt 0 ]; then
  echo "bench: failed: ${failed[*]}" >&2
  exit 1
fi
