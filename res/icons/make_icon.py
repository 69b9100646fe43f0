#!/usr/bin/env python3
"""Draws Dovrel's program icon: a yellow power symbol on a red disc, with a
dark outline, as a 16-colour .ico holding a 32x32 and a 16x16 image.

Run: python3 res/icons/make_icon.py res/icons/dovrel.ico
"""
import math
import struct
import sys

# The standard 16-colour palette (B, G, R, 0).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]  # as (R, G, B)
TRANSPARENT, BLACK, DARK_RED, RED, YELLOW = None, 0, 1, 9, 11


def pixel(size, x, y):
    """Palette index of pixel (x, y), y counted from the top; None = transparent."""
    c = (size - 1) / 2.0
    dx, dy = x - c, y - c
    r = math.hypot(dx, dy)
    outer = size / 2.0 - 0.5
    if r > outer:
        return TRANSPARENT
    if r > outer - max(1.0, size / 16.0):
        return BLACK
    # Power symbol: an open ring with a bar through its gap.
    ring_r = size * 0.28
    ring_w = max(1.0, size / 10.0)
    bar_w = max(1.0, size / 12.0)
    angle = math.degrees(math.atan2(dx, -dy))  # 0 at the top
    on_ring = abs(r - ring_r) <= ring_w / 2.0 + 0.25 and abs(angle) > 35
    on_bar = abs(dx) <= bar_w / 2.0 + 0.25 and -ring_r - ring_w / 2 <= dy <= 0
    if on_ring or on_bar:
        return YELLOW
    return RED if r < outer - size / 6.0 else DARK_RED


def image(size):
    rows_xor, rows_and = [], []
    for y in range(size - 1, -1, -1):  # bottom-up
        nibbles, mask = [], []
        for x in range(size):
            p = pixel(size, x, y)
            nibbles.append(0 if p is None else p)
            mask.append(1 if p is None else 0)
        row = bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, size, 2))
        row += b"\0" * ((4 - len(row) % 4) % 4)
        rows_xor.append(row)
        bits = bytearray((size + 7) // 8)
        for x, m in enumerate(mask):
            if m:
                bits[x // 8] |= 0x80 >> (x % 8)
        bits += b"\0" * ((4 - len(bits) % 4) % 4)
        rows_and.append(bytes(bits))
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b"".join(struct.pack("BBBB", b, g, r, 0) for r, g, b in PALETTE)
    return header + palette + b"".join(rows_xor) + b"".join(rows_and)


def main(path):
    sizes = [32, 16]
    images = [image(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", s, s, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    out += b"".join(images)
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "dovrel.ico")
