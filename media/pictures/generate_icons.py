#!/usr/bin/python3
# Draws the game's icon from the creature art of the atlases: a tile of deep water with the red
# squid in front and its spotted twin peeking from behind. Writes the scalable SVG, the hicolor
# theme sizes and the window icon the game loads at start-up.
import argparse
import os
import subprocess
import sys

sys.dont_write_bytecode = True     # keep the source tree clean
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import svgkit as sk                      # noqa: E402
from art_sea import CREATURES, POSES, SHAPES, INK  # noqa: E402

THEME_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)
WINDOW_ICON_SIZE = 64
VIEW = 256


class Ctx:
    def __init__(self, defs):
        self.defs = defs


def creature_at(ctx, kind, pose, x, y, scale):
    shape, base, spotted = CREATURES[kind]
    body = SHAPES[shape](ctx, base, spotted, POSES[pose])
    shadow = sk.ellipse(25, 46.5, 13, 2.2, 'fill="#001028" opacity="0.35"')
    return sk.group(shadow + body, "translate(%s %s) scale(%s)" % (sk.f2(x), sk.f2(y), sk.f2(scale)))


def icon_svg(small):
    """small: the 16 to 24 pixel sizes, where only the front creature stays legible."""
    defs = sk.Defs()
    ctx = Ctx(defs)
    water = defs.linear([(0, "#39b9dd"), (0.5, "#1573a6"), (1, "#0a3a6c")], 0, 0, 0, 1)
    shine = defs.radial([(0, "#e8fbff", 0.45), (1, "#e8fbff", 0)], cx=0.3, cy=0.15, r=0.6)
    inset = 4 if small else 10
    side = VIEW - 2 * inset
    radius = side * 0.22
    out = [sk.rrect(inset, inset, side, side, radius, 'fill="%s" stroke="%s" stroke-width="%s"'
                    % (water, INK, 10 if small else 7)),
           sk.rrect(inset, inset, side, side, radius, 'fill="%s"' % shine)]
    if small:
        out.append(creature_at(ctx, 1, 0, 18, 14, 4.4))
    else:
        for cx, cy, r in ((60, 200, 9), (78, 176, 6), (196, 70, 7), (212, 96, 4.5)):
            out.append(sk.circle(cx, cy, r, 'fill="#e8fbff" fill-opacity="0.25" stroke="#e8fbff" '
                                 'stroke-opacity="0.7" stroke-width="2.2"'))
        out.append(creature_at(ctx, 2, 4, 112, 26, 2.5))
        out.append(creature_at(ctx, 1, 2, 30, 52, 3.6))
    return ('<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d">%s%s</svg>\n'
            % (VIEW, VIEW, VIEW, VIEW, defs.text(), "".join(out)))


def rasterise(svg_text, size, path):
    tmp = path + ".tmp"
    with open(tmp, "wb") as f:
        subprocess.run(["rsvg-convert", "--format=png", "--width=%d" % size, "--height=%d" % size],
                       input=svg_text.encode("utf-8"), stdout=f, check=True)
    os.replace(tmp, path)


def write_text(text, path):
    tmp = path + ".tmp"
    with open(tmp, "w") as f:
        f.write(text)
    os.replace(tmp, path)


def main():
    ap = argparse.ArgumentParser(description="Draws the game's icons.")
    ap.add_argument("--icon-dir", required=True, help="folder for squibly.svg and hicolor/NxN/apps/")
    ap.add_argument("--name", required=True, help="icon name inside the theme")
    ap.add_argument("--window-icon", required=True, help="PNG the game shows as its window icon")
    args = ap.parse_args()
    full, small = icon_svg(False), icon_svg(True)
    os.makedirs(args.icon_dir, exist_ok=True)
    write_text(full, os.path.join(args.icon_dir, args.name + ".svg"))
    for size in THEME_SIZES:
        folder = os.path.join(args.icon_dir, "hicolor", "%dx%d" % (size, size), "apps")
        os.makedirs(folder, exist_ok=True)
        rasterise(small if size <= 24 else full, size, os.path.join(folder, args.name + ".png"))
    os.makedirs(os.path.dirname(os.path.abspath(args.window_icon)), exist_ok=True)
    rasterise(full, WINDOW_ICON_SIZE, args.window_icon)


if __name__ == "__main__":
    main()
