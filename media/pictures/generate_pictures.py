#!/usr/bin/python3
# Draws the game's three atlases as SVG, rasterises them with rsvg-convert and writes the atlas
# data list (item, frame count, x, y, w, h ... 255) from the same layout, so table and pictures agree.
#
# Layout of "textatlas1.png" / "textatlastut.png" (1024 x 1024):
#   - the water background fills texels x 0..329, y 0..489 (320 x 480 with a 5-texel margin; item 16 is
#     its inner (5, 5, 320, 480));
#   - the big font (item 42) fills two whole rows from x 0, so its frames wrap exactly at 1024;
#   - the plain translucent fill covers x 526..537, y 662..694 (the code reads 528..534 x 664..691);
#   - the menus' pictures (logo, buttons, mode tiles and names, challenge grid parts, mode icons, divider)
#     share one block. The tutorial atlas shows the same items everywhere else, but in that block holds the
#     tutorial's nine instruction panels (items 37..41, 43, 48, 49, 60, in the order shown) and its answer
#     buttons NEXT (61, for the continue area) and EXIT (118, for the leave area). Both sets are in the one
#     data list; the tutorial never draws a menu picture and the menus never draw a panel.
#   - every other item is packed around these, 2 texels apart, and each frame is clipped to its rectangle.
# Transparent texels next to ink carry the ink's colour, so linear filtering draws no dark fringes.
import argparse
import os
import sys
import time

from PIL import Image, ImageChops, ImageFilter, ImageMath

sys.dont_write_bytecode = True     # keep the source tree clean
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import svgkit as sk                      # noqa: E402
import textfit                           # noqa: E402
import catalogue                         # noqa: E402
import art_background                    # noqa: E402
from art_sea import INK                  # noqa: E402
from packing import MaxRects, pack_best  # noqa: E402

SIZE = 1024
BG_REGION = (0, 0, 330, 490)
FILL_REGION = (526, 662, 12, 33)
FONT_ROW_Y = 494
BLOCK_X = 334
GAP = 2


class Ctx:
    def __init__(self, defs, book):
        self.defs, self.book = defs, book
        self.styles = {}

    def style(self, name, arg=None):
        key = (name, arg)
        if key not in self.styles:
            self.styles[key] = make_style(name, arg)
        return self.styles[key]


def make_style(name, arg):
    S = textfit.Style
    white_aqua = dict(fill="#ffffff", fill2="#bff0ff")
    table = {
        "badge": S("Dosis", 800, 10, fill=INK),
        "digit_big": S("Dosis", 800, 26, stroke=INK, stroke_width=2.4, **white_aqua),
        "digit_small": S("Dosis", 800, 19, fill="#ffffff", fill2="#ffe9a0", stroke=INK, stroke_width=2),
        "digit_popup": S("Dosis", 800, 23, fill="#fff6a0", fill2="#ffb020", stroke="#5a2a00", stroke_width=2),
        "label": S("Dosis", 700, 11, fill="#9fd3f2"),
        "dim": S("Dosis", 800, 18, fill="#5aa3d6"),
        "gain": S("Dosis", 800, 12, fill="#ffffff"),
        "tag": S("Dosis", 800, 14, fill="#ffffff", stroke=INK, stroke_width=2.2),
        "notice": S("Dosis", 800, 18, fill="#ffffff", stroke=INK, stroke_width=2.2),
        "notice_gold": S("Dosis", 800, 18, fill="#fff6a0", fill2="#ffb020", stroke=INK, stroke_width=2.2),
        "button": S("League Spartan", 700, 22, stroke=INK, stroke_width=2.6, shadow=(1.2, 1.8, INK, 0.55),
                    **white_aqua),
        "tagline": S("Dosis", 700, 12, fill="#e6f7ff"),
        "mode_name": S("League Spartan", 700, 28, fill="#ffffff", fill2="#fff3b0", stroke=INK, stroke_width=3,
                       shadow=(1.5, 2, INK, 0.55)),
        "locked": S("Dosis", 800, 15, fill="#dfe6ee"),
        "bigfont": S("League Spartan", 700, 29, stroke=INK, stroke_width=2.6, shadow=(0.8, 1.4, INK, 0.6),
                     **white_aqua),
        "smallfont": S("League Spartan", 700, 15, fill="#ffffff", stroke=INK, stroke_width=1.8),
        "panel_title": S("Dosis", 800, 18, fill="#ffe66d", stroke=INK, stroke_width=2),
        "panel_text": S("Dosis", 700, 13, fill="#ffffff"),
        "answer": S("League Spartan", 700, 17, fill="#ffffff", stroke=INK, stroke_width=2),
        "title_strip": S("League Spartan", 700, 26, fill="#fff6a0", fill2="#ffb020", stroke=INK, stroke_width=3,
                         shadow=(1.5, 2, INK, 0.6), spacing=4),
    }
    if name == "logo":
        return S("Leckerli One", 400, 54, fill=sk.shade(arg, 0.35), fill2=sk.shade(arg, -0.1), stroke=INK,
                 stroke_width=3.6, shadow=(2, 3, INK, 0.6))
    return table[name]


# ---------------------------------------------------------------- layout

def layout(items):
    """Returns {item number: (x, y)} for frame 0 of every item; frames of an item follow in a row."""
    pos = {16: (5, 5), 42: (0, FONT_ROW_Y)}

    def rects(group):
        return [(i.num, i.w * i.frames + GAP, i.h + GAP) for i in items if i.group == group]

    def block(group):
        best = pack_best(rects(group), lambda: MaxRects(BLOCK_X, 0, SIZE - BLOCK_X - 1, BG_REGION[3] + GAP))
        if best is None:
            raise SystemExit("the %s block does not fit beside the background" % group)
        return best

    menu_h, menu = block("menu")
    tut_h, tut = block("tutorial")
    block_h = max(menu_h, tut_h)

    def shared_space():
        mr = MaxRects(0, 0, SIZE - 1, SIZE - 1)
        mr.occupy((0, 0, BG_REGION[2] + GAP, BG_REGION[3] + GAP))
        mr.occupy((BLOCK_X, 0, SIZE - BLOCK_X, block_h + 1))
        mr.occupy((0, FONT_ROW_Y - 1, SIZE, 2 * 36 + 2))
        mr.occupy((FILL_REGION[0] - 2, FILL_REGION[1] - 2, FILL_REGION[2] + 4, FILL_REGION[3] + 4))
        # the big font's second row only uses its left half; the right half is free again
        mr.free.append((16 * 32 + 1, FONT_ROW_Y + 36, SIZE - 16 * 32 - 2, 36))
        return mr

    best = pack_best(rects("shared"), shared_space)
    if best is None:
        raise SystemExit("the shared items do not fit in the atlas")
    for placed in (menu, tut, best[1]):
        for num, (x, y) in placed.items():
            pos[num] = (x + 1, y + 1)
    return pos


def frame_rects(it, pos):
    """Frame rectangles by the data list's rule: x advances by w, wrapping to 0 (and y by h) at 1024."""
    x, y = pos[it.num]
    rects = []
    for _ in range(it.frames):
        rects.append((x, y, it.w, it.h))
        x += it.w
        if x >= SIZE:
            x, y = 0, y + it.h
    return rects


# ---------------------------------------------------------------- drawing

def atlas_svg(items, pos, ctx, tutorial):
    body = []
    bx, by, bw, bh = BG_REGION
    clip = ctx.defs.clip_rect(bw, bh)
    body.append(sk.group(sk.group(art_background.background_region(ctx, 16, 0, bw, bh), None,
                                  'clip-path="%s"' % clip), "translate(%d %d)" % (bx, by)))
    fx, fy, fw, fh = FILL_REGION
    body.append(sk.group(art_background.plain_fill(ctx, 0, 0, fw, fh), "translate(%d %d)" % (fx, fy)))
    for it in items:
        if it.draw is None:
            continue
        if it.group == ("menu" if tutorial else "tutorial"):
            continue
        for f, (x, y, w, h) in enumerate(frame_rects(it, pos)):
            clip = ctx.defs.clip_rect(w, h)
            body.append(sk.group(sk.group(it.draw(ctx, it.num, f, w, h), None, 'clip-path="%s"' % clip),
                                 "translate(%d %d)" % (x, y)))
    return "".join(body)


def loading_svg(ctx):
    """The loading atlas: background (1,1)-(321,481), label (324,2)-(378,56), title (1,482)-(214,509),
    and the progress bar's empty and filled strips in columns 450..470 and 472..492, rows 1..286."""
    import art_sea
    d = ctx.defs
    out = []
    clip = d.clip_rect(322, 482)
    water = art_background.water(ctx, 322, 482, seed=11)
    glow = d.radial([(0, "#bff6ff", 0.35), (1, "#bff6ff", 0)])
    water += sk.circle(161, 251, 150, 'fill="%s"' % glow)
    water += ctx.book.fit("LOADING", ctx.style("locked"), (111, 270, 100, 14))
    out.append(sk.group(water, None, 'clip-path="%s"' % clip))
    # label: the squid in a bubble
    lab = [sk.circle(27, 27, 25.5, 'fill="#bfefff" fill-opacity="0.22" stroke="#e8fbff" stroke-width="1.6"'),
           sk.group(art_sea.creature(ctx, 1, 0, 50, 50), "translate(3 2) scale(0.96)"),
           sk.circle(15, 14, 3.2, 'fill="#ffffff" opacity="0.8"')]
    out.append(sk.group("".join(lab), "translate(324 2)"))
    # title strip
    title = [ctx.book.fit("SQUIBLY", ctx.style("title_strip"), (4, 1, 205, 25), mode="height", max_scale=2)]
    out.append(sk.group("".join(title), "translate(1 482)"))
    # progress strips, the same along their length and symmetric across it, so any quarter turn suits them
    empty = d.linear([(0, "#041629"), (0.5, "#124a78"), (1, "#041629")], 0, 0, 1, 0)
    full = d.linear([(0, "#0f7a3a"), (0.3, "#5be38a"), (0.5, "#d4ffc8"), (0.7, "#5be38a"), (1, "#0f7a3a")], 0, 0, 1, 0)
    out.append('<rect x="448" y="0" width="23" height="288" fill="%s"/>' % empty)
    out.append('<rect x="471" y="0" width="23" height="288" fill="%s"/>' % full)
    return "".join(out)


def document(w, h, defs, body):
    return ('<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d">%s%s</svg>'
            % (w, h, w, h, defs.text(), body))


# ---------------------------------------------------------------- pixels

def bleed(img, steps=2):
    """Gives transparent texels near ink the average colour of their inked neighbours."""
    r, g, b, a = img.split()
    mask = a.point(lambda v: 255 if v > 0 else 0)
    kernel = ImageFilter.Kernel((3, 3), [1] * 9, scale=9)
    bands = [r, g, b]
    for _ in range(steps):
        msum = mask.filter(kernel)
        grow = msum.point(lambda v: 255 if v > 0 else 0)
        fresh = ImageChops.subtract(grow, mask)
        for i, band in enumerate(bands):
            s = ImageChops.multiply(band, mask).filter(kernel)
            avg = ImageMath.eval("convert(min((a * 255 + b / 2) / max(b, 1), 255), 'L')", a=s, b=msum)
            bands[i] = Image.composite(avg, band, fresh)
        mask = grow
    return Image.merge("RGBA", bands + [a])


def save_png(img, path):
    tmp = path + ".tmp"
    img.save(tmp, "PNG", compress_level=6)
    os.replace(tmp, path)


def write_data_list(items, pos, path):
    lines = []
    for it in items:
        x, y = pos[it.num]
        lines.append("%d, %d, %d, %d, %d, %d," % (it.num, it.frames, x, y, it.w, it.h))
    lines.append("255")
    text = "\n".join(lines) + "\n"
    tmp = path + ".tmp"
    with open(tmp, "w") as f:
        f.write(text)
    os.replace(tmp, path)


def main():
    ap = argparse.ArgumentParser(description=__doc__)
    ap.add_argument("--media-dir", required=True)
    ap.add_argument("--generated-dir", required=True)
    ap.add_argument("--keep-svg", help="folder to keep the SVG sources in, for review")
    args = ap.parse_args()
    t0 = time.time()
    textfit.check_fonts()
    items = catalogue.items()
    pos = layout(items)

    book = textfit.TextBook()
    defs = sk.Defs()
    ctx = Ctx(defs, book)
    main_body = atlas_svg(items, pos, ctx, tutorial=False)
    tut_body = atlas_svg(items, pos, ctx, tutorial=True)
    load_defs = sk.Defs()
    load_ctx = Ctx(load_defs, book)
    load_body = loading_svg(load_ctx)
    book.measure()
    docs = {
        "textatlas1.png": document(SIZE, SIZE, defs, book.resolve(main_body, defs)),
        "textatlastut.png": document(SIZE, SIZE, defs, book.resolve(tut_body, defs)),
        "textatlasload.png": document(512, 512, load_defs, book.resolve(load_body, load_defs)),
    }
    os.makedirs(args.media_dir, exist_ok=True)
    os.makedirs(args.generated_dir, exist_ok=True)
    names = sorted(docs)
    if args.keep_svg:
        os.makedirs(args.keep_svg, exist_ok=True)
        for name in names:
            with open(os.path.join(args.keep_svg, name.replace(".png", ".svg")), "w") as f:
                f.write(docs[name])
    for name, img in zip(names, textfit.rasterise_all([docs[n] for n in names])):
        save_png(bleed(img), os.path.join(args.media_dir, name))
    write_data_list(items, pos, os.path.join(args.generated_dir, "atlas_data.inc"))
    print("pictures: 3 atlases and the data list in %.2f s" % (time.time() - t0))


if __name__ == "__main__":
    main()
