#!/usr/bin/env bash
# Configures and builds both trees (64-bit overlay, 32-bit plugin) into build/.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${TALVORI_BUILD:-$root/build}
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=${TALVORI_BUILD_TYPE:-Release} >/dev/null
cmake --build "$build" -j"$(nproc)"
