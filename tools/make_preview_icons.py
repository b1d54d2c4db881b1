#!/usr/bin/python3
"""Draws the icons of the preview window's buttons (16 x 16, 32-bit with a mask).

Needs Pillow:  /usr/bin/python3 tools/make_preview_icons.py
Writes res/icons/preview_{edit,microblog,save,import}.ico; the files are committed, so the build
does not need Python. The buttons are green with white captions, so the pictures are white
shapes with a dark green outline that keeps them readable on any background.

Each picture is drawn at 8 times the size and scaled down; pixels more than half covered are
opaque, the others fully transparent, so the icon's mask is exact.
"""

import os
import struct

from PIL import Image, ImageDraw

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
SIZE = 16
SCALE = 8
WHITE = (255, 255, 255, 255)
OUTLINE = (20, 90, 65, 255)
ACCENT = (76, 164, 127, 255)


def canvas():
    image = Image.new("RGBA", (SIZE * SCALE, SIZE * SCALE), (0, 0, 0, 0))
    return image, ImageDraw.Draw(image)


def s(*values):
    """Icon pixels to drawing pixels."""
    return [v * SCALE for v in values]


def icon_edit():
    """A strip of film with a pencil across it: edit the frames again."""
    image, d = canvas()
    d.rectangle(s(1, 2, 12, 14), fill=OUTLINE)
    d.rectangle(s(2, 3, 11, 13), fill=WHITE)
    for y in (4, 7, 10):
        d.rectangle(s(2.6, y, 3.8, y + 1.4), fill=OUTLINE)
        d.rectangle(s(9.2, y, 10.4, y + 1.4), fill=OUTLINE)
    d.rectangle(s(4.8, 4, 8.2, 12), fill=ACCENT)
    d.polygon(s(8, 15, 9, 12, 14, 7, 15, 8, 10, 13), fill=OUTLINE)
    d.polygon(s(9.2, 13.6, 9.8, 12.2, 14, 8, 14.4, 8.4, 10.2, 12.6), fill=(250, 200, 60, 255))
    return image


def icon_microblog():
    """A large frame, a small one in its corner and an arrow between them: make a smaller copy."""
    image, d = canvas()
    d.rectangle(s(0.5, 0.5, 15.5, 15.5), fill=OUTLINE)
    d.rectangle(s(1.7, 1.7, 14.3, 14.3), fill=(0, 0, 0, 0))
    d.rectangle(s(1.5, 8.5, 8.5, 15.5), fill=OUTLINE)
    d.rectangle(s(2.5, 9.5, 7.5, 14.5), fill=WHITE)
    d.line(s(13.2, 2.8, 8.8, 7.2), fill=OUTLINE, width=int(3.4 * SCALE))
    d.line(s(13.2, 2.8, 9.2, 6.8), fill=WHITE, width=int(1.7 * SCALE))
    d.polygon(s(7.0, 9.0, 7.0, 4.2, 11.8, 9.0), fill=OUTLINE)
    d.polygon(s(7.9, 8.1, 7.9, 5.8, 10.2, 8.1), fill=WHITE)
    return image


def icon_save():
    """A floppy disk."""
    image, d = canvas()
    d.polygon(s(1, 1, 12.5, 1, 15, 3.5, 15, 15, 1, 15), fill=OUTLINE)
    d.polygon(s(2, 2, 12, 2, 14, 4, 14, 14, 2, 14), fill=WHITE)
    d.rectangle(s(4, 2, 11, 6), fill=OUTLINE)
    d.rectangle(s(8.5, 2.8, 10, 5.2), fill=WHITE)
    d.rectangle(s(4, 9, 12, 14), fill=ACCENT)
    d.rectangle(s(5, 10, 11, 11), fill=WHITE)
    return image


def icon_import():
    """A speech bubble: hand the GIF to a chat program."""
    image, d = canvas()
    d.ellipse(s(0.5, 1.5, 15.5, 12.5), fill=OUTLINE)
    d.polygon(s(3, 10, 2, 15, 8, 11.5), fill=OUTLINE)
    d.ellipse(s(1.6, 2.6, 14.4, 11.4), fill=WHITE)
    d.polygon(s(4, 10, 3.2, 13.4, 7.4, 10.8), fill=WHITE)
    for x in (5, 8, 11):
        d.ellipse(s(x - 1.1, 5.9, x + 1.1, 8.1), fill=ACCENT)
    return image


def pixels(image):
    """Rows of (r, g, b) or None, top row first."""
    small = image.resize((SIZE, SIZE), Image.LANCZOS)
    rows = []
    for y in range(SIZE):
        row = []
        for x in range(SIZE):
            r, g, b, a = small.getpixel((x, y))
            row.append((r, g, b) if a >= 128 else None)
        rows.append(row)
    return rows


def ico_bytes(rows):
    """One 32-bit image with its AND mask; transparent pixels are black in the colour image."""
    height, width = len(rows), len(rows[0])
    header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = b""
    for row in reversed(rows):
        for p in row:
            colour += struct.pack("<BBBB", p[2], p[1], p[0], 255) if p else b"\0\0\0\0"
    mask = b""
    stride = ((width + 31) // 32) * 4
    for row in reversed(rows):
        bits = bytearray(stride)
        for x, p in enumerate(row):
            if p is None:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(bits)
    image = header + colour + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    directory += struct.pack("<BBBBHHII", width, height, 0, 0, 1, 32, len(image), 6 + 16)
    return directory + image


def main():
    icons = {"edit": icon_edit, "microblog": icon_microblog, "save": icon_save, "import": icon_import}
    folder = os.path.join(ROOT, "res", "icons")
    os.makedirs(folder, exist_ok=True)
    for name, draw in icons.items():
        path = os.path.join(folder, "preview_%s.ico" % name)
        with open(path, "wb") as f:
            f.write(ico_bytes(pixels(draw())))
        print(path)


if __name__ == "__main__":
    main()
