#!/usr/bin/env bash
# Decodes what camera_capture.js wrote: every JPEG has the chosen format's size, and
# the frames are upright (the virtual camera paints red top-left, blue top-right).
set -euo pipefail
out=$1
size=$(cat "$out/capture-size.txt")
for f in capture-live capture-page0 capture-page1 capture-page2; do
  tr -d '\r' <"$out/$f.jpg.b64" | base64 -d >"$out/$f.jpg"
done
/usr/bin/python3 - "$out" "$size" <<'PY'
import sys
from PIL import Image
out, size = sys.argv[1], sys.argv[2]
w, h = (int(v) for v in size.split("x"))
for name in ("capture-live", "capture-page0", "capture-page1", "capture-page2"):
    im = Image.open(f"{out}/{name}.jpg").convert("RGB")
    if im.size != (w, h):
        sys.exit(f"{name}: {im.size}, expected {w}x{h}")
    r, g, b = im.getpixel((w * 8 // 100, h * 10 // 100))
    if not (r > 150 and g < 90 and b < 90):
        sys.exit(f"{name}: top-left is {(r, g, b)}, not red: the frame is not upright")
    r, g, b = im.getpixel((w * 95 // 100, h * 5 // 100))
    if not (b > 150 and r < 90):
        sys.exit(f"{name}: top-right is {(r, g, b)}, not blue")
PY
