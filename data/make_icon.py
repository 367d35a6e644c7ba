#!/usr/bin/env python3
"""Draws the application icon, quorvel.png: a pair of black square brackets "[ ]" on a pale
rounded square, 32 x 32 pixels, 8-bit RGBA. Uses only the standard library, so the picture
can be redrawn anywhere: python3 data/make_icon.py data/quorvel.png
"""
import struct
import sys
import zlib

SIZE = 32
PALE = (246, 244, 232, 255)      # warm off-white
EDGE = (196, 192, 176, 255)      # a thin darker rim so the square reads on light panels
INK = (0, 0, 0, 255)
CLEAR = (0, 0, 0, 0)
RADIUS = 5                       # corner radius of the rounded square, in pixels


def inside_rounded_square(x, y, inset):
    """Whether the pixel centre lies in the square inset by `inset`, corners rounded."""
    lo, hi = inset, SIZE - 1 - inset
    r = RADIUS - inset
    cx = min(max(x, lo + r), hi - r)
    cy = min(max(y, lo + r), hi - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r + r  # +r smooths the stair steps


def is_bracket(x, y):
    """The two brackets: 3-pixel strokes, 22 pixels tall, serifs 4 pixels long."""
    top, bottom = 5, 26
    if not top <= y <= bottom:
        return False
    serif = y <= top + 2 or y >= bottom - 2
    left = 7 <= x <= 9 or (serif and 10 <= x <= 13)     # "["
    right = 22 <= x <= 24 or (serif and 18 <= x <= 21)  # "]"
    return left or right


def pixel(x, y):
    if not inside_rounded_square(x, y, 0):
        return CLEAR
    if not inside_rounded_square(x, y, 1):
        return EDGE
    return INK if is_bracket(x, y) else PALE


def png(width, height, rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    raw = b"".join(b"\x00" + bytes(c for px in row for c in px) for row in rows)
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)  # 8 bits, RGBA
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "quorvel.png"
    rows = [[pixel(x, y) for x in range(SIZE)] for y in range(SIZE)]
    with open(out, "wb") as f:
        f.write(png(SIZE, SIZE, rows))


if __name__ == "__main__":
    main()
