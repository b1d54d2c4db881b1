#!/usr/bin/env python3
"""Draws the program's button icons and bitmaps, and the small test images of the button tests.

Standard library only. Run from anywhere:  python3 tools/make_icons.py
Writes res/icons/*.ico (the main window's and the Edit dialog's), the caption bitmaps res/bitmaps/{close,minimize,maximize}*.bmp and
tests/controls/res/*; the files are committed, so the build does not need Python. (The status
strip's pictures come from tools/make_bar_bitmaps.py.)

Shapes are rendered with 4 x 4 samples per pixel. A pixel is opaque when at least half of its
samples are covered, and then takes the average colour of its covered samples: edges between two
colours are smooth, while the outline against the transparent area stays hard. That keeps the
icons' masks exact (transparent pixels are black in the colour image, as icons need) and leaves
no fringe of the key colour around bitmaps with a transparent colour.
"""

import math
import os
import struct

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
SAMPLES = 4


# ------------------------------------------------------------------------------------------------
# Rendering

class Canvas:
    """Shapes in pixel coordinates (floats; pixel (x, y) spans x..x+1, y..y+1)."""

    def __init__(self, width, height):
        self.width = width
        self.height = height
        n = SAMPLES
        self.samples = [None] * (width * n * height * n)  # None: transparent, else (r, g, b)

    def _fill(self, inside, box, color):
        """Sets every sample whose centre satisfies inside(x, y); color None clears."""
        n = SAMPLES
        x0, y0, x1, y1 = box
        sx0 = max(0, int(math.floor(x0 * n)))
        sy0 = max(0, int(math.floor(y0 * n)))
        sx1 = min(self.width * n, int(math.ceil(x1 * n)))
        sy1 = min(self.height * n, int(math.ceil(y1 * n)))
        row = self.width * n
        for sy in range(sy0, sy1):
            y = (sy + 0.5) / n
            for sx in range(sx0, sx1):
                x = (sx + 0.5) / n
                if inside(x, y):
                    self.samples[sy * row + sx] = color

    def rect(self, x0, y0, x1, y1, color):
        self._fill(lambda x, y: x0 <= x < x1 and y0 <= y < y1, (x0, y0, x1, y1), color)

    def vertical_gradient(self, x0, y0, x1, y1, top, bottom, span=None, origin=None):
        """Rows from top to bottom colour. The gradient starts at row origin (default y0) and runs
        over span rows (default y1 - y0), so a part of a larger gradient can be painted."""
        span = span or (y1 - y0)
        origin = y0 if origin is None else origin
        n = SAMPLES
        for sy in range(int(y0 * n), int(y1 * n)):
            row_y = int(sy / n)  # one colour per pixel row, as a row-wise gradient fill paints it
            t = (row_y - origin) / span
            color = tuple(int(a + (b - a) * t) for a, b in zip(top, bottom))
            self.rect(x0, sy / n, x1, (sy + 1) / n, color)

    def circle(self, cx, cy, r, color):
        self._fill(lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r, (cx - r, cy - r, cx + r, cy + r), color)

    def round_rect(self, x0, y0, x1, y1, radius, color):
        def inside(x, y):
            if not (x0 <= x <= x1 and y0 <= y <= y1):
                return False
            dx = max(x0 + radius - x, 0, x - (x1 - radius))
            dy = max(y0 + radius - y, 0, y - (y1 - radius))
            return dx * dx + dy * dy <= radius * radius
        self._fill(inside, (x0, y0, x1, y1), color)

    def polygon(self, points, color):
        xs = [p[0] for p in points]
        ys = [p[1] for p in points]

        def inside(x, y):
            result = False
            j = len(points) - 1
            for i in range(len(points)):
                xi, yi = points[i]
                xj, yj = points[j]
                if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                    result = not result
                j = i
            return result
        self._fill(inside, (min(xs), min(ys), max(xs), max(ys)), color)

    def line(self, points, width, color, round_caps=True):
        """A polyline of the given width with round joins."""
        half = width / 2.0
        for (xa, ya), (xb, yb) in zip(points, points[1:]):
            length = math.hypot(xb - xa, yb - ya) or 1.0
            nx, ny = -(yb - ya) / length * half, (xb - xa) / length * half
            self.polygon([(xa + nx, ya + ny), (xb + nx, yb + ny), (xb - nx, yb - ny), (xa - nx, ya - ny)], color)
        if round_caps:
            for x, y in points:
                self.circle(x, y, half, color)

    def arc(self, cx, cy, r, start_deg, end_deg, width, color, steps=24):
        points = []
        for i in range(steps + 1):
            a = math.radians(start_deg + (end_deg - start_deg) * i / steps)
            points.append((cx + r * math.cos(a), cy + r * math.sin(a)))
        self.line(points, width, color)

    def pixels(self):
        """Rows top to bottom of (r, g, b) or None for a transparent pixel."""
        n = SAMPLES
        row = self.width * n
        out = []
        for y in range(self.height):
            line = []
            for x in range(self.width):
                covered = []
                for sy in range(y * n, y * n + n):
                    for sx in range(x * n, x * n + n):
                        s = self.samples[sy * row + sx]
                        if s is not None:
                            covered.append(s)
                if len(covered) * 2 < n * n:
                    line.append(None)
                else:
                    line.append(tuple(round(sum(c[i] for c in covered) / len(covered)) for i in range(3)))
            out.append(line)
        return out


# ------------------------------------------------------------------------------------------------
# File formats

def _mask_rows(rows):
    """AND mask, bottom-up, 1 = transparent, rows padded to 32 bits."""
    data = b""
    width = len(rows[0])
    stride = ((width + 31) // 32) * 4
    for line in reversed(rows):
        bits = bytearray(stride)
        for x, p in enumerate(line):
            if p is None:
                bits[x // 8] |= 0x80 >> (x % 8)
        data += bytes(bits)
    return data


def _icon_image(rows, bits):
    width, height = len(rows[0]), len(rows)
    pixels = b""
    for line in reversed(rows):
        row = b""
        for p in line:
            # Transparent pixels are black in the colour image: the mask and the colours combine
            # by AND then XOR.
            r, g, b = p if p is not None else (0, 0, 0)
            if bits == 32:
                row += bytes((b, g, r, 0 if p is None else 255))
            else:
                row += bytes((b, g, r))
        row += b"\0" * ((4 - len(row) % 4) % 4)
        pixels += row
    mask = _mask_rows(rows)
    header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, bits, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    return header + pixels + mask


def write_icon(path, rows, bits=32, cursor_hotspot=None):
    """One image; a cursor when a hot spot is given."""
    image = _icon_image(rows, bits)
    width, height = len(rows[0]), len(rows)
    kind = 2 if cursor_hotspot else 1
    planes_or_x, bits_or_y = cursor_hotspot if cursor_hotspot else (1, bits)
    data = struct.pack("<HHH", 0, kind, 1)
    data += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, planes_or_x, bits_or_y, len(image), 6 + 16)
    _write(path, data + image)


def write_bmp(path, rows, key=(0, 255, 0)):
    """24-bit bitmap; transparent pixels take the key colour."""
    width, height = len(rows[0]), len(rows)
    pixels = b""
    for line in reversed(rows):
        row = b""
        for p in line:
            r, g, b = p if p is not None else key
            row += bytes((b, g, r))
        row += b"\0" * ((4 - len(row) % 4) % 4)
        pixels += row
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    file_header = struct.pack("<2sIHHI", b"BM", 14 + len(header) + len(pixels), 0, 0, 14 + len(header))
    _write(path, file_header + header + pixels)


def _write(path, data):
    full = os.path.join(ROOT, path)
    os.makedirs(os.path.dirname(full), exist_ok=True)
    with open(full, "wb") as f:
        f.write(data)


# ------------------------------------------------------------------------------------------------
# The program's icons: 16 x 16 pictograms for the main window's image buttons

BRAND = (33, 126, 104)
OUTLINE = (40, 40, 40)
WHITE = (255, 255, 255)


def icon_start():
    c = Canvas(16, 16)
    c.circle(8, 8, 6.3, (150, 20, 20))
    c.circle(8, 8, 5.2, (225, 45, 40))
    c.circle(6.4, 6.4, 1.5, (245, 130, 120))
    return c


def icon_pause():
    c = Canvas(16, 16)
    for x in (3.0, 9.0):
        c.round_rect(x, 2.0, x + 4.0, 14.0, 1.0, (40, 70, 130))
        c.round_rect(x + 1.0, 3.0, x + 3.0, 13.0, 0.6, (80, 130, 210))
    return c


def icon_stop():
    c = Canvas(16, 16)
    c.round_rect(2.5, 2.5, 13.5, 13.5, 2.0, (55, 60, 70))
    c.round_rect(3.7, 3.7, 12.3, 12.3, 1.2, (105, 115, 130))
    return c


def icon_preview():
    c = Canvas(16, 16)
    c.circle(8, 8, 7.0, (25, 100, 80))
    c.circle(8, 8, 5.9, (45, 165, 130))
    c.polygon([(6.0, 4.6), (6.0, 11.4), (11.6, 8.0)], WHITE)
    return c


def icon_edit():
    c = Canvas(16, 16)
    # A pencil from the lower left to the upper right.
    ux, uy = 1 / math.sqrt(2), -1 / math.sqrt(2)   # along the pencil
    nx, ny = 1 / math.sqrt(2), 1 / math.sqrt(2)    # across it
    def at(t, s):
        return (2.2 + ux * t + nx * s, 13.8 + uy * t + ny * s)
    w = 2.3
    c.polygon([at(0, 0), at(3.2, -w), at(3.2, w)], (235, 200, 150))         # wood
    c.polygon([at(0, 0), at(1.3, -w * 0.42), at(1.3, w * 0.42)], OUTLINE)   # lead
    c.polygon([at(3.2, -w), at(11.5, -w), at(11.5, w), at(3.2, w)], (240, 170, 30))
    c.polygon([at(3.2, 0), at(11.5, 0), at(11.5, w), at(3.2, w)], (215, 135, 20))
    c.polygon([at(11.5, -w), at(12.6, -w), at(12.6, w), at(11.5, w)], (160, 160, 170))
    c.polygon([at(12.6, -w), at(15.2, -w), at(15.2, w), at(12.6, w)], (230, 110, 120))
    return c


def icon_settings():
    c = Canvas(16, 16)
    body = (85, 95, 110)
    c.circle(8, 8, 5.2, body)
    for i in range(8):
        a = math.radians(i * 45 + 22.5)
        ca, sa = math.cos(a), math.sin(a)
        def p(r, s):
            return (8 + ca * r - sa * s, 8 + sa * r + ca * s)
        c.polygon([p(4.0, -1.4), p(7.3, -1.1), p(7.3, 1.1), p(4.0, 1.4)], body)
    c.circle(8, 8, 3.9, (140, 150, 165))
    c.circle(8, 8, 2.1, None)  # the hole shows the button through
    return c


def icon_tutorial():
    c = Canvas(16, 16)
    c.circle(8, 8, 7.0, (30, 80, 160))
    c.circle(8, 8, 5.9, (60, 125, 215))
    c.arc(8, 6.2, 2.3, 190, 395, 1.7, WHITE)
    c.line([(9.8, 7.5), (8.0, 8.9), (8.0, 9.6)], 1.7, WHITE)
    c.circle(8.0, 12.0, 1.05, WHITE)
    return c


def icon_share():
    c = Canvas(16, 16)
    a, b, d = (12.0, 3.6), (4.0, 8.0), (12.0, 12.4)
    c.line([a, b, d], 1.5, BRAND)
    for x, y in (a, b, d):
        c.circle(x, y, 2.7, BRAND)
        c.circle(x, y, 1.6, (80, 190, 160))
    return c


# ------------------------------------------------------------------------------------------------
# The Edit dialog's icons: 16 x 16 pictograms for its tool row and caption buttons

def _frame_card(c, x0, y0, x1, y1, fill):
    c.round_rect(x0, y0, x1, y1, 1.0, OUTLINE)
    c.round_rect(x0 + 1.0, y0 + 1.0, x1 - 1.0, y1 - 1.0, 0.5, fill)


def icon_add_text():
    c = Canvas(16, 16)
    c.polygon([(1.5, 13.5), (5.0, 2.5), (6.8, 2.5), (10.3, 13.5), (8.4, 13.5), (5.9, 5.2), (3.4, 13.5)], OUTLINE)
    c.rect(3.6, 9.0, 8.2, 10.6, OUTLINE)
    c.rect(11.0, 2.0, 12.8, 8.6, (40, 150, 60))
    c.rect(8.6, 4.4, 15.2, 6.2, (40, 150, 60))
    return c


def icon_delete_text():
    c = Canvas(16, 16)
    c.polygon([(1.5, 13.5), (5.0, 2.5), (6.8, 2.5), (10.3, 13.5), (8.4, 13.5), (5.9, 5.2), (3.4, 13.5)], OUTLINE)
    c.rect(3.6, 9.0, 8.2, 10.6, OUTLINE)
    c.rect(8.6, 4.4, 15.2, 6.2, (200, 40, 40))
    return c


def icon_delete_restore():
    c = Canvas(16, 16)
    _frame_card(c, 1.5, 2.5, 11.5, 11.5, (170, 200, 235))
    c.line([(8.5, 8.5), (14.0, 14.0)], 2.0, (200, 40, 40))
    c.line([(8.5, 14.0), (14.0, 8.5)], 2.0, (200, 40, 40))
    return c


def icon_edit_preview():
    c = Canvas(16, 16)
    c.circle(8, 8, 7.0, (25, 100, 80))
    c.circle(8, 8, 5.9, (45, 165, 130))
    c.polygon([(6.0, 4.6), (6.0, 11.4), (11.6, 8.0)], WHITE)
    return c


def icon_insert_image():
    c = Canvas(16, 16)
    _frame_card(c, 1.0, 3.0, 13.0, 13.0, (150, 205, 240))
    c.polygon([(2.2, 11.8), (5.6, 7.0), (8.0, 10.0), (9.6, 8.4), (11.8, 11.8)], (40, 140, 70))
    c.circle(9.8, 5.8, 1.2, (245, 200, 40))
    c.rect(12.2, 0.6, 14.0, 7.4, (40, 150, 60))
    c.rect(9.7, 3.1, 16.0, 4.9, (40, 150, 60))
    return c


def _clock(rim, face):
    c = Canvas(16, 16)
    c.circle(8, 8, 7.0, rim)
    c.circle(8, 8, 5.9, face)
    c.line([(8.0, 8.0), (8.0, 4.0)], 1.5, WHITE)
    c.line([(8.0, 8.0), (10.8, 9.6)], 1.5, WHITE)
    return c


def icon_slow_replay():
    return _clock((30, 80, 160), (60, 125, 215))


def icon_slow_replay_on():
    return _clock((150, 60, 20), (230, 120, 40))


def icon_reverse():
    c = Canvas(16, 16)
    blue = (40, 90, 170)
    c.line([(3.0, 5.0), (12.0, 5.0)], 1.8, blue)
    c.polygon([(12.0, 1.8), (15.4, 5.0), (12.0, 8.2)], blue)
    c.line([(4.0, 11.0), (13.0, 11.0)], 1.8, (40, 150, 60))
    c.polygon([(4.0, 7.8), (0.6, 11.0), (4.0, 14.2)], (40, 150, 60))
    return c


def icon_speed():
    c = Canvas(16, 16)
    c.arc(8, 10, 6.3, 180, 360, 1.8, OUTLINE)
    c.line([(8.0, 10.0), (11.8, 5.6)], 1.6, (200, 40, 40))
    c.circle(8, 10, 1.4, OUTLINE)
    return c


def icon_colour_levels():
    c = Canvas(16, 16)
    colours = [(220, 40, 40), (240, 170, 30), (60, 170, 60), (40, 110, 210)]
    for i, colour in enumerate(colours):
        c.rect(1.5 + i * 3.3, 12.5 - (i + 1) * 2.6, 4.3 + i * 3.3, 14.0, colour)
    return c


EDITOR_ICONS = {
    "edit_add_text": icon_add_text, "edit_delete_text": icon_delete_text,
    "edit_delete_restore": icon_delete_restore, "edit_preview": icon_edit_preview,
    "edit_insert_image": icon_insert_image, "edit_slow_replay": icon_slow_replay,
    "edit_slow_replay_on": icon_slow_replay_on, "edit_reverse": icon_reverse, "edit_speed": icon_speed,
    "edit_colour_levels": icon_colour_levels,
}


# ------------------------------------------------------------------------------------------------
# The caption bitmaps of the main window: 24 x 20, painted over the title band's gradient, which
# runs over 25 rows from (43, 162, 135) to (33, 126, 104); they are copied without transparency.

BAND_TOP = (43, 162, 135)
BAND_BOTTOM = (33, 126, 104)
BAND_HEIGHT = 25
CAPTION_W, CAPTION_H = 24, 20


def caption_background(hover_tint=None):
    c = Canvas(CAPTION_W, CAPTION_H)
    c.vertical_gradient(0, 0, CAPTION_W, CAPTION_H, BAND_TOP, BAND_BOTTOM, BAND_HEIGHT)
    if hover_tint:
        top, bottom = hover_tint
        c.vertical_gradient(1, 1, CAPTION_W - 1, CAPTION_H - 1, top, bottom)
    return c


def bitmap_close(hover):
    c = caption_background(((232, 72, 64), (196, 43, 36)) if hover else None)
    cx, cy, s = 12.0, 10.0, 4.0
    c.line([(cx - s, cy - s), (cx + s, cy + s)], 1.8, WHITE)
    c.line([(cx - s, cy + s), (cx + s, cy - s)], 1.8, WHITE)
    return c


def bitmap_minimize(hover):
    c = caption_background(((88, 190, 165), (64, 160, 136)) if hover else None)
    c.rect(7.0, 12.0, 17.0, 14.0, WHITE)
    return c


def bitmap_maximize():
    c = caption_background()
    c.rect(7.0, 5.0, 17.0, 15.0, WHITE)
    c.vertical_gradient(8, 7, 16, 14, BAND_TOP, BAND_BOTTOM, BAND_HEIGHT, 0)
    return c


# ------------------------------------------------------------------------------------------------
# Test images: flat colours at known places, so the tests can check pixels exactly

def grid(width, height, color_at):
    return [[color_at(x, y) for x in range(width)] for y in range(height)]


def test_images():
    red, black, blue, green = (255, 0, 0), (0, 0, 0), (0, 0, 255), (0, 160, 0)
    # In icon: rows 0..3 transparent; below, red, opaque black and blue columns.
    def in_icon(x, y):
        if y < 4:
            return None
        return red if x < 8 else black if x < 12 else blue
    write_icon("tests/controls/res/in.ico", grid(16, 16, in_icon), bits=24)
    write_icon("tests/controls/res/out.ico", grid(16, 16, lambda x, y: green), bits=24)
    # Bitmaps: a 2-pixel frame of pure green (the transparent colour) around two colour halves.
    key = (0, 255, 0)
    def framed(left, right):
        return lambda x, y: key if x < 2 or y < 2 or x >= 10 or y >= 8 else (left if x < 6 else right)
    write_bmp("tests/controls/res/in.bmp", grid(12, 10, framed((200, 0, 0), (0, 0, 200))))
    write_bmp("tests/controls/res/out.bmp", grid(12, 10, framed((0, 200, 200), (200, 200, 0))))
    # Faces of the bitmap button, one flat colour each.
    faces = {
        "face_normal": (128, 128, 128), "face_hover": (255, 255, 0), "face_selected": (0, 128, 255),
        "face_disabled": (64, 64, 64), "face_selected_hover": (255, 0, 255), "face_pressed": (0, 255, 255),
    }
    for name, color in faces.items():
        write_bmp("tests/controls/res/%s.bmp" % name, grid(20, 14, lambda x, y, c=color: c))
    # A cursor: a black square with a white centre, hot spot in the middle.
    def cursor(x, y):
        if 8 <= x < 24 and 8 <= y < 24:
            return (255, 255, 255) if 12 <= x < 20 and 12 <= y < 20 else (0, 0, 0)
        return None
    write_icon("tests/controls/res/test.cur", grid(32, 32, cursor), bits=24, cursor_hotspot=(16, 16))


def main():
    icons = {
        "start": icon_start, "pause": icon_pause, "stop": icon_stop, "preview": icon_preview,
        "edit": icon_edit, "settings": icon_settings, "tutorial": icon_tutorial, "share": icon_share,
    }
    icons.update(EDITOR_ICONS)
    for name, draw in icons.items():
        write_icon("res/icons/%s.ico" % name, draw().pixels())
    bitmaps = {
        "close": lambda: bitmap_close(False), "close_hover": lambda: bitmap_close(True),
        "minimize": lambda: bitmap_minimize(False), "minimize_hover": lambda: bitmap_minimize(True),
        "maximize": bitmap_maximize,
    }
    for name, draw in bitmaps.items():
        write_bmp("res/bitmaps/%s.bmp" % name, draw().pixels())
    test_images()


if __name__ == "__main__":
    main()
