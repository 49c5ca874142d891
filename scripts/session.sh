# Sourced: gives this shell a display, a Wine prefix and a way to run
# 32-bit programs (scripts/emu32.sh), and undoes all of it when the shell
# exits. A display that is already set (a real desktop) is used.
#
# TALVORI_SESSIONS=N (headless only, default 1) makes N sessions: the first
# as above, each other one a display and a Wine prefix (a copy of the
# first) of its own, with its own Wine server, so that tests which hold the
# session (its windows, screen, registry key and named objects) can run
# side by side, one per session. ctest, called in this shell, is told about
# them (through ctest's resource file); scripts/wine-run starts each such test in the
# session ctest gives it.
talvori_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${TALVORI_BUILD:-$talvori_root/build}
source "$talvori_root/scripts/wine-env.sh"
source "$talvori_root/scripts/emu32.sh"
export WINEDEBUG=-all
# Wine writes Linux file names in the locale's character set: without a
# UTF-8 one (a bare system sets no LANG) a folder such as "Hélène" cannot be
# made. C.UTF-8 is always there.
if ! locale charmap 2>/dev/null | grep -qix 'utf-8'; then export LC_CTYPE=C.UTF-8; fi
export WINEARCH=win64
talvori_xvfb_pids=()
talvori_prefixes=("$WINEPREFIX")
talvori_displays=()
talvori_resource_file=""
talvori_session_end() {
  local prefix pid
  for prefix in "${talvori_prefixes[@]}"; do
    WINEPREFIX=$prefix "$TALVORI_WINESERVER" -k >/dev/null 2>&1 || true
  done
  for prefix in "${talvori_prefixes[@]}"; do
    WINEPREFIX=$prefix "$TALVORI_WINESERVER" -w >/dev/null 2>&1 || true
  done
  for pid in "${talvori_xvfb_pids[@]}"; do
    kill "$pid" >/dev/null 2>&1 || true
    wait "$pid" 2>/dev/null || true
  done
  [ -z "$talvori_resource_file" ] || rm -f "$talvori_resource_file"
  talvori_emu32_end
}
trap talvori_session_end EXIT
TALVORI_WINESERVER=$(command -v wineserver || echo wineserver)

# A virtual display; its number ("" when it did not start) in
# talvori_display. The number is the first free one on this machine, chosen
# by the server itself (-displayfd): a number that only looks free in this
# session's /tmp may be held by a session that shares the machine's network
# but not its /tmp. The server writes the number once it accepts clients.
talvori_start_display() {
  local file pid _
  file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$file" >/dev/null 2>&1 &
  pid=$!
  talvori_xvfb_pids+=("$pid")
  talvori_display=""
  for _ in $(seq 300); do
    # A whole line: the number and its newline.
    IFS= read -r talvori_display <"$file" && [ -n "$talvori_display" ] && break
    talvori_display=""
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  rm -f "$file"
  [ -n "$talvori_display" ] && talvori_display=":$talvori_display"
}

if [ -z "${DISPLAY:-}" ]; then
  talvori_start_display
  if [ -z "$talvori_display" ]; then
    echo "session: the virtual display (Xvfb) did not start" >&2
    exit 1
  fi
  export DISPLAY=$talvori_display
  export TALVORI_HEADLESS=1
fi
talvori_displays=("$DISPLAY")

talvori_emu32_start

# A prefix made while 32-bit programs could not run lacks its 32-bit half;
# it is made again once they can.
talvori_prefix_mark=$WINEPREFIX/.talvori-32bit
talvori_can32=no
[ "$TALVORI_32BIT_MODE" = "not run" ] || talvori_can32=yes
if [ -f "$WINEPREFIX/system.reg" ] && [ "$talvori_can32" = yes ] &&
   [ "$(cat "$talvori_prefix_mark" 2>/dev/null)" = no ]; then
  rm -rf "$WINEPREFIX"
fi
mkdir -p "$WINEPREFIX"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Creating the Wine prefix (once)..."
  wine wineboot -i >/dev/null 2>&1 || true
  "$TALVORI_WINESERVER" -w >/dev/null 2>&1 || true
  echo "$talvori_can32" >"$talvori_prefix_mark"
fi
# Wine's windows unmanaged: without a window manager (Xvfb), destroying a
# shown managed window waits about 2 s for a manager that never answers.
# Measured: the whole suite takes 35 s instead of 2 min 39 s.
if ! grep -q '"Managed"="N"' "$WINEPREFIX/user.reg" 2>/dev/null; then
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
    >/dev/null 2>&1 || true
fi

# The other sessions' prefixes: copies of this one, made afresh each time,
# once its server has written the registry out. Wine's system folders are
# linked, not copied (1.3 GB; Wine only reads them once the prefix is made).
talvori_sessions=${TALVORI_SESSIONS:-1}
case $talvori_sessions in '' | *[!0-9]* | 0) talvori_sessions=1 ;; esac
if [ -z "${TALVORI_HEADLESS:-}" ]; then talvori_sessions=1; fi
if [ "$talvori_sessions" -gt 1 ]; then
  timeout 30 "$TALVORI_WINESERVER" -w >/dev/null 2>&1 || true
  for k in $(seq 1 $((talvori_sessions - 1))); do
    prefix=$WINEPREFIX-$k
    WINEPREFIX=$prefix "$TALVORI_WINESERVER" -k >/dev/null 2>&1 || true
    rm -rf "$prefix"
    mkdir -p "$prefix/drive_c/windows"
    (cd "$WINEPREFIX" && find . -mindepth 1 -maxdepth 1 ! -name drive_c -exec cp -a {} "$prefix/" \;) &&
      (cd "$WINEPREFIX/drive_c" && find . -mindepth 1 -maxdepth 1 ! -name windows \
         -exec cp -a {} "$prefix/drive_c/" \;) &&
      (cd "$WINEPREFIX/drive_c/windows" && for f in * .[!.]*; do
         [ -e "$f" ] || continue
         case $f in
           system32 | syswow64 | winsxs) cp -al "$f" "$prefix/drive_c/windows/" ;;
           *) cp -a "$f" "$prefix/drive_c/windows/" ;;
         esac
       done) || { echo "session: the prefix of session $k could not be made" >&2; exit 1; }
    rm -f "$prefix/wineserver"
    talvori_start_display
    if [ -z "$talvori_display" ]; then
      echo "session: the virtual display of session $k (Xvfb) did not start" >&2
      exit 1
    fi
    talvori_prefixes+=("$prefix")
    talvori_displays+=("$talvori_display")
    export "TALVORI_SESSION_PREFIX_$k=$prefix" "TALVORI_SESSION_DISPLAY_$k=$talvori_display"
  done
  unset prefix k
fi

# Is Wine's desktop of this prefix up?
talvori_desktop_up() {
  local pid
  for pid in $(pgrep -f 'explorer.exe /desktop'); do
    tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$1" && return 0
  done
  return 1
}

# Each session's Wine: one server for the whole session keeps every Wine
# start cheap. Wine's own services are started now, with their output going
# nowhere: started later by a test, they would inherit the pipe ctest reads
# and hold it open. Wine's desktop, likewise: held open for the whole
# session by a program that does nothing else (tools/desktop_keeper), ended
# with the Wine server.
talvori_start_wine() {
  local _
  WINEPREFIX=$1 DISPLAY=$2 "$TALVORI_WINESERVER" -p >/dev/null 2>&1 || true
  WINEPREFIX=$1 DISPLAY=$2 "$TALVORI_WINE64" cmd /c exit >/dev/null 2>&1 || true
  if [ -f "$build/bin/desktop_keeper.exe" ]; then
    WINEPREFIX=$1 DISPLAY=$2 "$TALVORI_WINE64" "$build/bin/desktop_keeper.exe" \
      </dev/null >/dev/null 2>&1 &
    for _ in $(seq 100); do
      talvori_desktop_up "$1" && break
      sleep 0.1
    done
  fi
}
talvori_wine_pids=()
for i in "${!talvori_prefixes[@]}"; do
  talvori_start_wine "${talvori_prefixes[i]}" "${talvori_displays[i]}" &
  talvori_wine_pids+=($!)
done
wait "${talvori_wine_pids[@]}"
unset i talvori_wine_pids

# The proof that 32-bit Windows programs run, whichever way: the prefix's
# own 32-bit command interpreter.
if [ "$talvori_can32" = yes ] &&
   ! timeout 60 "$TALVORI_WINE64" 'C:\windows\syswow64\cmd.exe' /c exit 0 >/dev/null 2>&1; then
  talvori_32bit_not_run "a 32-bit Windows program did not start in the Wine prefix ($TALVORI_32BIT_MODE)"
  export TALVORI_32BIT_MODE TALVORI_32BIT_REASON
fi
talvori_emu32_describe

# The sessions, as ctest's resource "session": a test that holds one (see
# cmake/testing.cmake) waits for a free one, and only such tests do.
talvori_resource_file=$(mktemp)
{
  printf '{"version": {"major": 1, "minor": 0}, "local": [{"session": ['
  for i in "${!talvori_prefixes[@]}"; do
    [ "$i" -eq 0 ] || printf ', '
    printf '{"id": "%s", "slots": 1}' "$i"
  done
  printf ']}]}\n'
} >"$talvori_resource_file"
unset i
ctest() { command ctest --resource-spec-file "$talvori_resource_file" "$@"; }
if [ "${#talvori_prefixes[@]}" -gt 1 ]; then
  echo "Sessions: ${#talvori_prefixes[@]} (displays ${talvori_displays[*]})"
fi
