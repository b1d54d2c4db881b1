#!/usr/bin/env python3
"""Draws the two pictures of the status strip and writes them as 24-bit BMP files.

  res/bitmaps/page_button.bmp    91 x 31   face of the web-page button; pure green is transparent
  res/bitmaps/notice_picture.bmp 258 x 320 picture of the notice popup

Standard library only; run from anywhere: python3 tools/make_bar_bitmaps.py
"""
import os
import struct

TEAL = (33, 126, 104)
TEAL_LIGHT = (43, 162, 135)
WHITE = (255, 255, 255)
BLACK = (0, 0, 0)
GREY = (128, 128, 128)
KEY_GREEN = (0, 255, 0)  # the button's transparent colour


class Canvas:
    def __init__(self, width, height, fill):
        self.width = width
        self.height = height
        self.pixels = [[fill] * width for _ in range(height)]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = colour

    def fill_rect(self, left, top, right, bottom, colour):
        for y in range(top, bottom):
            for x in range(left, right):
                self.put(x, y, colour)

    def frame_rect(self, left, top, right, bottom, colour, thickness=1):
        self.fill_rect(left, top, right, top + thickness, colour)
        self.fill_rect(left, bottom - thickness, right, bottom, colour)
        self.fill_rect(left, top, left + thickness, bottom, colour)
        self.fill_rect(right - thickness, top, right, bottom, colour)

    def save_bmp(self, path):
        row_size = (self.width * 3 + 3) & ~3
        image_size = row_size * self.height
        with open(path, "wb") as out:
            out.write(b"BM")
            out.write(struct.pack("<IHHI", 14 + 40 + image_size, 0, 0, 14 + 40))
            out.write(struct.pack("<IiiHHIIiiII", 40, self.width, self.height, 1, 24, 0,
                                  image_size, 2835, 2835, 0, 0))
            padding = b"\0" * (row_size - self.width * 3)
            for y in range(self.height - 1, -1, -1):  # bottom-up rows
                row = bytearray()
                for r, g, b in self.pixels[y]:
                    row += bytes((b, g, r))
                out.write(bytes(row) + padding)


# 5 x 7 glyphs for the few letters the pictures carry.
GLYPHS = {
    "W": ["10001", "10001", "10001", "10101", "10101", "11011", "10001"],
    "E": ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    "B": ["11110", "10001", "10001", "11110", "10001", "10001", "11110"],
    "Q": ["01110", "10001", "10001", "10001", "10101", "10010", "01101"],
    "R": ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
}


def draw_text(canvas, x, y, text, colour, scale=1):
    for ch in text:
        for row, bits in enumerate(GLYPHS[ch]):
            for col, bit in enumerate(bits):
                if bit == "1":
                    canvas.fill_rect(x + col * scale, y + row * scale,
                                     x + (col + 1) * scale, y + (row + 1) * scale, colour)
        x += 6 * scale


def inside_rounded(x, y, width, height, radius):
    cx = min(max(x, radius), width - 1 - radius)
    cy = min(max(y, radius), height - 1 - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius


def page_button():
    # The button shows only the middle of its 91 x 31 face (about 54 x 26 pixels at 96 DPI, the
    # image centred), so the visible pill is drawn there and the rest stays transparent.
    width, height = 91, 31
    pill_left, pill_top, pill_width, pill_height = 20, 4, 51, 23
    canvas = Canvas(width, height, KEY_GREEN)
    for y in range(pill_height):
        for x in range(pill_width):
            if inside_rounded(x, y, pill_width, pill_height, 5):
                # light at the top, darker below: a slight raised look
                colour = TEAL_LIGHT if y < pill_height // 2 else TEAL
                canvas.put(pill_left + x, pill_top + y, colour)
    text_width = 3 * 6 * 2 - 2
    draw_text(canvas, pill_left + (pill_width - text_width) // 2, pill_top + (pill_height - 14) // 2,
              "WEB", WHITE, scale=2)
    return canvas


def notice_picture():
    width, height = 258, 320
    canvas = Canvas(width, height, WHITE)
    canvas.fill_rect(0, 0, width, 44, TEAL)
    draw_text(canvas, (width - 11 * 3) // 2, 11, "QR", WHITE, scale=3)
    canvas.frame_rect(0, 0, width, height, TEAL, thickness=4)

    # A code-like square of 25 x 25 modules with the three corner finders.
    modules, size = 25, 8
    left = (width - modules * size) // 2
    top = 44 + (height - 44 - modules * size) // 2
    seed = 20240611
    grid = [[False] * modules for _ in range(modules)]
    for my in range(modules):
        for mx in range(modules):
            seed = (seed * 1103515245 + 12345) & 0x7FFFFFFF
            grid[my][mx] = (seed >> 16) & 1 == 1

    def finder(fx, fy):
        for y in range(-1, 8):
            for x in range(-1, 8):
                if 0 <= fx + x < modules and 0 <= fy + y < modules:
                    ring = max(abs(x - 3), abs(y - 3))
                    grid[fy + y][fx + x] = ring in (0, 1, 3)

    finder(0, 0)
    finder(modules - 7, 0)
    finder(0, modules - 7)
    for my in range(modules):
        for mx in range(modules):
            if grid[my][mx]:
                canvas.fill_rect(left + mx * size, top + my * size,
                                 left + (mx + 1) * size, top + (my + 1) * size, BLACK)
    canvas.frame_rect(left - 6, top - 6, left + modules * size + 6, top + modules * size + 6, GREY)
    return canvas


def main():
    out_dir = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "res", "bitmaps")
    os.makedirs(out_dir, exist_ok=True)
    page_button().save_bmp(os.path.join(out_dir, "page_button.bmp"))
    notice_picture().save_bmp(os.path.join(out_dir, "notice_picture.bmp"))


if __name__ == "__main__":
    main()
