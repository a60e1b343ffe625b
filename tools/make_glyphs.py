#!/usr/bin/env python3
"""Draws the glyphs of the settings dialog's list buttons, 16x16 and twice that for 144 dpi and more.

Writes resources/glyphs/{up,down,add,delete,detail}.bmp and the same names with _2x (32x32), 24 bits
per pixel, uncompressed. up, down and detail hold two pictures side by side (32x16, 64x32): the glyph
and its greyed variant for a disabled button. The lower-left pixel of each picture is the see-through
colour, so every picture keeps that corner empty.
Run it again only to change the pictures; the .bmp files are committed."""
import os
import struct
import sys

N = 16  # the glyph's side at 96 dpi: the pictures are designed on this grid
CLEAR = (255, 0, 255)      # see-through
BLACK = (0, 0, 0)
RED = (224, 24, 24)
RED_LIGHT = (255, 110, 100)
YELLOW = (255, 214, 64)
YELLOW_DARK = (176, 128, 0)
YELLOW_LIGHT = (255, 240, 160)
PAPER = (255, 255, 255)
PAPER_LINE = (150, 160, 190)
SKIN = (252, 200, 150)
SKIN_DARK = (180, 110, 60)
PEN = (30, 40, 140)
GREY_DARK = (128, 128, 128)
GREY = (176, 176, 176)
GREY_LIGHT = (255, 255, 255)

# Shapes are given on the 16-unit grid, as tests of a point (u, v) in it; a picture of scale k has
# k pixels a unit and asks each shape at its pixels' centres. Edges, outlines and fine lines stay
# one pixel wide at every scale, so a larger picture is finer, not coarser.


def blank(k):
    return [[CLEAR] * (N * k) for _ in range(N * k)]


def pixels(k, shape):
    """The shape as a test of a pixel of a picture of scale k; False outside the picture."""
    side = N * k
    return lambda x, y: 0 <= x < side and 0 <= y < side and shape((x + 0.5) / k, (y + 0.5) / k)


def fill(px, inside, color):
    for y in range(len(px)):
        for x in range(len(px)):
            if inside(x, y):
                px[y][x] = color


def edge(inside):
    """The pixels of a shape with a 4-neighbour outside it."""
    sides = ((1, 0), (-1, 0), (0, 1), (0, -1))
    return lambda x, y: inside(x, y) and not all(inside(x + dx, y + dy) for dx, dy in sides)


def outline(px, inside, color):
    """Paints every clear pixel next to (4-neighbour) a pixel of the shape."""
    side = len(px)
    for y in range(side):
        for x in range(side):
            if inside(x, y):
                continue
            if any(0 <= x + dx < side and 0 <= y + dy < side and inside(x + dx, y + dy)
                   for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1))):
                px[y][x] = color


def up_shape(u, v):
    # a head from unit 2 to 9, widening by a unit a side per unit down, on a shaft to unit 14
    if 2 < v < 9:
        return abs(u - 8) <= v - 2
    return 9 < v < 14 and 6 < u < 10


def arrow(k, shape, fill_color, light, line):
    px = blank(k)
    inside = pixels(k, shape)
    fill(px, inside, fill_color)
    # a lighter left edge gives the arrow some body
    fill(px, lambda x, y: inside(x, y) and not inside(x - 1, y), light)
    outline(px, inside, line)
    return px


def greyed(px):
    """The greyed variant: outline in grey, the inside light, as disabled glyphs look."""
    side = len(px)
    out = [[CLEAR] * side for _ in range(side)]
    for y in range(side):
        for x in range(side):
            c = px[y][x]
            if c == CLEAR:
                continue
            out[y][x] = GREY_DARK if c in (BLACK, YELLOW_DARK, SKIN_DARK, PEN, PAPER_LINE) else GREY
    # the etched highlight one pixel down and right of the dark pixels, where it falls on nothing
    for y in range(side - 1, 0, -1):
        for x in range(side - 1, 0, -1):
            if out[y][x] == CLEAR and out[y - 1][x - 1] == GREY_DARK and not (x == 0 and y == side - 1):
                out[y][x] = GREY_LIGHT
    return out


def unit(a, lo, hi):
    """Whether the unit a coordinate falls in is one of lo to hi."""
    return lo <= int(a) <= hi


def folder(k):
    px = blank(k)
    body = lambda u, v: unit(u, 1, 14) and unit(v, 5, 13)
    tab = lambda u, v: unit(u, 2, 6) and unit(v, 3, 4)
    inside = pixels(k, lambda u, v: body(u, v) or tab(u, v))
    fill(px, inside, YELLOW)
    # the front flap's upper edge, a line along the top of unit 6
    fill(px, lambda x, y: y == 6 * k and unit((x + 0.5) / k, 2, 13), YELLOW_LIGHT)
    fill(px, edge(inside), YELLOW_DARK)
    return px


def cross(k):
    px = blank(k)
    # two strokes a unit thick from unit 3 to 13, the falling one stopping short at the right
    stroke = lambda u, v: 3 < v < 13 and ((0 <= u - v <= 1 and u < 13) or (15 <= u + v <= 16 and u > 3))
    fill(px, pixels(k, stroke), BLACK)
    return px


def detail(k):
    px = blank(k)
    # a sheet of paper with lines of writing
    paper = pixels(k, lambda u, v: unit(u, 1, 10) and unit(v, 1, 14))
    fill(px, paper, PAPER)
    fill(px, edge(paper), BLACK)
    for line, last in ((4, 8), (6, 8), (8, 8), (10, 5)):
        fill(px, lambda x, y: y == line * k and unit((x + 0.5) / k, 3, last), PAPER_LINE)
    # the pen, held upright over the last line: two units thick, one towards the nib
    pen = lambda u, v: 3 < v < 10 and 17 <= u + v <= (18 if v < 8 else 17)
    fill(px, pixels(k, pen), PEN)
    fill(px, pixels(k, lambda u, v: unit(u, 6, 6) and unit(v, 10, 10)), BLACK)  # the nib on the paper
    # the hand round the pen: a rounded block with a dark edge
    hand = pixels(k, lambda u, v: (unit(u, 9, 14) and unit(v, 9, 13)) or (unit(u, 10, 13) and unit(v, 8, 8))
                  or (unit(u, 8, 8) and unit(v, 10, 11)))
    fill(px, hand, SKIN)
    fill(px, edge(hand), SKIN_DARK)
    fill(px, lambda x, y: x in (10 * k, 12 * k) and unit((y + 0.5) / k, 11, 11), SKIN_DARK)  # fingers
    return px


def write_bmp(path, pictures):
    side = len(pictures[0])
    width = side * len(pictures)
    row_bytes = (width * 3 + 3) & ~3
    data = bytearray()
    for y in range(side - 1, -1, -1):  # bottom row first
        row = bytearray()
        for pic in pictures:
            for x in range(side):
                r, g, b = pic[y][x]
                row += bytes((b, g, r))
        row += b"\0" * (row_bytes - len(row))
        data += row
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 14 + 40)
    info = struct.pack("<IiiHHIIiiII", 40, width, side, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


def main():
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "glyphs")
    os.makedirs(root, exist_ok=True)
    for k, suffix in ((1, ""), (2, "_2x")):
        up = arrow(k, up_shape, RED, RED_LIGHT, BLACK)
        down = arrow(k, lambda u, v: up_shape(u, N - v), RED, RED_LIGHT, BLACK)
        hand = detail(k)
        glyphs = {"up": [up, greyed(up)], "down": [down, greyed(down)], "add": [folder(k)], "delete": [cross(k)],
                  "detail": [hand, greyed(hand)]}
        for name, pictures in glyphs.items():
            for pic in pictures:
                assert pic[-1][0] == CLEAR, name + ": the lower-left pixel must stay see-through"
            write_bmp(os.path.join(root, name + suffix + ".bmp"), pictures)
    return 0


if __name__ == "__main__":
    sys.exit(main())
