#!/usr/bin/env python3
"""Draws the launch sprite: a chubby little rocket with a square porthole and a flame.

Writes resources/Zumaro.bmp, 64x64, 8 bits per pixel with a 256-entry colour table, uncompressed.
Index 0 is black and is the see-through background; nothing in the rocket is black, because the
window is shaped by tracing the non-black pixels. The launched program's icon is drawn over the
24x24 porthole at x 20..43, y 7..30, so the porthole is a plain light colour.
Run it again only to change the picture; the .bmp is committed."""
import os
import struct
import sys

SIZE = 64
# (r, g, b); the position is the colour-table index, and 0 must stay black.
PALETTE = [
    (0, 0, 0),        # 0 background, see-through
    (16, 16, 48),     # 1 outline
    (244, 242, 236),  # 2 body
    (204, 206, 220),  # 3 body shade
    (226, 52, 60),    # 4 red: nose, fins, band
    (168, 30, 44),    # 5 red shade
    (96, 118, 150),   # 6 porthole ring
    (150, 170, 196),  # 7 ring highlight, rivets
    (222, 238, 252),  # 8 porthole glass
    (120, 124, 138),  # 9 nozzle
    (255, 150, 36),   # 10 flame outside
    (255, 226, 80),   # 11 flame inside
    (255, 252, 220),  # 12 flame core
]
OUTLINE, BODY, BODY_SHADE, RED, RED_SHADE, RING, RING_LIGHT, GLASS, NOZZLE, \
    FLAME, FLAME_IN, FLAME_CORE = range(1, 13)

MID = 32  # the rocket is mirror-symmetric about the line between columns 31 and 32
WIN_X0, WIN_Y0, WIN_N = 20, 7, 24  # the porthole; the icon goes here


def body_half_width(y):
    """Half the body's width at row y (pixel centres), 0 outside it."""
    cy = y + 0.5
    top, shoulder, waist, bottom = 0.5, 18.0, 31.0, 45.0
    radius = 21.0
    if cy < top or cy > bottom:
        return 0.0
    if cy < shoulder:
        # A blunt dome (a superellipse), so the porthole's top corners still sit inside the body.
        t = (shoulder - cy) / (shoulder - top)
        return radius * max(0.0, 1 - t ** 3) ** (1 / 3)
    if cy <= waist:
        return radius
    return radius - 7.0 * (cy - waist) / (bottom - waist)


def in_body(x, y):
    return abs(x + 0.5 - MID) <= body_half_width(y)


def in_polygon(px, py, points):
    inside = False
    j = len(points) - 1
    for i, (xi, yi) in enumerate(points):
        xj, yj = points[j]
        if (yi > py) != (yj > py) and px < (xj - xi) * (py - yi) / (yj - yi) + xi:
            inside = not inside
        j = i
    return inside


# The left fin; the right one is its mirror image.
FIN = [(13.0, 24.0), (2.0, 40.0), (2.0, 53.0), (7.0, 53.0), (17.0, 43.0)]


def in_fin(x, y):
    px, py = x + 0.5, y + 0.5
    if px > MID:
        px = 2 * MID - px
    return in_polygon(px, py, FIN)


def in_nozzle(x, y):
    cy = y + 0.5
    if not 44.0 <= cy <= 49.0:
        return False
    return abs(x + 0.5 - MID) <= 7.0 + (cy - 44.0) * 0.6


def flame_half_width(y, scale):
    """A teardrop hanging under the nozzle; scale < 1 gives the hotter inner layers."""
    cy = y + 0.5
    top, tip = 48.0, 48.0 + 14.5 * scale
    if cy < top or cy > tip:
        return 0.0
    t = (cy - top) / (tip - top)
    return 9.0 * scale * (1 - t) ** 0.9 * (1 + 0.9 * t)


def in_flame(x, y, scale=1.0):
    return abs(x + 0.5 - MID) <= flame_half_width(y, scale)


def in_ring(x, y):
    """The porthole's frame: the porthole grown by 3 pixels, corners rounded."""
    x0, y0, x1, y1 = WIN_X0 - 3, WIN_Y0 - 3, WIN_X0 + WIN_N + 2, WIN_Y0 + WIN_N + 2
    if not (x0 <= x <= x1 and y0 <= y <= y1):
        return False
    r = 3
    dx = max(x0 + r - x, 0, x - (x1 - r))
    dy = max(y0 + r - y, 0, y - (y1 - r))
    return dx * dx + dy * dy <= r * r + 1


def in_window(x, y):
    return WIN_X0 <= x < WIN_X0 + WIN_N and WIN_Y0 <= y < WIN_Y0 + WIN_N


def paint(px, shape, colour, outline=True):
    """Fills shape; its own edge pixels become outline, so overlapping parts stay distinct."""
    for y in range(SIZE):
        for x in range(SIZE):
            if not shape(x, y):
                continue
            edge = outline and any(
                not (0 <= nx < SIZE and 0 <= ny < SIZE) or not shape(nx, ny)
                for nx, ny in ((x - 1, y), (x + 1, y), (x, y - 1), (x, y + 1)))
            px[y][x] = OUTLINE if edge else colour(x, y)


def picture():
    """Rows of colour-table indices, top row first."""
    px = [[0] * SIZE for _ in range(SIZE)]

    paint(px, in_flame, lambda x, y: FLAME)
    paint(px, lambda x, y: in_flame(x, y, 0.68), lambda x, y: FLAME_IN, outline=False)
    paint(px, lambda x, y: in_flame(x, y, 0.36), lambda x, y: FLAME_CORE, outline=False)

    # Fins are shaded on the side away from the light (which comes from the upper left).
    paint(px, in_fin, lambda x, y: RED_SHADE if x >= MID else RED)
    paint(px, in_nozzle, lambda x, y: NOZZLE)

    def body_colour(x, y):
        cy = y + 0.5
        right = x + 0.5 - MID > body_half_width(y) - 5
        if cy < 5.0 or 36.0 <= cy < 40.0:  # the nose cap and the band under the porthole
            return RED_SHADE if right else RED
        return BODY_SHADE if right else BODY
    paint(px, in_body, body_colour)

    def ring_colour(x, y):
        # Rivets halfway along each side, and a lighter upper-left edge.
        x0, y0 = WIN_X0 - 2, WIN_Y0 - 2
        x1, y1 = WIN_X0 + WIN_N + 1, WIN_Y0 + WIN_N + 1
        mid = (MID - 1, MID)
        midy = (WIN_Y0 + WIN_N // 2 - 1, WIN_Y0 + WIN_N // 2)
        if (y in (y0, y1) and x in mid) or (x in (x0, x1) and y in midy):
            return RING_LIGHT
        return RING
    paint(px, in_ring, ring_colour)
    paint(px, in_window, lambda x, y: GLASS, outline=False)

    return px


def bmp(px):
    palette = PALETTE + [(0, 0, 0)] * (256 - len(PALETTE))
    table = b''.join(bytes((b, g, r, 0)) for (r, g, b) in palette)
    # 64 pixels of one byte each: already a multiple of four, so rows need no padding.
    pixels = b''.join(bytes(row) for row in reversed(px))
    offset = 14 + 40 + len(table)
    info = struct.pack('<IiiHHIIiiII', 40, SIZE, SIZE, 1, 8, 0, len(pixels), 2835, 2835, 256, 0)
    head = struct.pack('<2sIHHI', b'BM', offset + len(pixels), 0, 0, offset)
    return head + info + table + pixels


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), '..', 'resources', 'Zumaro.bmp')
    with open(out, 'wb') as f:
        f.write(bmp(picture()))


if __name__ == '__main__':
    main()
