#!/usr/bin/python3
"""Draws the application icon res/icons/app.ico: a green tile with a red record dot."""
import os

from PIL import Image, ImageDraw

SIZES = [16, 32, 48]


def draw(size):
    image = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    d = ImageDraw.Draw(image)
    margin = max(1, size // 16)
    d.rounded_rectangle([margin, margin, size - 1 - margin, size - 1 - margin], radius=max(1, size // 6),
                        fill=(33, 126, 104, 255), outline=(20, 80, 66, 255))
    r, c = size * 0.22, size / 2
    d.ellipse([c - r, c - r, c + r, c + r], fill=(230, 40, 40, 255), outline=(255, 255, 255, 255),
              width=max(1, size // 16))
    return image


if __name__ == "__main__":
    out = os.path.join(os.path.dirname(__file__), "..", "res", "icons", "app.ico")
    images = [draw(s) for s in SIZES]
    images[-1].save(out, sizes=[(s, s) for s in SIZES], append_images=images[:-1])
