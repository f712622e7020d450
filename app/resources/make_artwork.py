#!/usr/bin/env python3
"""Draws Talvoren's artwork and writes it in the layouts the resource compiler embeds.

The picture, a fare display board with an upward arrow ("version up"), is
described once as shapes on a unit square and rendered at every size:
  icon_32_mono.bin  RT_ICON 32x32, 1 bit per pixel   (image 30001)
  icon_32_16c.bin   RT_ICON 32x32, 4 bits per pixel  (image 30002)
  icon_16_16c.bin   RT_ICON 16x16, 4 bits per pixel  (image 30003)
  icons.grp         RT_GROUP_ICON directory of the three images, in that order
  image1.bmp        the main window's picture: 208x208, 24 bits, uncompressed
Usage: make_artwork.py OUTPUT_FOLDER
"""
import math
import os
import struct
import sys

# Icon images in the order of the group, with their resource identifiers.
ICON_IMAGES = [
    ("icon_32_mono.bin", 32, 1, 30001),
    ("icon_32_16c.bin", 32, 4, 30002),
    ("icon_16_16c.bin", 16, 4, 30003),
]
PICTURE_SIZE = 208

# The standard 16-colour palette, so that the 4-bit images look the same on any display.
VGA16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
MONO = [(0, 0, 0), (255, 255, 255)]

# Each part's colour in the full-colour picture and in the 16- and 2-colour icons.
INKS = {
    "housing":    ((70, 74, 82),    (128, 128, 128), (0, 0, 0)),
    "face":       ((16, 16, 20),    (0, 0, 0),       (0, 0, 0)),
    "led":        ((255, 176, 0),   (255, 255, 0),   (255, 255, 255)),
    "fare":       ((255, 64, 32),   (255, 0, 0),     (255, 255, 255)),
    "arrow_edge": ((255, 255, 255), (255, 255, 255), (255, 255, 255)),
    "arrow":      ((0, 150, 60),    (0, 128, 0),     (0, 0, 0)),
}


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x < x1 and y0 <= y < y1


def up_arrow(cx, tip, head_base, bottom, head_half, shaft_half):
    def inside(x, y):
        if head_base <= y < bottom:
            return abs(x - cx) < shaft_half
        if tip <= y < head_base:
            return abs(x - cx) < head_half * (y - tip) / (head_base - tip)
        return False
    return inside


def led_row(y0, y1, x0, x1, cells, gap):
    width = (x1 - x0) / cells
    def inside(x, y):
        if not (y0 <= y < y1 and x0 <= x < x1):
            return False
        return (x - x0) % width < width * (1 - gap)
    return inside


def up_arrow_outline(cx, tip, head_base, bottom, head_half, shaft_half, margin):
    """The same arrow widened by margin on every side, its slanted edges parallel to the arrow's."""
    slope = head_half / (head_base - tip)
    outer_tip = tip - margin * math.hypot(1, slope) / slope
    outer_base = head_base + margin
    return up_arrow(cx, outer_tip, outer_base, bottom + margin,
                    slope * (outer_base - outer_tip), shaft_half + margin)


ARROW = (0.74, 0.36, 0.64, 0.97, 0.21, 0.075)

# Back to front; the last shape that covers a point gives its ink.
SHAPES = [
    ("housing", rect(0.03, 0.10, 0.97, 0.74)),
    ("face", rect(0.09, 0.17, 0.91, 0.67)),
    ("led", led_row(0.24, 0.36, 0.15, 0.85, 4, 0.25)),
    ("fare", led_row(0.46, 0.58, 0.15, 0.55, 2, 0.3)),
    ("arrow_edge", up_arrow_outline(*ARROW, margin=0.045)),
    ("arrow", up_arrow(*ARROW)),
]


def ink_at(x, y):
    found = None
    for ink, inside in SHAPES:
        if inside(x, y):
            found = ink
    return found


def icon_pixels(size, column):
    """Rows top-down of colours, None where the icon is transparent; one sample per pixel."""
    rows = []
    for py in range(size):
        inks = [ink_at((px + 0.5) / size, (py + 0.5) / size) for px in range(size)]
        rows.append([INKS[ink][column] if ink else None for ink in inks])
    return rows


def picture_pixels(size, background, samples=4):
    """Rows top-down of colours; each pixel averages samples x samples points for smooth edges."""
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            total = [0, 0, 0]
            for sy in range(samples):
                for sx in range(samples):
                    ink = ink_at((px + (sx + 0.5) / samples) / size,
                                 (py + (sy + 0.5) / samples) / size)
                    colour = INKS[ink][0] if ink else background
                    total = [t + c for t, c in zip(total, colour)]
            row.append(tuple(round(t / samples ** 2) for t in total))
        rows.append(row)
    return rows


def packed_rows(indices, bits):
    """Bottom-up rows of palette indices packed MSB first, each padded to 4 bytes."""
    out = bytearray()
    for row in reversed(indices):
        value, filled, line = 0, 0, bytearray()
        for index in row:
            value = (value << bits) | index
            filled += bits
            if filled == 8:
                line.append(value)
                value, filled = 0, 0
        if filled:
            line.append(value << (8 - filled))
        line.extend(b"\0" * (-len(line) % 4))
        out += line
    return bytes(out)


def bitmap_info(width, height, bits, image_size):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, image_size, 0, 0, 0, 0)


def icon_image(size, bits):
    """An RT_ICON payload: header with doubled height, palette, colour bits, AND mask."""
    palette = MONO if bits == 1 else VGA16
    column = 2 if bits == 1 else 1
    pixels = icon_pixels(size, column)
    colours = [[palette.index(p) if p else 0 for p in row] for row in pixels]
    mask = [[0 if p else 1 for p in row] for row in pixels]
    xor_bits = packed_rows(colours, bits)
    and_bits = packed_rows(mask, 1)
    header = bitmap_info(size, 2 * size, bits, len(xor_bits) + len(and_bits))
    quads = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    return header + quads + xor_bits + and_bits


def icon_group(images):
    """The RT_GROUP_ICON directory: one entry per image, naming it by resource identifier."""
    out = struct.pack("<HHH", 0, 1, len(images))
    for size, bits, payload, ident in images:
        out += struct.pack("<BBBBHHIH", size, size, 1 << bits, 0, 1, bits, len(payload), ident)
    return out


def picture():
    """A .bmp file; the resource compiler keeps the DIB behind its 14-byte file header."""
    pixels = picture_pixels(PICTURE_SIZE, (255, 255, 255))
    data = b"".join(bytes(c for r, g, b in row for c in (b, g, r)) for row in reversed(pixels))
    info = bitmap_info(PICTURE_SIZE, PICTURE_SIZE, 24, len(data))
    offset = 14 + len(info)
    return struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset) + info + data


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_artwork.py OUTPUT_FOLDER")
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    group = []
    for name, size, bits, ident in ICON_IMAGES:
        payload = icon_image(size, bits)
        group.append((size, bits, payload, ident))
        with open(os.path.join(folder, name), "wb") as f:
            f.write(payload)
    with open(os.path.join(folder, "icons.grp"), "wb") as f:
        f.write(icon_group(group))
    with open(os.path.join(folder, "image1.bmp"), "wb") as f:
        f.write(picture())


if __name__ == "__main__":
    main()
