#!/usr/bin/env python3
"""Draws Corvelle's icons and the help banner into resources/icons.

Plain Python, no libraries: each picture is drawn into a small RGBA canvas
and written as a 32-bit icon image with its transparency mask; the banner
is written as a 24-bit bitmap. Run it again after changing a picture, and
commit the files it writes.

    tools/draw_icons.py

The small icons of the menus, the buttons and the check boxes are drawn
on a grid of 16 x 16 and written at every size a display asks for, from
100% to 200% (16, 20, 24, 28 and 32 pixels): each size is drawn anew from
the same shapes, so none is a blurred enlargement of another.

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


# The sizes of the small icons: 16 pixels at 100%, 125%, 150%, 175% and 200%.
SMALL_SIZES = (16, 20, 24, 28, 32)


class Canvas:
    """A square picture of RGBA pixels, transparent until painted.

    Shapes are given on a grid whose unit is `unit` pixels of the picture,
    so that one drawing makes the same picture at several sizes; with a
    unit of 1 every shape lands on exactly the pixels it names.
    """

    def __init__(self, size, height=None, unit=1.0):
        self.size = size  # the width
        self.height = size if height is None else height
        self.unit = unit
        self.pixels = [[None] * size for _ in range(self.height)]

    def edge(self, v):
        """The pixel edge nearest a grid edge."""
        return int(math.floor(v * self.unit + 0.5))

    def pen(self):
        """The width of a grid line in pixels: at least one."""
        return max(1, self.edge(1))

    def put(self, x, y, colour):
        if 0 <= x < self.size and 0 <= y < self.height:
            self.pixels[y][x] = colour

    def where(self, inside, colour):
        """Paints every pixel whose centre, on the grid, satisfies inside(x, y)."""
        for y in range(self.height):
            for x in range(self.size):
                if inside((x + 0.5) / self.unit, (y + 0.5) / self.unit):
                    self.put(x, y, colour)

    def polygon(self, points, colour):
        """Fills a polygon given in pixel-edge coordinates (even-odd rule)."""

        def inside(px, py):
            result = False
            for (x0, y0), (x1, y1) in zip(points, points[1:] + points[:1]):
                if (y0 > py) != (y1 > py) and px < x0 + (py - y0) * (x1 - x0) / (y1 - y0):
                    result = not result
            return result

        self.where(inside, colour)

    def stroke(self, points, radius, colour):
        """A polyline drawn with a round pen of the given radius, in pixel-edge coordinates."""

        def near(px, py):
            for (x0, y0), (x1, y1) in zip(points, points[1:] or points):
                dx, dy = x1 - x0, y1 - y0
                length = dx * dx + dy * dy
                t = 0.0 if length == 0 else max(0.0, min(1.0, ((px - x0) * dx + (py - y0) * dy) / length))
                ex, ey = x0 + t * dx - px, y0 + t * dy - py
                if ex * ex + ey * ey <= radius * radius:
                    return True
            return False

        self.where(near, colour)

    def disc(self, cx, cy, radius, colour):
        self.stroke([(cx, cy)], radius, colour)

    def clear_disc(self, cx, cy, radius):
        """Makes a round hole, transparent again."""
        self.stroke([(cx, cy)], radius, None)

    def fill(self, left, top, right, bottom, colour):
        """Fills pixels from left, top up to right, bottom (not included)."""
        for y in range(top, bottom):
            for x in range(left, right):
                self.put(x, y, colour)

    def rect(self, left, top, right, bottom, colour):
        """Fills the rectangle of grid cells, both corners included."""
        self.fill(self.edge(left), self.edge(top), self.edge(right + 1), self.edge(bottom + 1), colour)

    def frame(self, left, top, right, bottom, colour):
        """The edge of the rectangle of grid cells, one grid line wide."""
        x0, y0, x1, y1 = self.edge(left), self.edge(top), self.edge(right + 1), self.edge(bottom + 1)
        w = self.pen()
        self.fill(x0, y0, x1, y0 + w, colour)
        self.fill(x0, y1 - w, x1, y1, colour)
        self.fill(x0, y0, x0 + w, y1, colour)
        self.fill(x1 - w, y0, x1, y1, colour)

    def ellipse(self, cx, cy, rx, ry, colour, max_y=None):
        """Fills the ellipse around a point, optionally only down to grid row max_y."""

        def inside(px, py):
            if max_y is not None and py >= max_y + 1:
                return False
            dx = (px - cx) / rx
            dy = (py - cy) / ry
            return dx * dx + dy * dy <= 1.0

        self.where(inside, colour)

    def line(self, points, colour, thickness=1):
        """A polyline through whole grid cells, `thickness` cells high."""
        if self.unit != 1:
            # Larger, the same line is drawn with a round pen along the
            # middle of those cells.
            middle = [(x + 0.5, y + thickness / 2.0) for x, y in points]
            self.stroke(middle, 0.4 * thickness + 0.1, colour)
            return
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


def small(size):
    """A canvas for a small icon of `size` pixels, drawn on the 16 x 16 grid."""
    return Canvas(size, unit=size / 16.0)


def check_box(size):
    """The empty check box: a grey-edged white square."""
    c = small(size)
    c.rect(2, 2, 14, 14, WHITE)
    c.frame(2, 2, 14, 14, GREY)
    return c


def check_box_ticked(size):
    """The same square with a green tick."""
    c = check_box(size)
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


# ---- The small command icons of the menus and the toolbar buttons, 16 x 16

OUTLINE = (64, 64, 64)


def new_page(size):
    """A blank page with its top right corner folded down."""
    c = small(size)
    page = [(2.5, 0.5), (9.5, 0.5), (13.5, 4.5), (13.5, 15.5), (2.5, 15.5)]
    c.polygon(page, OUTLINE)
    c.polygon([(3.5, 1.5), (9, 1.5), (12.5, 5), (12.5, 14.5), (3.5, 14.5)], WHITE)
    c.polygon([(9.5, 0.5), (9.5, 4.5), (13.5, 4.5)], OUTLINE)
    c.polygon([(10.5, 2), (10.5, 3.5), (12, 3.5)], (210, 210, 210))
    return c


def open_folder(size):
    """An open yellow folder: the back with its tab, the front flap tilted open."""
    c = small(size)
    edge = (150, 100, 10)
    c.polygon([(0.5, 2.5), (5.5, 2.5), (6.5, 4), (13.5, 4), (13.5, 14.5), (0.5, 14.5)], edge)
    c.polygon([(1.5, 3.5), (5, 3.5), (6, 5), (12.5, 5), (12.5, 13.5), (1.5, 13.5)], (220, 170, 40))
    c.polygon([(3, 7), (16, 7), (13.5, 14.5), (0.5, 14.5)], edge)
    c.polygon([(3.7, 8), (14.6, 8), (12.8, 13.5), (1.9, 13.5)], (255, 215, 90))
    return c


def floppy_disk(body, dark, size):
    """A floppy disk in the given colour: metal shutter above, white label below."""
    c = small(size)
    c.polygon([(0.5, 0.5), (13.5, 0.5), (15.5, 2.5), (15.5, 15.5), (0.5, 15.5)], dark)
    c.polygon([(1.5, 1.5), (13, 1.5), (14.5, 3), (14.5, 14.5), (1.5, 14.5)], body)
    c.rect(4, 1, 11, 5, (200, 200, 205))
    c.rect(8, 2, 9, 4, dark)
    c.rect(3, 8, 12, 15, WHITE)
    c.frame(3, 8, 12, 15, dark)
    c.rect(5, 10, 10, 10, (170, 170, 170))
    c.rect(5, 12, 10, 12, (170, 170, 170))
    return c


def green_plus(size):
    c = small(size)
    dark = (0, 100, 0)
    c.rect(5, 1, 10, 14, dark)
    c.rect(1, 5, 14, 10, dark)
    c.rect(6, 2, 9, 13, (40, 180, 40))
    c.rect(2, 6, 13, 9, (40, 180, 40))
    return c


def red_pencil(size):
    """A red pencil lying from bottom left to top right, its sharpened point down."""
    c = small(size)
    c.stroke([(5.5, 10.5), (13, 3)], 2.6, (110, 0, 0))
    c.stroke([(5.5, 10.5), (13, 3)], 1.7, (220, 40, 40))
    c.stroke([(12.2, 3.8), (13, 3)], 1.7, (240, 160, 170))  # the eraser
    c.polygon([(0.5, 15.5), (2.2, 9.6), (6.4, 13.8)], (110, 0, 0))
    c.polygon([(1.6, 14.4), (2.8, 10.6), (5.4, 13.2)], (245, 210, 160))
    c.polygon([(0.5, 15.5), (1.1, 13.4), (2.6, 14.9)], OUTLINE)
    return c


def red_cross(size):
    c = small(size)
    for radius, colour in ((2.4, (120, 0, 0)), (1.6, (225, 30, 30))):
        c.stroke([(3, 3), (13, 13)], radius, colour)
        c.stroke([(13, 3), (3, 13)], radius, colour)
    return c


def wrench_and_screwdriver(size):
    """A grey wrench and a screwdriver with an orange handle, crossed."""
    c = small(size)
    steel, dark = (170, 170, 180), (70, 70, 80)
    c.stroke([(3, 13), (12, 4)], 1.9, dark)
    c.disc(12, 4, 3.6, dark)
    c.disc(3, 13, 2.6, dark)
    c.stroke([(3, 13), (12, 4)], 1.1, steel)
    c.disc(12, 4, 2.8, steel)
    c.disc(3, 13, 1.8, steel)
    c.clear_disc(14, 2, 1.9)  # the jaw
    c.clear_disc(3, 13, 0.8)
    c.stroke([(2.5, 2.5), (9.5, 9.5)], 1.0, dark)
    c.stroke([(2.5, 2.5), (9.5, 9.5)], 0.5, (220, 220, 225))
    c.stroke([(10, 10), (14, 14)], 2.1, (140, 60, 0))
    c.stroke([(10, 10), (14, 14)], 1.4, (245, 150, 20))
    return c


def two_people(size):
    """Two people, one behind the other."""
    c = small(size)
    skin, edge = (250, 205, 160), (60, 60, 60)

    def person(cx, head_y, body_y, colour):
        c.ellipse(cx, body_y + 5.5, 4.6, 5.6, edge, max_y=15)
        c.ellipse(cx, body_y + 5.5, 3.7, 4.7, colour, max_y=15)
        c.disc(cx, head_y, 3.3, edge)
        c.disc(cx, head_y, 2.5, skin)

    person(10.5, 3.5, 6.5, (50, 100, 210))
    person(5.5, 6.5, 10, (40, 160, 60))
    return c


def envelope_with_arrow(size):
    """A white envelope with a green arrow pointing away from it, up and right."""
    c = small(size)
    edge = (90, 90, 90)
    c.rect(0, 6, 12, 15, edge)
    c.rect(1, 7, 11, 14, WHITE)
    c.line([(1, 7), (6, 11), (11, 7)], edge)
    arrow = [(7.5, 2.5), (11.5, 2.5), (11.5, 0.5), (15.5, 4), (11.5, 7.5), (11.5, 5.5), (7.5, 5.5)]
    c.polygon([(6.5, 1.5), (10.5, 1.5), (10.5, -1), (16.8, 4), (10.5, 9), (10.5, 6.5), (6.5, 6.5)], (0, 100, 0))
    c.polygon(arrow, (40, 190, 40))
    return c


def green_question_mark(size):
    c = small(size)
    arc = [(8 + 3.6 * math.cos(math.radians(a)), 5.2 - 3.6 * math.sin(math.radians(a)))
           for a in range(160, -100, -20)]
    curve = arc + [(8, 10)]
    for radius, colour in ((2.1, (0, 90, 0)), (1.3, (30, 170, 30))):
        c.stroke(curve, radius, colour)
        c.disc(8, 13.7, radius + 0.3, colour)
    return c


def small_window(size):
    """A small window: blue title bar with a close box, white inside."""
    c = small(size)
    c.rect(0, 1, 15, 14, OUTLINE)
    c.rect(1, 2, 14, 4, (20, 60, 170))
    c.rect(12, 3, 13, 3, WHITE)
    c.rect(1, 5, 14, 13, WHITE)
    c.rect(2, 6, 8, 6, (170, 170, 170))
    c.rect(2, 8, 10, 8, (170, 170, 170))
    c.rect(2, 10, 6, 10, (170, 170, 170))
    return c


def round_arrows(size):
    """Two arrows chasing each other round a circle: blue over the top, green along the bottom."""
    c = small(size)

    def arc(start, stop):
        return [(8 + 5.2 * math.cos(math.radians(a)), 8 - 5.2 * math.sin(math.radians(a)))
                for a in range(start, stop - 1, -5)]

    def turned(points):  # the same shape half a turn round the middle
        return [(16 - x, 16 - y) for x, y in points]

    top = arc(150, 40)
    head = [(9.2, 4.6), (16, 4.6), (12.6, 9.6)]
    for points, tip, dark, light in ((top, head, (10, 50, 140), (40, 120, 225)),
                                     (turned(top), turned(head), (0, 90, 20), (40, 175, 60))):
        c.stroke(points, 1.25, dark)
        c.polygon(tip, dark)
        c.stroke(points, 0.55, light)
        mx, my = sum(x for x, _ in tip) / 3, sum(y for _, y in tip) / 3
        c.polygon([(x + (mx - x) * 0.5, y + (my - y) * 0.5) for x, y in tip], light)
    return c


# The icon files of the menus and buttons, by the resource that names them.
COMMAND_ICONS = [
    ("new_book.ico", new_page),                      # 134 新建
    ("open_book.ico", open_folder),                  # 136 打开...
    ("save_book.ico", lambda size: floppy_disk((40, 90, 200), (10, 30, 110), size)),  # 135 保存
    ("save_default.ico", lambda size: floppy_disk((40, 160, 60), (0, 80, 20), size)),  # 160 存为默认
    ("add_contact.ico", green_plus),                 # 126 添加
    ("edit_contact.ico", red_pencil),                # 125 编辑
    ("delete_contact.ico", red_cross),               # 124 删除
    ("settings.ico", wrench_and_screwdriver),        # 159 设置...
    ("groups.ico", two_people),                      # 157 分组管理...
    ("feedback.ico", envelope_with_arrow),           # 155 反馈...
    ("help_topics.ico", green_question_mark),        # 158 使用说明...
    ("about.ico", small_window),                     # 156 关于...
    ("sync.ico", round_arrows),                      # 172 同步...
]


# ---- The help dialog's banner: 366 x 40, 24-bit

BANNER_WIDTH = 366
BANNER_HEIGHT = 40


def help_banner():
    """A broad green tree on a green hill under a light-blue sky."""
    c = Canvas(BANNER_WIDTH, BANNER_HEIGHT)
    for y in range(BANNER_HEIGHT):
        t = y / (BANNER_HEIGHT - 1)
        sky = (int(150 + 70 * t), int(200 + 40 * t), 255)
        c.rect(0, y, BANNER_WIDTH - 1, y, sky)
    # A few soft clouds.
    for cx, cy, rx, ry in ((48, 10, 18, 4), (64, 8, 12, 4), (300, 12, 20, 4), (318, 9, 11, 4)):
        c.ellipse(cx, cy, rx, ry, (245, 250, 255))
    # Far hills, then the hill the tree stands on.
    c.ellipse(50, 52, 150, 27, (130, 195, 105))
    c.ellipse(330, 54, 140, 28, (130, 195, 105))
    c.ellipse(183, 80, 215, 49, (70, 160, 60))
    # The trunk and the broad crown.
    c.polygon([(178, 34), (180, 24), (186, 24), (188, 34)], (110, 70, 30))
    c.stroke([(183, 30), (171, 22)], 1.2, (110, 70, 30))
    c.stroke([(183, 29), (196, 21)], 1.2, (110, 70, 30))
    for cx, cy, rx, ry, colour in ((183, 17, 44, 13, (30, 110, 40)),
                                   (160, 19, 22, 9, (30, 110, 40)),
                                   (206, 19, 22, 9, (30, 110, 40)),
                                   (176, 13, 26, 9, (50, 140, 50)),
                                   (194, 14, 24, 8, (50, 140, 50)),
                                   (185, 9, 16, 6, (80, 170, 70))):
        c.ellipse(cx, cy, rx, ry, colour)
    return c


def write_bitmap(name, canvas):
    """A 24-bit .bmp: file header, BITMAPINFOHEADER, bottom-up BGR rows padded to 4 bytes."""
    width, height = canvas.size, canvas.height
    row_bytes = (width * 3 + 3) // 4 * 4
    pixels = bytearray()
    for y in reversed(range(height)):
        row = bytearray()
        for x in range(width):
            r, g, b = canvas.pixels[y][x] or WHITE
            row += bytes((b, g, r))
        pixels += row + bytes(row_bytes - len(row))
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    path = os.path.join(OUT, name)
    with open(path, "wb") as f:
        f.write(header + info + bytes(pixels))
    print("wrote", os.path.relpath(path))


def main():
    os.makedirs(OUT, exist_ok=True)
    # The title bar takes the small size, the About box the large, at every scale.
    write_icon("application.ico", [application_icon(size) for size in (16, 20, 24, 32, 40, 48)])
    write_icon("check_empty.ico", [check_box(size) for size in SMALL_SIZES])
    write_icon("check_ticked.ico", [check_box_ticked(size) for size in SMALL_SIZES])
    for name, draw in COMMAND_ICONS:
        write_icon(name, [draw(size) for size in SMALL_SIZES])
    write_bitmap("help_banner.bmp", help_banner())
    return 0


if __name__ == "__main__":
    sys.exit(main())
