#!/usr/bin/python3
# Checks the generated icons: every theme size at its size, rounded corners see-through, the
# middle solid, the front creature's red present, the window icon among them (a second run is
# check_repeatable.py's).
import os
import sys

from PIL import Image

SIZES = (16, 22, 24, 32, 48, 64, 128, 256)
SQUID_RED = (0xe2, 0x3c, 0x4a)


def problems(icon_dir, name, window_icon):
    bad = []
    paths = {size: os.path.join(icon_dir, "hicolor", "%dx%d" % (size, size), "apps", name + ".png") for size in SIZES}
    paths["window"] = window_icon
    for size, path in paths.items():
        img = Image.open(path).convert("RGBA")
        want = 64 if size == "window" else size
        if img.size != (want, want):
            bad.append("%s is %dx%d" % (size, *img.size))
            continue
        w = img.size[0]
        if img.getpixel((0, 0))[3] != 0 or img.getpixel((w - 1, w - 1))[3] != 0:
            bad.append("%s: corners not transparent" % size)
        if img.getpixel((w // 2, w // 2))[3] != 255:
            bad.append("%s: middle not opaque" % size)
        reds = sum(1 for p in img.getdata()
                   if p[3] == 255 and all(abs(a - b) < 40 for a, b in zip(p[:3], SQUID_RED)))
        if reds < w * w // 50:
            bad.append("%s: the red creature is missing (%d texels)" % (size, reds))
    with open(os.path.join(icon_dir, name + ".svg")) as f:
        if "<svg" not in f.read(200):
            bad.append("scalable icon is no SVG")
    return bad


def main():
    bad = problems(*sys.argv[1:4])
    print("FAIL icons: " + "; ".join(bad) if bad else "ok   icons: %d theme sizes, scalable and window icon" % len(SIZES))
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main())
