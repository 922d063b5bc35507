#!/usr/bin/env python3
"""Draws the sample product's icons (32x32, 16 colours) and writes them as .ico files.

Run from this folder: python3 make_icons.py. The output is deterministic; the
generated files are kept in the repository so that the build needs no Python.
"""
import struct

SIZE = 32

# The classic 16-colour palette, as (red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER = range(8)
GREY, RED, LIME, YELLOW, BLUE, FUCHSIA, AQUA, WHITE = range(8, 16)


def framed(inner):
    """A one-pixel black frame around whatever inner(x, y) draws."""
    def pixel(x, y):
        if x in (0, SIZE - 1) or y in (0, SIZE - 1):
            return BLACK
        return inner(x, y)
    return pixel


def tessel(x, y):
    # Tiles of alternating colours with grout lines: a tessellation.
    if x % 8 == 0 or y % 8 == 0:
        return WHITE
    return BLUE if (x // 8 + y // 8) % 2 else AQUA


def vantler(x, y):
    # A white V on navy.
    half = (SIZE - 1) / 2
    left = 4 + (y - 4) * (half - 4) / 23
    right = SIZE - 1 - left
    on_stroke = 4 <= y <= 27 and (abs(x - left) < 3 or abs(x - right) < 3)
    return WHITE if on_stroke else NAVY


def joust(x, y):
    # A yellow lance across a green field, tip at the upper right.
    on_lance = abs((SIZE - 1 - y) - x) < 2 and 4 <= x <= 27
    on_guard = 8 <= x <= 12 and 19 <= y <= 23
    if on_guard:
        return SILVER
    return YELLOW if on_lance else GREEN


def q7(x, y):
    # A red ring with a white centre on maroon.
    d2 = (x - 15.5) ** 2 + (y - 15.5) ** 2
    if d2 < 36:
        return WHITE
    if d2 < 144:
        return RED
    return MAROON


def icon_bytes(pixel):
    xor_rows = []
    for y in range(SIZE - 1, -1, -1):  # bottom-up, as in a DIB
        row = bytearray()
        for x in range(0, SIZE, 2):
            row.append(pixel(x, y) << 4 | pixel(x + 1, y))
        xor_rows.append(bytes(row))
    xor = b"".join(xor_rows)
    mask = bytes(SIZE * SIZE // 8)  # fully opaque
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 4, 0,
                         len(xor) + len(mask), 0, 0, 16, 0)
    image = header + palette + xor + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


def main():
    for name, draw in (("tessel", tessel), ("vantler", vantler),
                       ("joust", joust), ("q7", q7)):
        with open(name + ".ico", "wb") as f:
            f.write(icon_bytes(framed(draw)))


if __name__ == "__main__":
    main()
