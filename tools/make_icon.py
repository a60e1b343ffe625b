#!/usr/bin/env python3
"""Draws the program's icon: a small green panel of four cells with the red cursor on one.

Writes resources/Zumaro.ico with 16x16 and 32x32 images, 32-bit with an AND mask, and 20, 24, 40, 48
and 64 as PNG for screens of 120, 144 and 192 dpi; the same picture in 16 colours (4-bit) as
resources/ZumaroTray.ico for the notification area (16 and 32; 20 and 24 in 32 bits), and a
32 x 32 256-colour bitmap of it, resources/About.bmp, for the About dialog.
Run it again only to change the picture; the .ico files are committed."""
import os
import struct
import sys
import zlib

GREEN = (0, 128, 0)
DARK = (0, 80, 0)
RED = (255, 0, 0)
CELL = (236, 244, 236)


def picture(size):
    """Rows of (r, g, b, a), top row first."""
    px = [[(0, 0, 0, 0)] * size for _ in range(size)]
    m = max(1, size // 16)  # one design pixel
    inner0, inner1 = m, size - m  # panel bounds
    for y in range(inner0, inner1):
        for x in range(inner0, inner1):
            edge = x in (inner0, inner1 - 1) or y in (inner0, inner1 - 1)
            px[y][x] = (*(DARK if edge else GREEN), 255)
    # two by two cells
    span = inner1 - inner0
    cell = (span - 3 * 2 * m) // 2
    for cy in range(2):
        for cx in range(2):
            x0 = inner0 + 2 * m + cx * (cell + 2 * m)
            y0 = inner0 + 2 * m + cy * (cell + 2 * m)
            for y in range(y0, y0 + cell):
                for x in range(x0, x0 + cell):
                    px[y][x] = (*CELL, 255)
            if (cx, cy) == (0, 0):  # the cursor cell
                for y in range(y0 - m, y0 + cell + m):
                    for x in range(x0 - m, x0 + cell + m):
                        inside = x0 <= x < x0 + cell and y0 <= y < y0 + cell
                        if not inside:
                            px[y][x] = (*RED, 255)
    return px


def image_entry(size):
    px = picture(size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = b''.join(bytes((b, g, r, a)) for row in reversed(px) for (r, g, b, a) in row)
    return header + xor + and_mask(px)


def and_mask(px):
    size = len(px)
    row_bytes = ((size + 31) // 32) * 4
    mask = b''
    for row in reversed(px):
        out = bytearray(row_bytes)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                out[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(out)
    return mask


def image_entry_16(size):
    """The same picture with a 16-entry palette, two pixels a byte."""
    px = picture(size)
    palette = [(0, 0, 0)]  # index 0: what transparent pixels hold
    for row in px:
        for (r, g, b, a) in row:
            if a and (r, g, b) not in palette:
                palette.append((r, g, b))
    assert len(palette) <= 16
    palette += [(0, 0, 0)] * (16 - len(palette))
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    pal = b''.join(bytes((b, g, r, 0)) for (r, g, b) in palette)
    row_bytes = ((size * 4 + 31) // 32) * 4
    xor = b''
    for row in reversed(px):
        out = bytearray(row_bytes)
        for x, (r, g, b, a) in enumerate(row):
            index = palette.index((r, g, b)) if a else 0
            out[x // 2] |= index << (4 if x % 2 == 0 else 0)
        xor += bytes(out)
    return header + pal + xor + and_mask(px)


def png_entry(size):
    """The picture as a PNG image, which icon files hold from Windows Vista on: a fraction of the
    bytes of a bitmap at the larger sizes."""
    px = picture(size)
    raw = b''.join(b'\0' + bytes(v for p in row for v in p) for row in px)

    def chunk(kind, body):
        return struct.pack('>I', len(body)) + kind + body + struct.pack('>I', zlib.crc32(kind + body))

    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0)) +
            chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))


def write_ico(path, entries):
    """entries: (size, image bytes, bits per pixel, palette colours)."""
    data = struct.pack('<HHH', 0, 1, len(entries))
    offset = 6 + 16 * len(entries)
    for s, img, bits, colours in entries:
        data += struct.pack('<BBBBHHII', s, s, colours, 0, 1, bits, len(img), offset)
        offset += len(img)
    images = [img for _, img, _, _ in entries]
    data += b''.join(images)
    with open(path, 'wb') as f:
        f.write(data)


def about_bmp(size=32, ground=(255, 0, 255)):
    """An 8-bit bitmap with a palette; what the icon leaves transparent is magenta, drawn as the
    dialog's own colour."""
    px = [[(r, g, b) if a else ground for (r, g, b, a) in row] for row in picture(size)]
    palette = []
    for row in px:
        for c in row:
            if c not in palette:
                palette.append(c)
    palette += [(0, 0, 0)] * (256 - len(palette))
    row_bytes = (size + 3) // 4 * 4
    bits = b''.join(bytes(palette.index(c) for c in row) + bytes(row_bytes - size) for row in reversed(px))
    info = struct.pack('<IiiHHIIiiII', 40, size, size, 1, 8, 0, len(bits), 2835, 2835, 256, 0)
    pal = b''.join(bytes((b, g, r, 0)) for (r, g, b) in palette)
    offset = 14 + len(info) + len(pal)
    return struct.pack('<2sIHHI', b'BM', offset + len(bits), 0, 0, offset) + info + pal + bits


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), '..', 'resources')
    # 16 and 32 for 96 dpi; the others for 120, 144 and 192 (small and large icons at each).
    write_ico(os.path.join(folder, 'Zumaro.ico'),
              [(s, image_entry(s), 32, 0) for s in (16, 32)] + [(s, png_entry(s), 32, 0) for s in (20, 24, 40, 48, 64)])
    # The notification area's small icon at each of those scales: 16 and 32 in 16 colours; the sizes
    # of 120 and 144 dpi in 32 bits with alpha, since a tray that draws the icon at its own size
    # scales a 16-colour picture and its mask apart (under Wine a black bar along the bottom).
    write_ico(os.path.join(folder, 'ZumaroTray.ico'),
              [(s, image_entry_16(s), 4, 16) for s in (16, 32)] + [(s, image_entry(s), 32, 0) for s in (20, 24)])
    with open(os.path.join(folder, 'About.bmp'), 'wb') as f:
        f.write(about_bmp())


if __name__ == '__main__':
    main()
