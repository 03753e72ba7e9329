#!/usr/bin/env python3
"""Writes the module's icon: a 32 x 32, 16-colour picture of an extruded K,
blue as the saver's default colour, drawn from the outline below."""
import struct
import sys

SIZE = 32
# The letter's front outline in icon pixels (x right, y down), and how far
# its back face lies behind it.
OUTLINE = [(5, 4), (11, 4), (11, 13), (19, 4), (26, 4), (16, 15), (27, 27),
           (20, 27), (11, 18), (11, 27), (5, 27)]
DEPTH = (3, 2)

# The standard 16-colour palette; the icon uses black, three blues and white.
PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
           (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
           (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
BLACK, NAVY, GREY, BLUE, WHITE = 0, 4, 8, 12, 15
CLEAR = None


def inside(polygon, x, y):
    """Even-odd test of the pixel centre (x + 0.5, y + 0.5)."""
    px, py = x + 0.5, y + 0.5
    hit = False
    for (x1, y1), (x2, y2) in zip(polygon, polygon[1:] + polygon[:1]):
        if (y1 > py) != (y2 > py) and px < x1 + (py - y1) * (x2 - x1) / (y2 - y1):
            hit = not hit
    return hit


def shifted(polygon, dx, dy):
    return [(x + dx, y + dy) for x, y in polygon]


def draw():
    pixels = [[CLEAR] * SIZE for _ in range(SIZE)]
    steps = max(DEPTH)
    # The solid from back to front: every step of the extrusion in the side
    # colour, the front face last; a black rim where the letter meets the clear.
    for step in range(steps, 0, -1):
        layer = shifted(OUTLINE, DEPTH[0] * step / steps, DEPTH[1] * step / steps)
        for y in range(SIZE):
            for x in range(SIZE):
                if inside(layer, x, y):
                    pixels[y][x] = NAVY
    for y in range(SIZE):
        for x in range(SIZE):
            if inside(OUTLINE, x, y):
                pixels[y][x] = BLUE
    solid = [[p is not CLEAR for p in row] for row in pixels]
    for y in range(SIZE):
        for x in range(SIZE):
            if not solid[y][x]:
                continue
            edge = any(not (0 <= x + dx < SIZE and 0 <= y + dy < SIZE and solid[y + dy][x + dx])
                       for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
            if edge:
                pixels[y][x] = BLACK
    # A highlight along the front's upper left edges.
    for y in range(SIZE):
        for x in range(SIZE):
            if pixels[y][x] == BLUE and (pixels[y - 1][x] == BLACK or pixels[y][x - 1] == BLACK):
                pixels[y][x] = WHITE if (x + y) % 2 == 0 else GREY
    return pixels


def ico(pixels):
    colour_rows, mask_rows = [], []
    for row in reversed(pixels):  # bottom-up, as bitmaps are stored
        nibbles = [BLACK if p is CLEAR else p for p in row]
        colour_rows.append(bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, SIZE, 2)))
        bits = 0
        for p in row:
            bits = (bits << 1) | (1 if p is CLEAR else 0)
        mask_rows.append(bits.to_bytes(SIZE // 8, "big"))
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    image = (struct.pack("<IiiHHIIiiII", 40, SIZE, 2 * SIZE, 1, 4, 0, 0, 0, 0, 16, 0) + palette
             + b"".join(colour_rows) + b"".join(mask_rows))
    header = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    return header + entry + image


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: make_icon.py OUTPUT.ico")
    with open(sys.argv[1], "wb") as out:
        out.write(ico(draw()))
