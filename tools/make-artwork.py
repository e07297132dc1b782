#!/usr/bin/env python3
"""Draws the panel's artwork and writes it as Windows BMP and ICO files.

    panel/res/logo.bmp    bitmap 130: square emblem, 40 x 41 pixels, 4 bits per pixel
    panel/res/banner.bmp  bitmap 132: name banner, 154 x 32 pixels, 4 bits per pixel
    panel/res/orrivan.ico program icon: 32 x 32 and 16 x 16, 16 colours
    applet/res/pendry.ico applet icon: 40 x 41 at 256 colours, and 32 x 32 and 16 x 16 at 16
                          colours, the sizes the shell draws unscaled

Only the 16 VGA colours are used, so the pictures look the same on a 256-colour display where
the bitmaps are mapped to the system palette. The bitmap background is the classic 3D face grey
the dialogs are painted in; the icons have a transparent background instead.

Usage: tools/make-artwork.py [--out ROOT]   (ROOT defaults to the repository root)
The output is deterministic: running the script again gives the same bytes.
"""

import argparse
import os
import struct

# The 16 VGA colours, in the order of the standard 16-colour palette.
VGA = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER = range(8)
GREY, RED, LIME, YELLOW, BLUE, MAGENTA, CYAN, WHITE = range(8, 16)
CLEAR = -1  # transparent pixel of an icon


class Canvas:
    def __init__(self, width, height, fill):
        self.width = width
        self.height = height
        self.px = [[fill] * width for _ in range(height)]

    def rect(self, x0, y0, x1, y1, colour):
        """Fills the half-open rectangle [x0, x1) x [y0, y1), clipped to the canvas."""
        for y in range(max(0, y0), min(self.height, y1)):
            row = self.px[y]
            for x in range(max(0, x0), min(self.width, x1)):
                row[x] = colour

    def rounded(self, x0, y0, x1, y1, radius, colour):
        """A rectangle whose corners are cut on a circle of the given radius."""
        for y in range(max(0, y0), min(self.height, y1)):
            for x in range(max(0, x0), min(self.width, x1)):
                cx = min(max(x, x0 + radius), x1 - 1 - radius)
                cy = min(max(y, y0 + radius), y1 - 1 - radius)
                dx, dy = x - cx, y - cy
                if dx * dx + dy * dy <= radius * radius + radius:
                    self.px[y][x] = colour

    def sheared_glyph(self, glyph, x0, y0, scale, shear, colour):
        """Draws a glyph of '#' cells, each cell scale x scale pixels, slanted: a pixel row
        moves right by shear pixels for every pixel row it sits above the glyph's bottom."""
        height = len(glyph) * scale
        for py in range(height):
            offset = int((height - 1 - py) * shear)
            for gx, cell in enumerate(glyph[py // scale]):
                if cell == '#':
                    self.rect(x0 + gx * scale + offset, y0 + py,
                              x0 + (gx + 1) * scale + offset, y0 + py + 1, colour)


def emblem(c, x0, y0, size_x, size_y, shadow=True):
    """The maker's emblem: a navy tile with a white T and a red sound bar, drawn into the box
    at (x0, y0) of size_x by size_y pixels. Proportions hold from 16 pixels up."""
    def sx(f):
        return x0 + int(round(f * size_x))

    def sy(f):
        return y0 + int(round(f * size_y))

    radius = max(1, size_x // 8)
    if shadow:
        c.rounded(sx(0.06) + 1, sy(0.06) + 1, sx(0.97) + 1, sy(0.97) + 1, radius, GREY)
    c.rounded(sx(0.03), sy(0.03), sx(0.94), sy(0.94), radius, NAVY)
    # The T: a bar across the top and a stem down the middle.
    c.rect(sx(0.20), sy(0.20), sx(0.77), sy(0.34), WHITE)
    c.rect(sx(0.41), sy(0.34), sx(0.56), sy(0.80), WHITE)
    # Sound bars to the right of the stem, rising like a level meter.
    bar_w = max(1, int(round(0.07 * size_x)))
    for i, top in enumerate((0.66, 0.56, 0.46)):
        bx = sx(0.62) + i * (bar_w + max(1, bar_w // 2))
        c.rect(bx, sy(top), bx + bar_w, sy(0.80), RED if i == 2 else CYAN)


GLYPHS = {
    'T': ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."],
    'A': [".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    'V': ["#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."],
    'I': [".###.", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."],
    'S': [".####", "#....", "#....", ".###.", "....#", "....#", "####."],
    'H': ["#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
}


def draw_logo():
    c = Canvas(40, 41, SILVER)
    emblem(c, 1, 1, 38, 39)
    return c


def draw_banner():
    c = Canvas(154, 32, SILVER)
    emblem(c, 2, 3, 26, 26)
    x, scale = 34, 3
    for letter in "TAVISH":
        c.sheared_glyph(GLYPHS[letter], x + 1, 3 + 1, scale, 0.2, GREY)  # drop shadow
        c.sheared_glyph(GLYPHS[letter], x, 3, scale, 0.2, NAVY)
        x += 5 * scale + 4
    c.rect(34, 27, 148, 29, RED)
    return c


def draw_icon(size_x, size_y):
    c = Canvas(size_x, size_y, CLEAR)
    emblem(c, 0, 0, size_x, size_y, shadow=size_x >= 32)
    return c


def rows_bottom_up(canvas):
    return reversed(canvas.px)


def pack_pixels(row, bpp):
    """Packs palette indexes of one row at 4 or 8 bits per pixel, padded to 4 bytes."""
    out = bytearray()
    if bpp == 8:
        out.extend(max(p, 0) for p in row)
    elif bpp == 4:
        for i in range(0, len(row), 2):
            hi = max(row[i], 0)
            lo = max(row[i + 1], 0) if i + 1 < len(row) else 0
            out.append(hi << 4 | lo)
    else:
        raise ValueError(bpp)
    while len(out) % 4:
        out.append(0)
    return bytes(out)


def pack_mask(row):
    """The AND mask of an icon row: 1 where the pixel is transparent, padded to 4 bytes."""
    out = bytearray((len(row) + 7) // 8)
    for x, p in enumerate(row):
        if p == CLEAR:
            out[x // 8] |= 0x80 >> (x % 8)
    while len(out) % 4:
        out.append(0)
    return bytes(out)


def palette_bytes(count):
    colours = VGA + [(0, 0, 0)] * (count - len(VGA))
    return b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in colours[:count])


BI_RGB = 0


def info_header(width, height, bpp, image_size, colours):
    return struct.pack('<IiiHHIIiiII', 40, width, height, 1, bpp, BI_RGB, image_size, 0, 0,
                       colours, 0)


def bmp_bytes(canvas):
    """A plain (uncompressed) 4-bit BMP whose palette holds the 16 VGA colours. Not run-length
    encoded: the display drivers of Windows 95/98 all draw plain DIBs, not all of them RLE ones."""
    pixels = b''.join(pack_pixels(r, 4) for r in rows_bottom_up(canvas))
    pal = palette_bytes(16)
    header = info_header(canvas.width, canvas.height, 4, len(pixels), 16)
    offset = 14 + len(header) + len(pal)
    file_header = struct.pack('<2sIHHI', b'BM', offset + len(pixels), 0, 0, offset)
    return file_header + header + pal + pixels


def icon_image(canvas, bpp):
    colours = 1 << bpp
    xor = b''.join(pack_pixels(r, bpp) for r in rows_bottom_up(canvas))
    mask = b''.join(pack_mask(r) for r in rows_bottom_up(canvas))
    header = info_header(canvas.width, canvas.height * 2, bpp, len(xor) + len(mask), 0)
    return header + palette_bytes(colours) + xor + mask


def ico_bytes(images):
    """images: list of (canvas, bits per pixel)."""
    blobs = [icon_image(c, bpp) for c, bpp in images]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for (c, bpp), blob in zip(images, blobs):
        colour_count = 0 if bpp >= 8 else 1 << bpp
        out += struct.pack('<BBBBHHII', c.width, c.height, colour_count, 0, 1, bpp,
                           len(blob), offset)
        offset += len(blob)
    return out + b''.join(blobs)


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, 'wb') as f:
        f.write(data)
    print(f"{path}: {len(data)} bytes")


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument('--out', default=os.path.dirname(here), help='repository root')
    root = parser.parse_args().out
    write(os.path.join(root, 'panel/res/logo.bmp'), bmp_bytes(draw_logo()))
    write(os.path.join(root, 'panel/res/banner.bmp'), bmp_bytes(draw_banner()))
    write(os.path.join(root, 'panel/res/orrivan.ico'),
          ico_bytes([(draw_icon(32, 32), 4), (draw_icon(16, 16), 4)]))
    write(os.path.join(root, 'applet/res/pendry.ico'), ico_bytes([(draw_icon(40, 41), 8), (draw_icon(32, 32), 4),
                                                          (draw_icon(16, 16), 4)]))


if __name__ == '__main__':
    main()
