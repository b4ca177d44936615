#!/usr/bin/env python3
"""Draws the program's icon (16, 32 and 48 pixels, 16 colours each) and writes
VelaScanUpg.ico beside this script: a radar sweep on a dark blue disc."""
import math
import struct
from pathlib import Path

# The standard 16-colour palette, as (blue, green, red, 0) entries.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
    (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
    (255, 0, 255), (0, 255, 255), (255, 255, 255),
]  # (red, green, blue)
NAVY, TEAL, GREEN, LIME, WHITE, GREY = 4, 6, 2, 10, 15, 8


def pixel(size, x, y):
    """Palette index for the pixel, or None where the icon is transparent."""
    c = (size - 1) / 2
    dx, dy = x - c, c - y
    r = math.hypot(dx, dy) / (size / 2)
    if r > 1.0:
        return None
    if r > 0.88:
        return GREY
    angle = math.degrees(math.atan2(dy, dx)) % 360
    # The sweep: a bright edge at 45 degrees fading back over 60 degrees.
    behind = (45 - angle) % 360
    if behind < 6 and r < 0.88:
        return LIME
    if behind < 60:
        return GREEN if behind < 30 else TEAL
    # Range rings.
    for ring in (0.35, 0.65):
        if abs(r - ring) < 0.6 / (size / 2):
            return TEAL
    if r < 1.2 / (size / 2) * 1.5:
        return WHITE
    return NAVY


def image(size):
    rows = []
    mask_rows = []
    for y in reversed(range(size)):  # bottom-up, as a DIB stores them
        idx = [pixel(size, x, y) for x in range(size)]
        nibbles = [(i if i is not None else 0) for i in idx]
        data = bytearray()
        for k in range(0, size, 2):
            data.append((nibbles[k] << 4) | nibbles[k + 1])
        while len(data) % 4:
            data.append(0)
        rows.append(bytes(data))
        bits = 0
        mask = bytearray()
        for k, i in enumerate(idx):
            bits = (bits << 1) | (1 if i is None else 0)
            if k % 8 == 7:
                mask.append(bits)
                bits = 0
        while len(mask) % 4:
            mask.append(0)
        mask_rows.append(bytes(mask))
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    return header + palette + b"".join(rows) + b"".join(mask_rows)


def main():
    sizes = [16, 32, 48]
    images = [image(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", s, s, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    out += b"".join(images)
    Path(__file__).with_name("VelaScanUpg.ico").write_bytes(out)


if __name__ == "__main__":
    main()
