#!/usr/bin/env bash
# The turned page is 16 x 24 (its fixture is 24 x 16); the text page has red
# pixels near the text's origin and none far from it.
set -euo pipefail
out=$1
for f in turned.jpg text.jpg; do
  tr -d '\r' <"$out/$f.b64" | base64 -d >"$out/$f"
done
file "$out/turned.jpg" | grep -q '16x24' || { echo "turned: $(file -b "$out/turned.jpg")"; exit 1; }
/usr/bin/python3 - "$out/text.jpg" <<'PY'
import sys
from PIL import Image
im = Image.open(sys.argv[1]).convert("RGB")
w, h = im.size
red = lambda p: p[0] > 180 and p[1] < 90 and p[2] < 90
near = sum(red(im.getpixel((x, y))) for x in range(10, min(w, 100)) for y in range(10, min(h, 60)))
far = sum(red(im.getpixel((x, y))) for x in range(120, w) for y in range(80, h))
if near < 20 or far > 0:
    sys.exit(f"red pixels near the text: {near}, far from it: {far}")
PY
