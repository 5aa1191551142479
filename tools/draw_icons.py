#!/usr/bin/env python3
"""Draws Corvelle's icons and writes them as .ico files into resources/icons.

Plain Python, no libraries: each picture is drawn into a small RGBA canvas
and written as a 32-bit icon image with its transparency mask. Run it again
after changing a picture, and commit the .ico files it writes.

    tools/draw_icons.py

The check-box icons go into an image list of the system's default colour
depth (16 colours), so they use only colours of the standard 16-colour
palette and show the same at any depth.
"""
import math
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "resources", "icons")

WHITE = (255, 255, 255)
GREY = (128, 128, 128)
GREEN = (0, 128, 0)


class Canvas:
    """A square picture of RGBA pixels, transparent until painted."""

    def __init__(self, size):
        self.size = size
        self.pixels = [[None] * size for _ in range(size)]

    def put(self, x, y, colour):
        if 0 <= x < self.size and 0 <= y < self.size:
            self.pixels[y][x] = colour

    def rect(self, left, top, right, bottom, colour):
        """Fills the rectangle, both corners included."""
        for y in range(top, bottom + 1):
            for x in range(left, right + 1):
                self.put(x, y, colour)

    def frame(self, left, top, right, bottom, colour):
        for x in range(left, right + 1):
            self.put(x, top, colour)
            self.put(x, bottom, colour)
        for y in range(top, bottom + 1):
            self.put(left, y, colour)
            self.put(right, y, colour)

    def ellipse(self, cx, cy, rx, ry, colour, max_y=None):
        """Fills the ellipse around a pixel-centre point, optionally only down to max_y."""
        for y in range(self.size):
            if max_y is not None and y > max_y:
                break
            for x in range(self.size):
                dx = (x + 0.5 - cx) / rx
                dy = (y + 0.5 - cy) / ry
                if dx * dx + dy * dy <= 1.0:
                    self.put(x, y, colour)

    def line(self, points, colour, thickness=1):
        """A polyline through whole-pixel points, `thickness` pixels high."""
        for (x0, y0), (x1, y1) in zip(points, points[1:]):
            steps = max(abs(x1 - x0), abs(y1 - y0))
            for i in range(steps + 1):
                x = round(x0 + (x1 - x0) * i / steps)
                y = round(y0 + (y1 - y0) * i / steps)
                for t in range(thickness):
                    self.put(x, y + t, colour)


def icon_image(canvas):
    """One image of an .ico file: BITMAPINFOHEADER, BGRA rows, AND mask."""
    size = canvas.size
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = bytearray()
    mask = bytearray()
    mask_row_bytes = ((size + 31) // 32) * 4
    for y in reversed(range(size)):  # bottom-up
        row = bytearray(mask_row_bytes)
        for x in range(size):
            pixel = canvas.pixels[y][x]
            if pixel is None:
                colour += bytes((0, 0, 0, 0))
                row[x // 8] |= 0x80 >> (x % 8)
            else:
                r, g, b = pixel
                colour += bytes((b, g, r, 255))
        mask += row
    return header + bytes(colour) + bytes(mask)


def write_icon(name, canvases):
    images = [icon_image(c) for c in canvases]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for canvas, image in zip(canvases, images):
        size = canvas.size if canvas.size < 256 else 0
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    for image in images:
        out += image
    path = os.path.join(OUT, name)
    with open(path, "wb") as f:
        f.write(out)
    print("wrote", os.path.relpath(path))


def check_box():
    """The empty check box: a grey-edged white square."""
    c = Canvas(16)
    c.rect(2, 2, 14, 14, WHITE)
    c.frame(2, 2, 14, 14, GREY)
    return c


def check_box_ticked():
    """The same square with a green tick."""
    c = check_box()
    c.line([(4, 7), (6, 9), (12, 3)], GREEN, thickness=3)
    return c


def application_icon(size):
    """An address book: a blue cover with rings on its spine and a person on the page."""
    s = size / 32.0

    def px(v):
        return int(round(v * s))

    cover = (30, 90, 170)
    spine = (20, 60, 120)
    page = (250, 250, 245)
    person = (40, 110, 60)
    ring = (200, 200, 200)
    c = Canvas(size)
    c.rect(px(5), px(2), px(27) - 1, px(30) - 1, cover)
    c.rect(px(5), px(2), px(9) - 1, px(30) - 1, spine)
    c.rect(px(11), px(5), px(25) - 1, px(27) - 1, page)
    c.ellipse(px(18), px(12), max(2.3, 4 * s), max(2.3, 4 * s), person)
    c.ellipse(px(18), px(25), max(2.5, 6.5 * s), max(2.0, 6 * s), person, max_y=px(25) - 1)
    for y in (6, 12, 18, 24):
        c.rect(px(3), px(y), px(8) - 1, px(y + 2) - 1, ring)
    return c


def main():
    os.makedirs(OUT, exist_ok=True)
    write_icon("application.ico", [application_icon(16), application_icon(32)])
    write_icon("check_empty.ico", [check_box()])
    write_icon("check_ticked.ico", [check_box_ticked()])
    return 0


if __name__ == "__main__":
    sys.exit(main())
