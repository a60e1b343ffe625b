#!/usr/bin/env python3
"""Draws the 16x16 glyphs of the settings dialog's list buttons.

Writes resources/glyphs/{up,down,add,delete,detail}.bmp, 24 bits per pixel, uncompressed.
up, down and detail hold two pictures side by side (32x16): the glyph and its greyed variant for a
disabled button. The lower-left pixel of each picture is the see-through colour, so every picture
keeps that corner empty.
Run it again only to change the pictures; the .bmp files are committed."""
import os
import struct
import sys

N = 16
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


def blank():
    return [[CLEAR] * N for _ in range(N)]


def outline(px, inside, color):
    """Paints every clear pixel next to (4-neighbour) a pixel of the shape."""
    for y in range(N):
        for x in range(N):
            if inside(x, y):
                continue
            if any(0 <= x + dx < N and 0 <= y + dy < N and inside(x + dx, y + dy)
                   for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1))):
                px[y][x] = color


def up_shape(x, y):
    # a head from row 2 to 8, widening by one pixel a side per row, on a shaft to row 13
    if 2 <= y <= 8:
        half = y - 2
        return 7 - half <= x <= 8 + half
    return 9 <= y <= 13 and 6 <= x <= 9


def arrow(shape, fill, light, line):
    px = blank()
    for y in range(N):
        for x in range(N):
            if shape(x, y):
                px[y][x] = fill
    # a lighter left edge gives the arrow some body
    for y in range(N):
        for x in range(N):
            if shape(x, y) and not shape(x - 1, y):
                px[y][x] = light
    outline(px, shape, line)
    return px


def greyed(px):
    """The greyed variant: outline in grey, the inside light, as disabled glyphs look."""
    out = blank()
    for y in range(N):
        for x in range(N):
            c = px[y][x]
            if c == CLEAR:
                continue
            out[y][x] = GREY_DARK if c in (BLACK, YELLOW_DARK, SKIN_DARK, PEN, PAPER_LINE) else GREY
    # the etched highlight one pixel down and right of the dark pixels, where it falls on nothing
    for y in range(N - 1, 0, -1):
        for x in range(N - 1, 0, -1):
            if out[y][x] == CLEAR and out[y - 1][x - 1] == GREY_DARK and not (x == 0 and y == N - 1):
                out[y][x] = GREY_LIGHT
    return out


def folder():
    px = blank()
    body = lambda x, y: 1 <= x <= 14 and 5 <= y <= 13
    tab = lambda x, y: 2 <= x <= 6 and 3 <= y <= 4
    shape = lambda x, y: body(x, y) or tab(x, y)
    for y in range(N):
        for x in range(N):
            if shape(x, y):
                px[y][x] = YELLOW
    for x in range(2, 14):
        px[6][x] = YELLOW_LIGHT  # the front flap's upper edge
    for y in range(N):
        for x in range(N):
            if shape(x, y) and (not shape(x - 1, y) or not shape(x + 1, y) or not shape(x, y - 1)
                                or not shape(x, y + 1)):
                px[y][x] = YELLOW_DARK
    return px


def cross():
    px = blank()
    for i in range(3, 13):
        for d in (0, 1):
            px[i][i + d - (1 if i == 12 and d else 0)] = BLACK
            px[i][15 - i - d + (1 if i == 12 and d else 0)] = BLACK
    return px


def detail():
    px = blank()
    # a sheet of paper with lines of writing
    for y in range(1, 15):
        for x in range(1, 11):
            px[y][x] = BLACK if x in (1, 10) or y in (1, 14) else PAPER
    for y in (4, 6, 8, 10):
        for x in range(3, 9 if y != 10 else 6):
            px[y][x] = PAPER_LINE
    # the pen, held upright over the last line
    for i, (x, y) in enumerate([(13, 3), (12, 4), (11, 5), (10, 6), (9, 7), (8, 8), (7, 9)]):
        px[y][x] = PEN
        if i < 5:
            px[y][x + 1] = PEN
    px[10][6] = BLACK  # the nib on the paper
    # the hand round the pen: a rounded block with a dark edge
    hand = lambda x, y: (9 <= x <= 14 and 9 <= y <= 13) or (10 <= x <= 13 and y == 8) or (x == 8 and 10 <= y <= 11)
    for y in range(N):
        for x in range(N):
            if hand(x, y):
                edge = not (hand(x - 1, y) and hand(x + 1, y) and hand(x, y - 1) and hand(x, y + 1))
                px[y][x] = SKIN_DARK if edge else SKIN
    for x in (10, 12):
        px[11][x] = SKIN_DARK  # fingers
    return px


def write_bmp(path, pictures):
    width = N * len(pictures)
    row_bytes = (width * 3 + 3) & ~3
    data = bytearray()
    for y in range(N - 1, -1, -1):  # bottom row first
        row = bytearray()
        for pic in pictures:
            for x in range(N):
                r, g, b = pic[y][x]
                row += bytes((b, g, r))
        row += b"\0" * (row_bytes - len(row))
        data += row
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 14 + 40)
    info = struct.pack("<IiiHHIIiiII", 40, width, N, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


def main():
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "glyphs")
    os.makedirs(root, exist_ok=True)
    up = arrow(up_shape, RED, RED_LIGHT, BLACK)
    down = arrow(lambda x, y: up_shape(x, N - 1 - y), RED, RED_LIGHT, BLACK)
    hand = detail()
    glyphs = {"up": [up, greyed(up)], "down": [down, greyed(down)], "add": [folder()], "delete": [cross()],
              "detail": [hand, greyed(hand)]}
    for name, pictures in glyphs.items():
        for pic in pictures:
            assert pic[N - 1][0] == CLEAR, name + ": the lower-left pixel must stay see-through"
        write_bmp(os.path.join(root, name + ".bmp"), pictures)
    return 0


if __name__ == "__main__":
    sys.exit(main())
