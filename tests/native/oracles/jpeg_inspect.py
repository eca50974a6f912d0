"""Prints what Pillow reads from a JPEG file, one "key value..." line each,
and writes its pixels converted to RGB to a raw file.

usage: jpeg_inspect.py IN.jpg OUT.rgb
"""
import sys

from PIL import Image

with Image.open(sys.argv[1]) as im:
    info = im.info
    print("format", im.format)
    print("mode", im.mode)
    print("size", *im.size)
    print("progressive", int(bool(info.get("progressive", 0))))
    print("jfif", int("jfif" in info))
    if "jfif" in info:
        print("jfif_unit", info["jfif_unit"])
        print("jfif_density", *info["jfif_density"])
    print("adobe", int("adobe" in info))
    if "adobe" in info:
        print("adobe_transform", info.get("adobe_transform", -1))
    for comp_id, h, v, table in im.layer:
        print("layer", comp_id, h, v, table)
    for table, values in sorted(im.quantization.items()):
        print("quant", table, *values)
    print("apps", *[name for name, _ in im.applist])
    with open(sys.argv[2], "wb") as out:
        out.write(im.convert("RGB").tobytes())
