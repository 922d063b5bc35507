#!/usr/bin/env python3
"""Draws Setup.exe's pictures in the 16 classic colours and writes them:
setup.ico (icon 128, 32x32) and wizard.bmp (bitmap 139, the wizard pages'
picture, 118x258).

Run from this folder: python3 make_art.py. The output is deterministic; the
generated files are kept in the repository so that the build needs no Python.
"""
import struct

PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER = range(8)
GREY, RED, LIME, YELLOW, BLUE, FUCHSIA, AQUA, WHITE = range(8, 16)

# An ordered-dither matrix: two colours mixed in 17 steps.
BAYER = [[0, 8, 2, 10], [12, 4, 14, 6], [3, 11, 1, 9], [15, 7, 13, 5]]


def mix(x, y, dark, light, share):
    """light where the dither threshold lies below share (0..1), else dark."""
    return light if BAYER[y % 4][x % 4] < share * 16 else dark


def floppy(x, y, left, top, size):
    """A floppy disk of size x size pixels at left, top; None outside it."""
    u, v = x - left, y - top
    if not (0 <= u < size and 0 <= v < size):
        return None
    if u in (0, size - 1) or v in (0, size - 1):
        return BLACK
    if size // 4 <= u < size * 3 // 4 and v < size * 3 // 8:
        return SILVER if not (size // 2 <= u < size * 5 // 8 and 2 <= v < size * 5 // 16) else NAVY
    if size // 8 <= u < size * 7 // 8 and v >= size // 2:
        return WHITE if (v - size // 2) % 4 else SILVER
    return NAVY


def icon_pixel(x, y):
    return floppy(x, y, 1, 1, 30) or BLUE


def wizard_pixel(x, y, w=118, h=258):
    # Blue above, fading through the dither into navy below; three disks
    # falling into an open box.
    for left, top in ((22, 40), (58, 72), (30, 108)):
        p = floppy(x, y, left, top, 34)
        if p is not None:
            return p
    box_top = 170
    if 14 <= x < 104 and box_top <= y < 236:
        if x in (14, 103) or y in (box_top, 235):
            return BLACK
        # A V on the box's front.
        u = x - 59
        arm = (y - box_top - 12) * 0.62
        if box_top + 12 <= y < 226 and abs(abs(u) - (28 - arm)) < 4:
            return WHITE
        return OLIVE if y < box_top + 6 else YELLOW
    return mix(x, y, BLUE, NAVY, y / h)


def dib(width, height, pixel):
    """A 4-bit bottom-up DIB: header, palette and rows padded to 4 bytes."""
    stride = ((width + 7) // 8) * 4
    rows = []
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(0, width, 2):
            hi = pixel(x, y)
            lo = pixel(x + 1, y) if x + 1 < width else 0
            row.append(hi << 4 | lo)
        row.extend(bytes(stride - len(row)))
        rows.append(bytes(row))
    bits = b"".join(rows)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    return palette, bits


def rle4_row(pixels):
    """One row in 4-bit run-length encoding: a run of pixels that alternate
    between two colours as (count, colours), anything else as a literal block
    (0, count, pixels packed two to a byte, padded to a 16-bit boundary)."""
    out, literal = bytearray(), []

    def flush_literal():
        while literal:
            chunk = literal[:255]
            del literal[:255]
            if len(chunk) < 3:  # a literal block holds at least three
                for p in chunk:
                    out.extend((1, p << 4))
                continue
            packed = bytearray()
            for k in range(0, len(chunk), 2):
                packed.append(chunk[k] << 4 | (chunk[k + 1] if k + 1 < len(chunk) else 0))
            if len(packed) % 2:
                packed.append(0)
            out.extend((0, len(chunk)))
            out.extend(packed)

    i = 0
    while i < len(pixels):
        first = pixels[i]
        second = pixels[i + 1] if i + 1 < len(pixels) else first
        end = i
        while end < len(pixels) and end - i < 255 and pixels[end] == (first, second)[(end - i) % 2]:
            end += 1
        if end - i >= 4:
            flush_literal()
            out.extend((end - i, first << 4 | second))
            i = end
        else:
            literal.append(pixels[i])
            i += 1
    flush_literal()
    return out + b"\x00\x00"  # end of line


def bmp_bytes(width, height, pixel):
    """A 4-bit bottom-up bitmap, run-length encoded: the dithered picture
    takes about a third of its plain size, and Setup.exe has to fit on disk 1."""
    palette, _ = dib(width, height, pixel)
    bits = bytearray()
    for y in range(height - 1, -1, -1):
        bits += rle4_row([pixel(x, y) for x in range(width)])
    bits[-2:] = b"\x00\x01"  # the last end of line becomes the end of the bitmap
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 2, len(bits), 2835, 2835, 16, 0)
    offset = 14 + len(info) + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0, offset)
    return header + info + palette + bytes(bits)


def icon_bytes(size, pixel):
    palette, xor = dib(size, size, pixel)
    mask = bytes(size * size // 8)  # fully opaque
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    image = header + palette + xor + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


def main():
    with open("setup.ico", "wb") as f:
        f.write(icon_bytes(32, icon_pixel))
    with open("wizard.bmp", "wb") as f:
        f.write(bmp_bytes(118, 258, wizard_pixel))


if __name__ == "__main__":
    main()
