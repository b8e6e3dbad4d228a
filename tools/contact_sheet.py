#!/usr/bin/python3
# Contact sheet of an atlas: every item and frame of the atlas data list cut out of the picture and
# laid out on a grid with its number ("item.frame"), so a person can review all the art at a glance.
import argparse
import os
import re
import sys

from PIL import Image, ImageDraw, ImageFont

ATLAS_WRAP = 1024
CELL = 72            # frames larger than this are shown scaled down to fit
BIG_CELL = 160       # ... except large pictures, which get a bigger cell
SHEET_W = 1800


def read_records(path):
    nums = [int(float(t)) for t in re.split(r"[,\s]+", open(path).read()) if t]
    recs, i = [], 0
    while i < len(nums) and nums[i] != 255:
        item, count, x, y, w, h = nums[i:i + 6]
        recs.append((item, count, x, y, w, h))
        i += 6
    return recs


def frames(rec):
    item, count, x, y, w, h = rec
    out = []
    for _ in range(count):
        out.append((x, y, w, h))
        x += w
        if x >= ATLAS_WRAP:
            x, y = 0, y + h
    return out


def backdrop(w, h):
    """A dark water-like checker, so both light and dark ink show."""
    img = Image.new("RGBA", (w, h), (18, 48, 74, 255))
    d = ImageDraw.Draw(img)
    for y in range(0, h, 8):
        for x in range((y // 8) % 2 * 8, w, 16):
            d.rectangle((x, y, x + 7, y + 7), fill=(26, 60, 90, 255))
    return img


class Mock:
    """Pastes items where the screens put them, to judge sizes and places in context."""

    def __init__(self, atlas, recs):
        self.atlas, self.recs = atlas, {r[0]: r for r in recs}
        self.img = Image.new("RGBA", (320, 480), (0, 0, 0, 255))

    def frame(self, item, f, x, y, width=None):
        fx, fy, w, h = frames(self.recs[item])[f]
        if width is not None:
            w = int(width)
        if w <= 0:
            return
        self.img.alpha_composite(self.atlas.crop((fx, fy, fx + w, fy + h)), (int(x), int(y)))

    def text(self, item, advance, s, x, y):
        for i, ch in enumerate(s):
            if ord(ch) >= 48:
                self.frame(item, ord(ch) - 48, x + i * advance, y + 1)

    def save(self, path):
        self.img.resize((640, 960), Image.NEAREST).save(path, "PNG")


def mocks(atlas, tut_atlas, recs, out_dir):
    os.makedirs(out_dir, exist_ok=True)
    game = Mock(atlas, recs)
    game.frame(16, 0, 0, 0)
    kinds = [[1, 3, 5, 7, 2, 4], [6, 8, 9, 1, 3, 11], [2, 4, 6, 8, 13, 5], [7, 1, 3, 5, 2, 4],
             [15, 6, 8, 1, 3, 7], [2, 5, 4, 6, 8, 1]]
    for r in range(6):
        for c in range(6):
            k = kinds[r][c]
            game.frame(k, (r + c) % (5 if k <= 8 else 6) if k != 9 else 0, 10 + 50 * c, 10 + 50 * r)
    game.frame(17, 1, 110, 160)
    for x, y, b in ((40, 300, 57), (200, 250, 58), (280, 120, 59)):
        game.frame(b, 0, x, y)
    game.frame(51, 0, 3, 327)
    game.frame(19, 0, 10, 327, width=300 - 110)
    game.frame(18, 0, 7, 324)
    game.frame(110, 2, 265, 327)
    game.frame(62, 0, 0, 360)
    game.frame(11, 1, 9, 360)
    for x, f in ((59, 0), (75, 11), (91, 4), (107, 5)):
        game.frame(21, f, x, 384)
    game.frame(112, 0, 145, 355)
    game.frame(20, 0, 223, 382)
    game.frame(20, 7, 239, 382)
    game.frame(21, 1, 277, 382)
    game.frame(21, 2, 293, 382)
    game.frame(22, 0, 10, 410)
    game.text(20, 16, "12340", 160 - 40, 451)
    for item, x in ((35, 0), (36, 50), (32, 220), (30, 270)):
        game.frame(item, 0, x, 430)
    game.frame(63, 0, 150, 200)
    game.frame(24, 10, 60, 60)
    game.text(24, 16, "250", 76, 59)
    game.save(os.path.join(out_dir, "mock_game.png"))

    menu = Mock(atlas, recs)
    menu.frame(16, 0, 0, 0)
    for i, item in enumerate((90, 96, 91, 95, 94, 93, 92)):
        menu.frame(item, 0, 20 + 40 * i, 40 + (i % 2) * 6)
    for item, x, y in ((97, 69, 144), (98, 61, 192), (99, 98, 240), (100, 73, 288), (101, 71, 336), (88, 78, 384)):
        menu.frame(item, 0, x, y)
    menu.frame(87, 0, 0, 467)
    menu.frame(89, 0, 291, 467)
    menu.save(os.path.join(out_dir, "mock_menu.png"))

    modes = Mock(atlas, recs)
    modes.frame(16, 0, 0, 0)
    modes.text(42, 32, "GAME MODE", 16, 8)
    for k, (tile, name, nx) in enumerate(((102, 106, 99), (103, 107, 88), (104, 108, 94), (105, 26, 97))):
        modes.frame(tile, 0, 3, 58 + 96 * k)
        modes.frame(name, 0, nx, 102 + 96 * k - (2 if name == 26 else 0))
    modes.text(86, 13, "BACK TO MAIN MENU", 160 - 110, 450)
    modes.save(os.path.join(out_dir, "mock_modes.png"))

    tut = Mock(tut_atlas, recs)
    tut.frame(16, 0, 0, 0)
    for r in range(6):
        for c in range(6):
            tut.frame(kinds[(r + 2) % 6][c], 0, 10 + 50 * c, 10 + 50 * r)
    tut.frame(51, 0, 3, 327)
    tut.frame(19, 0, 10, 327, width=300)
    tut.frame(18, 0, 7, 324)
    tut.frame(39, 0, 10, 356)
    tut.frame(61, 0, 24, 446)
    tut.frame(118, 0, 218, 446)
    tut.save(os.path.join(out_dir, "mock_tutorial.png"))

    scores = Mock(atlas, recs)
    scores.frame(16, 0, 0, 0)
    scores.text(42, 32, "HIGHSCORES", 0, 10)
    scores.frame(25, 2, 132, 58)
    scores.text(86, 13, "TIME TRIAL", 160 - 65, 114)
    scores.frame(27, 0, 20, 144)
    for i in range(5):
        scores.text(86, 13, "%d.  %d" % (i + 1, 24000 - 4000 * i), 26, 163 + 30 * i)
        scores.text(86, 13, "L0%d" % (9 - i), 286 - 39, 163 + 30 * i)
    scores.save(os.path.join(out_dir, "mock_scores.png"))

    grid = Mock(atlas, recs)
    grid.frame(16, 0, 0, 0)
    grid.text(42, 32, "CHALLENGES", 0, 10)
    order = (77, 71, 74, 80, 83)
    for t in range(3):
        for k in range(5):
            x, y = 7 + 64 * k, 65 + 75 * t
            if t == 2 and k > 1:
                grid.frame(69, 0, x, y)
                grid.frame(67, 0, x + 3, y + 52)
            else:
                grid.frame(order[k] + t, 0, x, y)
                grid.frame(67, 0, x + 3, y + 52)
                fx, fy, fw, fh = frames(grid.recs[68])[0]
                grid.frame(68, 0, x + 4, y + 53, width=fw * (100 - 30 * t - 10 * k) // 100)
    grid.frame(116, 2, 64 * 1, 75 * 1 + 57)
    grid.text(86, 13, "MASTER SURVIVAL", 160 - 97, 300)
    grid.text(86, 13, "LAST 25 MINUTES", 160 - 97, 325)
    grid.save(os.path.join(out_dir, "mock_challenges.png"))

    opts = Mock(atlas, recs)
    opts.frame(16, 0, 0, 0)
    opts.text(42, 32, "OPTIONS", 48, 10)
    for label, y, v in (("SOUND VOLUME", 68, 0.8), ("MUSIC VOLUME", 135, 0.35), ("SPEECH VOLUME", 202, 0.0)):
        opts.text(86, 13, label, 160 - len(label) * 13 // 2, y)
        opts.frame(50, 0, 1, y + 30)
        opts.frame(70, 0, 8 + 276 * v, y + 25)
    x, y, w, h = 528, 664, 7, 28
    dim = atlas.crop((x, y, x + w, y + h)).resize((288, 150))
    opts.img.alpha_composite(dim, (16, 165))
    opts.text(86, 13, "ARE YOU SURE?", 160 - 84, 195)
    opts.text(86, 13, "YES", 46, 255)
    opts.text(86, 13, "NO", 274 - 26, 255)
    opts.save(os.path.join(out_dir, "mock_options.png"))


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--atlas", required=True)
    ap.add_argument("--data", required=True)
    ap.add_argument("--out", required=True)
    ap.add_argument("--skip", default="", help="comma-separated items this atlas does not show")
    ap.add_argument("--mock", help="also paste screens together from this atlas and the tutorial atlas "
                    "(given here) into the folder of --out")
    args = ap.parse_args()
    atlas = Image.open(args.atlas).convert("RGBA")
    font = ImageFont.load_default()
    tiles = []
    skip = set(int(t) for t in args.skip.split(",") if t)
    for rec in read_records(args.data):
        if rec[0] in skip:
            continue
        for f, (x, y, w, h) in enumerate(frames(rec)):
            pic = atlas.crop((x, y, x + w, y + h))
            cell = BIG_CELL if max(w, h) > 2 * CELL else CELL
            s = min(1.0, (cell - 4) / float(max(w, h)))
            if s < 1.0:
                pic = pic.resize((max(1, int(w * s)), max(1, int(h * s))), Image.LANCZOS)
            tiles.append(("%d.%d" % (rec[0], f), pic, max(cell, pic.width + 4)))
    # flow the tiles into rows
    rows, row, row_w = [], [], 0
    for t in tiles:
        cw = t[2]
        if row and row_w + cw > SHEET_W:
            rows.append(row)
            row, row_w = [], 0
        row.append(t)
        row_w += cw
    if row:
        rows.append(row)
    heights = [max(max(t[1].height for t in r) + 16, CELL) for r in rows]
    sheet = Image.new("RGBA", (SHEET_W, sum(heights) + 4), (8, 20, 34, 255))
    draw = ImageDraw.Draw(sheet)
    y = 2
    for r, rh in zip(rows, heights):
        x = 2
        for label, pic, cw in r:
            back = backdrop(cw - 2, rh - 2)
            sheet.paste(back, (x, y))
            sheet.alpha_composite(pic, (x + (cw - 2 - pic.width) // 2, y + 2))
            draw.text((x + 2, y + rh - 13), label, fill=(255, 230, 110, 255), font=font)
            x += cw
        y += rh
    os.makedirs(os.path.dirname(os.path.abspath(args.out)), exist_ok=True)
    sheet.convert("RGB").save(args.out, "PNG", compress_level=6)
    print("contact sheet: %d frames -> %s" % (len(tiles), args.out))
    if args.mock:
        mocks(atlas, Image.open(args.mock).convert("RGBA"), read_records(args.data),
              os.path.dirname(os.path.abspath(args.out)))


if __name__ == "__main__":
    sys.exit(main())
