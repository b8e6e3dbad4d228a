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


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--atlas", required=True)
    ap.add_argument("--data", required=True)
    ap.add_argument("--out", required=True)
    ap.add_argument("--skip", default="", help="comma-separated items this atlas does not show")
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


if __name__ == "__main__":
    sys.exit(main())
