#!/usr/bin/python3
"""Draws the About box's banner: res/bitmaps/about_banner.bmp, 404 x 88 pixels at 32 bits,
a green band fading to white with the application's record dot on the left."""
import os
import struct

ROOT = os.path.join(os.path.dirname(__file__), "..", "res")
WIDTH, HEIGHT = 404, 88


def pixel(x, y):
    # Top-down coordinates; the file stores rows bottom-up.
    t = x / (WIDTH - 1)
    r, g, b = int(33 + (255 - 33) * t), int(126 + (255 - 126) * t), int(104 + (255 - 104) * t)
    cx, cy, radius = 44, HEIGHT // 2, 22
    d2 = (x - cx) ** 2 + (y - cy) ** 2
    if d2 <= radius ** 2:
        r, g, b = (230, 40, 40) if d2 <= (radius - 3) ** 2 else (255, 255, 255)
    return bytes((b, g, r, 0))


def main():
    rows = b"".join(b"".join(pixel(x, y) for x in range(WIDTH)) for y in reversed(range(HEIGHT)))
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 32, 0, len(rows), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(rows), 0, 0, 14 + len(info))
    with open(os.path.join(ROOT, "bitmaps", "about_banner.bmp"), "wb") as f:
        f.write(header + info + rows)


if __name__ == "__main__":
    main()
