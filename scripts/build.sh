#!/usr/bin/env bash
# Configures build/ and builds both trees (64-bit overlay and plugin, 32-bit
# plugins) side by side, with their tests and the package.
#
#   scripts/build.sh                      everything
#   scripts/build.sh x64:talvori_demo     only these targets, TREE:TARGET
#                                         (x64 or i686), and what they need
#
# Every tree has the group target talvori_demo: the programs the demo runs.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${TALVORI_BUILD:-$root/build}
# One compile per core in each tree: when one tree links or waits, the
# other keeps the cores busy.
export CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=${TALVORI_BUILD_TYPE:-Release} >/dev/null
if [ $# -eq 0 ]; then
  cmake --build "$build"
  exit 0
fi
trees=()
for request in "$@"; do
  case $request in
    x64:?* | i686:?*) trees+=("${request%%:*}") ;;
    *) echo "build.sh: $request is not TREE:TARGET (x64 or i686)" >&2; exit 2 ;;
  esac
done
for tree in $(printf '%s\n' "${trees[@]}" | sort -u); do
  cmake --build "$build" --target "$tree-configure" >/dev/null
  targets=()
  for request in "$@"; do
    [ "${request%%:*}" = "$tree" ] && targets+=("${request#*:}")
  done
  cmake --build "$build/$tree" --target "${targets[@]}"
done
