"""Writes the documents the url-load tests serve, with Pillow, into OUT_DIR:
pages.tif (3 pages, 200 dpi), broken.tif (the same with page 3's strip moved
past the end), frames.gif (5 frames), cut.gif (cut inside frame 3),
photo.jpg, logo.png (near-white test pixels), missing.html."""
import struct
import sys

from PIL import Image

out = sys.argv[1]
SIZE = (24, 16)
PAGE_COLOURS = [(200, 0, 0), (0, 200, 0), (0, 0, 200)]
FRAME_COLOURS = [(255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 0), (0, 255, 255)]

pages = [Image.new("RGB", SIZE, c) for c in PAGE_COLOURS]
pages[0].save(f"{out}/pages.tif", save_all=True, append_images=pages[1:], dpi=(200, 200))

# Page 3's strip offset pointed past the end: pages 1 and 2 still decode.
data = bytearray(open(f"{out}/pages.tif", "rb").read())
assert data[:2] == b"II"
ifd = struct.unpack_from("<I", data, 4)[0]
for _ in range(2):
    count = struct.unpack_from("<H", data, ifd)[0]
    ifd = struct.unpack_from("<I", data, ifd + 2 + 12 * count)[0]
count = struct.unpack_from("<H", data, ifd)[0]
for i in range(count):
    entry = ifd + 2 + 12 * i
    tag, kind, n = struct.unpack_from("<HHI", data, entry)
    if tag == 273:
        assert n == 1 and kind == 4
        struct.pack_into("<I", data, entry + 8, 0x7FFFFFF0)
open(f"{out}/broken.tif", "wb").write(bytes(data))

frames = [Image.new("RGB", SIZE, c) for c in FRAME_COLOURS]
frames[0].save(f"{out}/frames.gif", save_all=True, append_images=frames[1:], duration=100, loop=0)

# Cut inside frame 3's pixel data: frames 1 and 2 still decode.
gif = open(f"{out}/frames.gif", "rb").read()
third = -1
for _ in range(3):
    third = gif.index(b"\x21\xf9\x04", third + 1)
open(f"{out}/cut.gif", "wb").write(gif[: third + 8 + 10 + 3])

Image.new("RGB", SIZE, (30, 120, 210)).save(f"{out}/photo.jpg", quality=95)

logo = Image.new("RGB", (4, 2), (10, 20, 30))
logo.putpixel((0, 0), (255, 255, 255))
logo.putpixel((1, 0), (250, 250, 250))
logo.putpixel((2, 0), (249, 255, 255))
logo.putpixel((3, 0), (255, 255, 249))
logo.putpixel((0, 1), (252, 251, 250))
logo.save(f"{out}/logo.png")

open(f"{out}/missing.html", "w").write("<html><body>404 Not Found</body></html>")
