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
# Thin strokes lose saturation to the JPEG's halved chroma: test the hue, not purity.
blue = lambda p: p[2] > p[0] + 50 and p[2] > p[1] + 50
count = lambda test, xs, ys: sum(test(im.getpixel((x, y))) for x in xs for y in ys)
near = count(red, range(10, 110), range(10, 65))
far = count(red, range(120, w), range(0, h))
if near < 20 or far > 0:
    sys.exit(f"red pixels near the text: {near}, far from it: {far}")
near = count(blue, range(10, 60), range(75, 100))
far = count(blue, range(80, w), range(0, h)) + count(blue, range(0, w), range(0, 70))
if near < 10 or far > 0:
    sys.exit(f"blue pixels near the second text: {near}, elsewhere: {far}")
PY
