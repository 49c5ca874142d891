#!/usr/bin/env bash
# Refreshes the README's pictures: the demo (scripts/demo.sh, headless, so
# that it photographs) plays docs/readme-pictures.scenario in front of its
# game (tools/backdrop), whose screenshots land in out/; the three pictures
# are cut to the part around the windows, copied into docs/ and rewritten
# small (palette, full deflate: hostsim stores them raw). It plays again at
# 150 % display scale for overlay-150.png and list-channel-150.png. Commit
# them with the change that altered what they show.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
"$root/scripts/deps.sh"
# From the default settings, whose window places the cuts below follow: the
# build's own Wine prefix forgets what tests and earlier demos stored.
(
  source scripts/session.sh >/dev/null
  wine reg delete 'HKCU\Software\Talvori' /f >/dev/null 2>&1 || true
)
# Always on a virtual display of its own (1280 x 800), which the demo
# photographs, so the pictures never show a desktop of yours.
env -u DISPLAY bash scripts/demo.sh docs/readme-pictures.scenario
# Width x height + left + top on that screen: the overlay sits at 10, 10 and
# the List Channel window below it at 10, 60, both 240 wide; around them the
# game's sky, mountains and trees.
declare -A crop=([overlay]=540x260+0+0 [list-channel]=540x470+0+0 [settings]=)
for name in overlay list-channel settings; do
  cp "out/readme-$name.png" "docs/$name.png"
  python3 scripts/png_shrink.py ${crop[$name]:+--crop "${crop[$name]}"} "docs/$name.png"
  printf '  docs/%s.png  %d bytes\n' "$name" "$(stat -c %s "docs/$name.png")"
done
# The same at 150 % display scale, beside them: the windows half as large
# again, at the same places (a place is in screen pixels at any scale).
(
  source scripts/session.sh >/dev/null
  wine reg delete 'HKCU\Software\Talvori' /f >/dev/null 2>&1 || true
)
env -u DISPLAY bash scripts/demo.sh --scale 150 docs/readme-pictures.scenario
declare -A crop150=([overlay]=810x390+0+0 [list-channel]=810x705+0+0)
for name in overlay list-channel; do
  cp "out/readme-$name.png" "docs/$name-150.png"
  python3 scripts/png_shrink.py --crop "${crop150[$name]}" "docs/$name-150.png"
  printf '  docs/%s-150.png  %d bytes\n' "$name" "$(stat -c %s "docs/$name-150.png")"
done
