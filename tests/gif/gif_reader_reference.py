#!/usr/bin/python3
"""Makes animated GIFs with ImageMagick and gifsicle, and for each the frames that the import
must compose from it: every frame decoded on its own by an independent decoder (Pillow) and
laid on the canvas with its disposal method. For the frame reader's tests.

Usage: test_gif_frame_reader_reference.py <output folder>

Writes <name>.gif and <name>.rgba (every composed frame, rows top first, 4 bytes a pixel) per
file, and manifest.txt with one line per file: name width height frames delay...
In the pictures alpha 255 is a frame's colour, alpha 1 the canvas where no frame has painted
and alpha 2 the background that disposal 2 paints.
Delays are in hundredths of a second as the import keeps them (none or 0 becomes 5).
"""
import os
import subprocess
import sys

from PIL import Image

IM = "convert"


def run(*args):
    subprocess.run(args, check=True)


def make_files(out):
    files = {}

    def path(name):
        files[name] = os.path.join(out, name + ".gif")
        return files[name]

    # Frames at offsets, a transparent one, local tables, delays 7, 0 and 1500; disposal none.
    run(IM, "-size", "40x30", "xc:red",
        "(", "-size", "10x8", "xc:blue", "-repage", "+5+4", ")",
        "(", "-size", "12x9", "xc:none", "-fill", "lime", "-draw", "rectangle 2,2 9,6",
        "-repage", "+20+10", ")",
        "-set", "dispose", "None", "-set", "delay", "7", "-loop", "0", path("im_offsets"))
    # Same pictures with delays set per frame through gifsicle: 7, 0, 1500.
    run("gifsicle", "--no-warnings", files["im_offsets"], "-d7", "#0", "-d0", "#1", "-d1500", "#2",
        "-o", path("gifsicle_delays"))
    # Restore to background and restore to previous, with transparent areas.
    for name, dispose in (("im_dispose_background", "Background"), ("im_dispose_previous", "Previous")):
        run(IM, "-size", "32x24", "xc:navy",
            "(", "-size", "32x24", "xc:none", "-fill", "yellow", "-draw", "rectangle 4,4 15,11",
            "-repage", "+0+0", ")",
            "(", "-size", "10x10", "xc:none", "-fill", "magenta", "-draw", "rectangle 2,2 7,7",
            "-repage", "+18+10", ")",
            "(", "-size", "32x24", "xc:none", "-fill", "cyan", "-draw", "rectangle 20,2 29,8",
            "-repage", "+0+0", ")",
            "-set", "dispose", dispose, "-set", "delay", "10", "-loop", "0", path(name))
    # Interlaced frames with local tables.
    run("gifsicle", "--no-warnings", "-i", files["im_offsets"], "-o", path("gifsicle_interlaced"))
    # A moving picture optimised by gifsicle: sub-rectangles and transparency between frames.
    frames = []
    for i in range(6):
        frames += ["(", "-size", "64x48", "gradient:orange-purple", "-fill", "white",
                   "-draw", "circle %d,%d %d,%d" % (8 + 9 * i, 20, 14 + 9 * i, 20),
                   "-fill", "black", "-draw", "rectangle %d,36 %d,44" % (50 - 7 * i, 58 - 7 * i), ")"]
    run(IM, *frames, "-set", "delay", "4", "-loop", "0", "+dither", "-colors", "64",
        os.path.join(out, "moving_plain.gif"))
    run("gifsicle", "--no-warnings", "-O3", os.path.join(out, "moving_plain.gif"),
        "-o", path("gifsicle_optimized"))
    os.remove(os.path.join(out, "moving_plain.gif"))
    # gifsicle's own disposal settings over transparent frames.
    for name, dispose in (("gifsicle_dispose_background", "background"),
                          ("gifsicle_dispose_previous", "previous")):
        run("gifsicle", "--no-warnings", "--disposal", dispose, files["im_dispose_background"],
            "-o", path(name))
    return files


def frame_pictures(out, name, gif):
    """Each frame decoded alone by Pillow: (extent, disposal, delay, RGBA picture of the screen)."""
    prefix = os.path.join(out, name + ".frame")
    run("gifsicle", "--no-warnings", "--explode", gif, "-o", prefix)
    frames = []
    i = 0
    while os.path.exists("%s.%03d" % (prefix, i)):
        single = "%s.%03d" % (prefix, i)
        im = Image.open(single)
        extent = im.tile[0][1]
        disposal = im.disposal_method
        cs = int(round(im.info.get("duration", 0) / 10))
        frames.append((extent, disposal, cs if cs >= 1 else 5, im.convert("RGBA")))
        im.close()
        os.remove(single)
        i += 1
    return frames


def compose(w, h, frames):
    """The import's composition: alpha 1 marks canvas never painted, alpha 2 the background
    painted by disposal 2; alpha 255 a frame's colour."""
    canvas = [(0, 0, 0, 1)] * (w * h)
    out = []
    for (x0, y0, x1, y1), disposal, _, picture in frames:
        x0, y0, x1, y1 = max(x0, 0), max(y0, 0), min(x1, w), min(y1, h)
        area = [(x, y) for y in range(y0, y1) for x in range(x0, x1)]
        saved = [canvas[y * w + x] for x, y in area] if disposal == 3 else None
        for x, y in area:
            pixel = picture.getpixel((x, y))
            if pixel[3] == 255:
                canvas[y * w + x] = pixel
        out.append(bytes(v for pixel in canvas for v in pixel))
        if disposal == 2:
            for x, y in area:
                canvas[y * w + x] = (0, 0, 0, 2)
        elif disposal == 3:
            for (x, y), pixel in zip(area, saved):
                canvas[y * w + x] = pixel
    return out


def write_reference(out, files):
    lines = []
    for name in sorted(files):
        with Image.open(files[name]) as im:
            w, h = im.size
            count = im.n_frames
        frames = frame_pictures(out, name, files[name])
        if len(frames) != count:
            raise SystemExit("%s: %d frames exploded, %d counted" % (name, len(frames), count))
        with open(os.path.join(out, name + ".rgba"), "wb") as rgba:
            for picture in compose(w, h, frames):
                rgba.write(picture)
        delays = [str(delay) for _, _, delay, _ in frames]
        lines.append(" ".join([name, str(w), str(h), str(count)] + delays))
    with open(os.path.join(out, "manifest.txt"), "w") as manifest:
        manifest.write("\n".join(lines) + "\n")


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    write_reference(out, make_files(out))


if __name__ == "__main__":
    main()
