#!/usr/bin/python3
"""Draws the application's own pictures:
res/icons/app.ico  - the application icon: a green tile with a red record dot;
res/bitmaps/import_mark.bmp - the 13 x 13 mark of the settings menu's import submenu: a folder."""
import os

from PIL import Image, ImageDraw

ROOT = os.path.join(os.path.dirname(__file__), "..", "res")
ICON_SIZES = [16, 32, 48]


def app_icon(size):
    image = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    d = ImageDraw.Draw(image)
    margin = max(1, size // 16)
    d.rounded_rectangle([margin, margin, size - 1 - margin, size - 1 - margin], radius=max(1, size // 6),
                        fill=(33, 126, 104, 255), outline=(20, 80, 66, 255))
    r, c = size * 0.22, size / 2
    d.ellipse([c - r, c - r, c + r, c + r], fill=(230, 40, 40, 255), outline=(255, 255, 255, 255),
              width=max(1, size // 16))
    return image


def import_mark():
    # Menu check marks are drawn on the menu's colour: white around a small yellow folder.
    image = Image.new("RGB", (13, 13), (255, 255, 255))
    d = ImageDraw.Draw(image)
    d.rectangle([1, 3, 5, 4], fill=(214, 160, 40))
    d.rectangle([1, 4, 11, 11], fill=(240, 190, 60), outline=(170, 120, 20))
    return image


if __name__ == "__main__":
    icons = [app_icon(s) for s in ICON_SIZES]
    icons[-1].save(os.path.join(ROOT, "icons", "app.ico"), sizes=[(s, s) for s in ICON_SIZES],
                   append_images=icons[:-1])
    import_mark().save(os.path.join(ROOT, "bitmaps", "import_mark.bmp"))
