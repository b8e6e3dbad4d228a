#!/usr/bin/python3
# Checks the generated icons: every theme size at its size, rounded corners see-through, the
# middle solid, the front creature's red present, the window icon among them, and a second run
# byte-identical.
import filecmp
import os
import shutil
import subprocess
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
    generator, icon_dir, name, window_icon, scratch = sys.argv[1:6]
    bad = problems(icon_dir, name, window_icon)
    shutil.rmtree(scratch, ignore_errors=True)
    subprocess.run([sys.executable, generator, "--icon-dir", scratch, "--name", name,
                    "--window-icon", os.path.join(scratch, "window.png")], check=True)
    pairs = [(os.path.join(icon_dir, name + ".svg"), os.path.join(scratch, name + ".svg")),
             (window_icon, os.path.join(scratch, "window.png"))]
    for size in SIZES:
        rel = os.path.join("hicolor", "%dx%d" % (size, size), "apps", name + ".png")
        pairs.append((os.path.join(icon_dir, rel), os.path.join(scratch, rel)))
    bad += ["%s differs on a second run" % os.path.basename(a) for a, b in pairs if not filecmp.cmp(a, b, shallow=False)]
    shutil.rmtree(scratch, ignore_errors=True)
    if bad:
        print("FAIL icons: " + "; ".join(bad))
        return 1
    print("ok   icons: %d theme sizes, scalable and window icon" % len(SIZES))
    return 0


if __name__ == "__main__":
    sys.exit(main())
