#!/usr/bin/env python3
"""Draws the program's pixel pictures: the two 13 x 13 button glyphs and the 32 x 32 hand
cursor, at 1x and at 2x ("@2x", for screens at 200 %).

The pictures are drawn as character grids below so that each pixel can be edited by hand; the
2x copies double every pixel, except the cross, which is drawn again from its geometry so its
strokes stay even. Standard library only:

    python3 pixelart.py OUTPUT_FOLDER
"""

import struct
import sys
import zlib
from pathlib import Path

# One character per pixel. Colours of the classic 16-colour palette, so the glyphs read like the
# window buttons they stand for.
PALETTE = {
    ".": None,  # transparent
    "K": (0x00, 0x00, 0x00),  # black outline
    "W": (0xFF, 0xFF, 0xFF),  # white
    "N": (0x00, 0x00, 0x80),  # navy title bar
    "G": (0xC0, 0xC0, 0xC0),  # light grey shading
}

# Minimise: two overlapping windows, each with its title bar; the front one hides the back one.
MINIMISE = """
....KKKKKKKK.
....KNNNNNNK.
....KNNNNNNK.
....KWWWWWWK.
KKKKKKKKWWWK.
KNNNNNNKWWWK.
KNNNNNNKWWWK.
KWWWWWWKWWWK.
KWWWWWWKKKKK.
KWWWWWWK.....
KWWWWWWK.....
KKKKKKKK.....
.............
"""

# Close: a cross, two pixels thick.
CLOSE = """
.............
.............
..KK.....KK..
...KK...KK...
....KK.KK....
.....KKK.....
.....KKK.....
....KK.KK....
...KK...KK...
..KK.....KK..
.............
.............
.............
"""

# The pointing hand, index finger raised; its tip, the cursor's hot spot, is HAND_HOTSPOT.
HAND = """
........KK......................
.......KWWK.....................
.......KWWK.....................
.......KWWK.....................
.......KWWK.....................
.......KWWK.....................
.......KWWKKK...................
.......KWWKWWKKK................
.......KWWKWWKWWKK..............
.......KWWKWWKWWKWK.............
...KK..KWWKWWKWWKWWK............
..KWWK.KWWWWWWWWKWWK............
..KWWWKKWWWWWWWWWWWK............
...KWWWKWWWWWWWWWWWK............
...KWWWWWWWWWWWWWWWK............
....KWWWWWWWWWWWWWWK............
....KWWWWWWWWWWWWWGK............
.....KWWWWWWWWWWWWGK............
.....KWWWWWWWWWWWGK.............
......KWWWWWWWWWWGK.............
......KWWWWWWWWWWGK.............
.......KWWWWWWWWGK..............
.......KKKKKKKKKKK..............
................................
................................
................................
................................
................................
................................
................................
................................
................................
"""
HAND_HOTSPOT = (8, 0)


def grid(text):
    rows = [row for row in text.strip("\n").split("\n")]
    width = max(len(r) for r in rows)
    return [[PALETTE[c] for c in r.ljust(width, ".")] for r in rows]


def doubled(pixels):
    out = []
    for row in pixels:
        wide = [p for p in row for _ in range(2)]
        out.append(wide)
        out.append(list(wide))
    return out


def cross(size, scale):
    """The cross drawn from its geometry: two strokes from corner to corner of the inner box."""
    n = size * scale
    lo, hi = 2.5 * scale, 10.5 * scale  # the box the strokes run across, in pixel centres
    half = 0.75 * scale  # half the stroke thickness
    black = PALETTE["K"]
    pixels = [[None] * n for _ in range(n)]
    for y in range(n):
        for x in range(n):
            cx, cy = x + 0.5, y + 0.5
            if not (lo - half <= cx <= hi + half and lo - half <= cy <= hi + half):
                continue
            d1 = abs(cx - cy) / 2**0.5
            d2 = abs(cx + cy - 2 * (lo + hi) / 2) / 2**0.5
            if min(d1, d2) <= half:
                pixels[y][x] = black
    return pixels


def write_png(path, pixels):
    height, width = len(pixels), len(pixels[0])
    raw = bytearray()
    for row in pixels:
        raw.append(0)  # no filter
        for p in row:
            raw.extend((*p, 255) if p else (0, 0, 0, 0))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    png += chunk(b"IEND", b"")
    Path(path).write_bytes(png)


def main():
    out = Path(sys.argv[1] if len(sys.argv) > 1 else ".")
    pictures = {
        "minimise": (grid(MINIMISE), None),
        "close": (grid(CLOSE), cross(13, 2)),
        "hand": (grid(HAND), None),
    }
    for name, (one, two) in pictures.items():
        write_png(out / f"{name}.png", one)
        write_png(out / f"{name}@2x.png", two if two else doubled(one))


if __name__ == "__main__":
    main()
