#!/usr/bin/env bash
# Builds everything and runs the whole test suite under Wine. Exits non-zero
# when any test fails; ctest's summary is the last thing printed.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/deps.sh"
"$root/scripts/build.sh"
source "$root/scripts/session.sh"
build=${TALVORI_BUILD:-$root/build}
ctest --test-dir "$build" --output-on-failure -j2 "$@"
