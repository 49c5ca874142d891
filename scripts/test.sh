#!/usr/bin/env bash
# Builds everything and runs the whole test suite under Wine. Exits non-zero
# when any test fails; ctest's summary is the last thing printed.
#
# The tests that hold a session (a display and a Wine prefix: see
# cmake/testing.cmake) run side by side in TALVORI_SESSIONS sessions, by
# default one per core. The other tests run alongside them (ctest -j: one
# more). Measured on 2 cores shared with other builds (load 5 to 8): the
# 64-bit tests (266) take 125 s in one session, 62 s in three, 50 s in five.
# Two sessions per core made the whole suite a little quicker still, but
# the tests that follow the foreground through real clicks then lost it
# to Wine's desktop now and then (2 runs in 5): Wine's focus handling falls
# behind when every core is busy.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/deps.sh"
"$root/scripts/build.sh"
export TALVORI_SESSIONS=${TALVORI_SESSIONS:-$(nproc)}
source "$root/scripts/session.sh"
build=${TALVORI_BUILD:-$root/build}
ctest --test-dir "$build" --output-on-failure -j$((TALVORI_SESSIONS + 1)) "$@"
