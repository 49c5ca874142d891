#!/usr/bin/env bash
# Refreshes the README's pictures: the demo (scripts/demo.sh, headless, so
# that it photographs) plays docs/readme-pictures.scenario, whose screenshots
# land in out/; the three pictures are copied into docs/ and rewritten
# small (palette, full deflate: hostsim stores them raw). Commit them with
# the change that altered what they show.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
# Always on a virtual display of its own (1280 x 800), which the demo
# photographs, so the pictures never show a desktop of yours.
env -u DISPLAY bash scripts/demo.sh docs/readme-pictures.scenario
for name in overlay list-channel settings; do
  cp "out/readme-$name.png" "docs/$name.png"
  python3 scripts/png_shrink.py "docs/$name.png"
  printf '  docs/%s.png  %d bytes\n' "$name" "$(stat -c %s "docs/$name.png")"
done
