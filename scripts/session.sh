# Sourced: gives this shell a display, a Wine prefix and a way to run
# 32-bit programs (scripts/emu32.sh), and undoes all of it when the shell
# exits. A display that is already set (a real desktop) is used.
talvori_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${TALVORI_BUILD:-$talvori_root/build}
source "$talvori_root/scripts/wine-env.sh"
source "$talvori_root/scripts/emu32.sh"
export WINEDEBUG=-all
export WINEARCH=win64
talvori_xvfb_pid=""
talvori_session_end() {
  "$TALVORI_WINESERVER" -k >/dev/null 2>&1 || true
  "$TALVORI_WINESERVER" -w >/dev/null 2>&1 || true
  if [ -n "$talvori_xvfb_pid" ]; then
    kill "$talvori_xvfb_pid" >/dev/null 2>&1 || true
    wait "$talvori_xvfb_pid" 2>/dev/null || true
  fi
  talvori_emu32_end
}
trap talvori_session_end EXIT
TALVORI_WINESERVER=$(command -v wineserver || echo wineserver)

if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 90 140); do
    if [ ! -e /tmp/.X11-unix/X$n ] && [ ! -e /tmp/.X$n-lock ]; then break; fi
  done
  Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
  talvori_xvfb_pid=$!
  export DISPLAY=":$n"
  for _ in $(seq 50); do [ -e /tmp/.X11-unix/X$n ] && break; sleep 0.1; done
  export TALVORI_HEADLESS=1
fi

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
# One server for the whole session keeps every Wine start cheap.
"$TALVORI_WINESERVER" -p >/dev/null 2>&1 || true
# Wine's windows unmanaged: without a window manager (Xvfb), destroying a
# shown managed window waits about 2 s for a manager that never answers.
# Measured: the whole suite takes 35 s instead of 2 min 39 s.
if ! grep -q '"Managed"="N"' "$WINEPREFIX/user.reg" 2>/dev/null; then
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
    >/dev/null 2>&1 || true
fi
# Start Wine's own services now, with their output going nowhere: started
# later by a test, they would inherit the pipe ctest reads and hold it open.
wine cmd /c exit >/dev/null 2>&1 || true
# Wine's desktop, likewise: held open for the whole session by a program
# that does nothing else (tools/desktop_keeper), ended with the Wine server.
if [ -f "$build/bin/desktop_keeper.exe" ]; then
  "$TALVORI_WINE64" "$build/bin/desktop_keeper.exe" </dev/null >/dev/null 2>&1 &
  for _ in $(seq 50); do
    pgrep -f 'explorer.exe /desktop' >/dev/null && break
    sleep 0.1
  done
fi
# The proof that 32-bit Windows programs run, whichever way: the prefix's
# own 32-bit command interpreter.
if [ "$talvori_can32" = yes ] &&
   ! timeout 60 "$TALVORI_WINE64" 'C:\windows\syswow64\cmd.exe' /c exit 0 >/dev/null 2>&1; then
  talvori_32bit_not_run "a 32-bit Windows program did not start in the Wine prefix ($TALVORI_32BIT_MODE)"
  export TALVORI_32BIT_MODE TALVORI_32BIT_REASON
fi
talvori_emu32_describe
