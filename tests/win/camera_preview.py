# Checks the frames camera_preview.js saved: JPEG of the chosen size, a white page with
# text strokes, the red mark top-left, and one blue square per camera unit top-right.
import base64
import io
import sys

from PIL import Image

out = sys.argv[1]
failures = []


def frame(name):
    with open(f"{out}/{name}", "rb") as f:
        return Image.open(io.BytesIO(base64.b64decode(f.read()))).convert("RGB")


def red(p):
    return p[0] > 150 and p[1] < 100 and p[2] < 100


def blue(p):
    return p[2] > 150 and p[0] < 100


for name, units in (("camera_first.txt", 1), ("camera_second.txt", 2)):
    img = frame(name)
    w, h = img.size
    if (w, h) != (1280, 960):
        failures.append(f"{name}: size {w}x{h}, expected 1280x960")
        continue
    px = img.load()
    samples = [px[x, y] for y in range(0, h, 8) for x in range(0, w, 8)]
    white = sum(1 for p in samples if min(p) > 215)
    dark = sum(1 for p in samples if max(p) < 110)
    if white < len(samples) // 2:
        failures.append(f"{name}: only {white} of {len(samples)} samples white")
    if dark < len(samples) // 50:
        failures.append(f"{name}: only {dark} dark samples")
    if not red(px[w // 32 + 64, h // 32 + 64]):
        failures.append(f"{name}: no red mark top-left, {px[w // 32 + 64, h // 32 + 64]}")
    small = w // 10 // 3
    squares = sum(1 for i in range(4) if blue(px[w - w // 32 - small // 2 - i * (small + small // 2), h // 32 + small // 2]))
    if squares != units:
        failures.append(f"{name}: {squares} unit squares, expected {units}")

for f in failures:
    print("FAIL:", f)
sys.exit(1 if failures else 0)
