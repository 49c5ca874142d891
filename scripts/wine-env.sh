# Sourced by every script that starts Windows programs: Wine's settings for
# this project, and the loader they are started with.
#
# Every program is started through Wine's 64-bit loader. Debian's `wine`
# wrapper always runs the 32-bit loader first, which fails outright on a
# kernel without 32-bit support; the 64-bit loader runs 64-bit programs
# itself and hands 32-bit ones to the 32-bit loader, which then runs
# natively or under emulation (scripts/emu32.sh).
talvori_root=${talvori_root:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
export WINEPREFIX=${WINEPREFIX:-${TALVORI_BUILD:-$talvori_root/build}/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree=;mshtml=}
if [ -z "${TALVORI_WINE64:-}" ]; then
  if [ -x /usr/lib/wine/wine64 ]; then
    TALVORI_WINE64=/usr/lib/wine/wine64
  else
    TALVORI_WINE64=$(command -v wine64 || echo wine64)
  fi
fi
export TALVORI_WINE64
wine() { "$TALVORI_WINE64" "$@"; }
