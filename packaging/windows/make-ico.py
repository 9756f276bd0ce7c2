#!/usr/bin/env python3
"""Packs PNG images into one Windows icon (.ico), each image stored as PNG.

usage: make-ico.py OUT.ico IN.png...   (square images, 256 pixels at most)
"""
import struct
import sys


def png_size(data):
    if data[:8] != b"\x89PNG\r\n\x1a\n" or data[12:16] != b"IHDR":
        raise SystemExit("not a PNG image")
    return struct.unpack(">II", data[16:24])


def main(argv):
    if len(argv) < 3:
        raise SystemExit(__doc__)
    images = []
    for name in argv[2:]:
        with open(name, "rb") as f:
            data = f.read()
        w, h = png_size(data)
        if w > 256 or h > 256:
            raise SystemExit(f"{name}: {w}x{h} is larger than an icon holds")
        images.append((w, h, data))
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for w, h, data in images:
        # 256 is written as 0 in the directory
        out += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(data for _, _, data in images)
    with open(argv[1], "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main(sys.argv)
