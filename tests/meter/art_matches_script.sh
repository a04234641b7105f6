#!/usr/bin/env bash
# The committed meter bitmaps and icon are what tools/draw-meter-art.py draws.
#   art_matches_script.sh <source-root>
set -euo pipefail
root=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 "$root/tools/draw-meter-art.py" --out "$work"
status=0
for file in resources/meter/background_small.bmp resources/meter/background_large.bmp \
  resources/meter/lamp_frames.bmp resources/meter/glyph_strip.bmp resources/app/tonvale.ico; do
  if ! cmp -s "$root/$file" "$work/$file"; then
    echo "$file differs from what tools/draw-meter-art.py draws; run it and commit the result" >&2
    status=1
  fi
done
exit "$status"
