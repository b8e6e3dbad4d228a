#!/usr/bin/python3
# Checks the generated atlases and their data list the way the game will read them: the list's records
# by the frame rule, the rectangles against the pictures' texels, and the fixed regions the code addresses.
# Usage: check_atlases.py MEDIA_DIR DATA_LIST CHECK   (CHECK: one of the names in CHECKS)
import re
import sys

from PIL import Image, ImageChops, ImageDraw

WRAP = 1024

# Item -> frame count, as the screens draw them.
CATALOGUE = {k: 5 for k in range(1, 9)}
CATALOGUE.update({9: 1, 16: 1, 17: 2, 18: 1, 19: 1, 20: 10, 21: 12, 22: 1, 23: 1, 24: 11, 26: 1,
                  30: 1, 31: 1, 32: 1, 33: 1, 35: 1, 36: 1, 42: 48, 44: 9, 45: 1, 46: 9, 47: 1, 50: 1, 51: 1,
                  52: 1, 53: 1, 54: 1, 55: 1, 56: 1, 57: 1, 58: 1, 59: 1, 62: 1, 63: 1, 64: 1, 65: 1, 66: 1,
                  67: 1, 68: 1, 69: 1, 70: 1, 86: 48, 87: 1, 88: 1, 89: 1, 110: 6, 111: 1, 112: 1, 113: 1,
                  114: 1, 115: 1, 116: 6, 117: 1, 119: 1})
CATALOGUE.update({k: 6 for k in range(10, 16)})
CATALOGUE.update({k: 1 for k in range(71, 86)})
CATALOGUE.update({k: 1 for k in range(90, 110)})
# Pictures in otherwise free numbers: mode icons (one frame per game mode), the high-score divider,
# the plate behind the menus' text buttons, the tutorial's nine panels and its NEXT / EXIT answers.
TUTORIAL_ONLY = {37, 38, 39, 40, 41, 43, 48, 49, 60, 61, 118}
CATALOGUE.update({25: 4, 27: 1, 28: 1})
CATALOGUE.update({k: 1 for k in TUTORIAL_ONLY})
# Items only the menus draw; the tutorial atlas may hold its panels at their texels.
MENU_ONLY = {25, 26, 27, 28, 67, 68, 69, 88, 116} | set(range(90, 110))

BACKGROUND = (0, 0, 330, 490)             # x, y, w, h of the water picture with its margin
PLAIN_FILL = (528, 664, 7, 28)            # texels 528..534, 664..691
LOAD_BOXES = {"background": (1, 1, 320, 480), "label": (324, 2, 54, 54), "title": (1, 482, 213, 27)}


class Failure(Exception):
    pass


def expect(cond, msg):
    if not cond:
        raise Failure(msg)


def read_list(path):
    text = open(path).read()
    tokens = [t for t in re.split(r"[,\s]+", text) if t]
    for t in tokens:
        expect(re.fullmatch(r"-?\d+(\.\d+)?", t), "not a plain numeric literal in the data list: %r" % t)
    nums = [int(float(t)) for t in tokens]
    recs, i = {}, 0
    while True:
        expect(i < len(nums), "data list does not end with 255")
        if nums[i] == 255:
            expect(i == len(nums) - 1, "numbers after the closing 255")
            break
        expect(i + 6 <= len(nums), "record at %d cut short" % i)
        item, count, x, y, w, h = nums[i:i + 6]
        expect(item not in recs, "item %d listed twice" % item)
        expect(0 <= item < 122 and 1 <= count <= 48, "record of item %d out of the table's bounds" % item)
        recs[item] = (count, x, y, w, h)
        i += 6
    return recs


def frames(rec):
    count, x, y, w, h = rec
    out = []
    for _ in range(count):
        out.append((x, y, w, h))
        x += w
        if x >= WRAP:
            x, y = 0, y + h
    return out


def overlap(a, b):
    return a[0] < b[0] + b[2] and b[0] < a[0] + a[2] and a[1] < b[1] + b[3] and b[1] < a[1] + a[3]


def alpha_box(img, r):
    x, y, w, h = r
    return img.getchannel("A").crop((x, y, x + w, y + h))


def ink_count(img, r):
    return sum(alpha_box(img, r).point(lambda v: 1 if v > 0 else 0).histogram()[1:])


class Atlases:
    def __init__(self, media, data):
        self.recs = read_list(data)
        self.main = Image.open(media + "/textatlas1.png").convert("RGBA")
        self.tut = Image.open(media + "/textatlastut.png").convert("RGBA")
        self.load = Image.open(media + "/textatlasload.png").convert("RGBA")


def check_catalogue(a):
    for item, count in sorted(CATALOGUE.items()):
        expect(item in a.recs, "item %d missing from the data list" % item)
        expect(a.recs[item][0] == count, "item %d has %d frames, wants %d" % (item, a.recs[item][0], count))
    extra = set(a.recs) - set(CATALOGUE)
    expect(not extra, "items not in the catalogue: %s" % sorted(extra))
    for k in list(range(1, 16)) + [17, 30, 31, 32, 33, 35, 36, 44, 46]:
        expect(a.recs[k][3:] == (50, 50), "item %d is not a 50 x 50 board picture" % k)
    for k in (19, 45, 47, 52):
        expect(a.recs[k][3] == 300, "clock bar %d must be 300 wide (the clock widens it by 0..-300)" % k)
    expect(a.recs[42][3] == 32 and a.recs[86][3] == 13, "font cells must match the 32 and 13 unit advances")
    expect(a.recs[16][1:] == (5, 5, 320, 480), "item 16 must be (5, 5, 320, 480)")
    expect(a.recs[116][3:] == (64, 75), "the challenge grid frame must be 64 x 75")


def check_rectangles(a):
    rects = []
    for item, rec in sorted(a.recs.items()):
        for f, r in enumerate(frames(rec)):
            expect(r[0] >= 0 and r[1] >= 0 and r[0] + r[2] <= 1024 and r[1] + r[3] <= 1024,
                   "item %d frame %d %s leaves the atlas" % (item, f, r))
            rects.append((item, f, r))
    for i, (ia, fa, ra) in enumerate(rects):
        if ia != 16:
            expect(not overlap(ra, BACKGROUND), "item %d frame %d covers the background region" % (ia, fa))
        expect(not overlap(ra, PLAIN_FILL), "item %d frame %d covers the plain fill" % (ia, fa))
        for ib, fb, rb in rects[i + 1:]:
            if overlap(ra, rb):
                shared_block = (ia in MENU_ONLY and ib in TUTORIAL_ONLY) or (ib in MENU_ONLY and ia in TUTORIAL_ONLY)
                expect(shared_block, "item %d frame %d overlaps item %d frame %d" % (ia, fa, ib, fb))


def coverage(a, skip):
    mask = Image.new("L", (1024, 1024), 0)
    d = ImageDraw.Draw(mask)
    for item, rec in a.recs.items():
        if item in skip:
            continue
        for x, y, w, h in frames(rec):
            d.rectangle((x, y, x + w - 1, y + h - 1), fill=255)
    for x, y, w, h in (BACKGROUND, (526, 662, 12, 33)):
        d.rectangle((x, y, x + w - 1, y + h - 1), fill=255)
    return mask


def check_ink(a):
    for name, img, skip, drawn in (("main", a.main, TUTORIAL_ONLY, set(a.recs) - TUTORIAL_ONLY),
                                   ("tutorial", a.tut, MENU_ONLY, set(a.recs) - MENU_ONLY)):
        expect(img.size == (1024, 1024), "%s atlas is %s, wants 1024 x 1024" % (name, img.size))
        outside = ImageChops.multiply(img.getchannel("A"), ImageChops.invert(coverage(a, skip)))
        bb = outside.getbbox()
        expect(bb is None, "%s atlas has ink outside every rectangle, within %s" % (name, bb))
        for item in sorted(drawn):
            for f, r in enumerate(frames(a.recs[item])):
                n = ink_count(img, r)
                expect(n >= max(4, r[2] * r[3] // 40) or (item in (42, 86) and n > 0) or item == 57 and n >= 12,
                       "%s atlas: item %d frame %d has almost no ink (%d texels)" % (name, item, f, n))


def check_fixed(a):
    for name, img in (("main", a.main), ("tutorial", a.tut)):
        x, y, w, h = BACKGROUND
        bg = img.crop((x, y, x + w, y + h))
        expect(bg.getchannel("A").getextrema() == (255, 255), "%s atlas: the background has holes" % name)
        x, y, w, h = PLAIN_FILL
        fill = img.crop((x, y, x + w, y + h))
        colours = fill.getcolors(16)
        expect(colours is not None and len(colours) == 1, "%s atlas: the plain fill is not one colour" % name)
        r, g, b, al = colours[0][1]
        expect(60 <= al <= 230 and r + g + b < 150, "%s atlas: the plain fill is not translucent dark: %s"
               % (name, colours[0][1]))
    load = a.load
    expect(load.size[0] >= 512 and load.size[1] >= 512, "loading atlas smaller than 512 x 512")
    for name, (x, y, w, h) in LOAD_BOXES.items():
        n = ink_count(load, (x, y, w, h))
        expect(n > w * h // 8, "loading atlas: the %s is (almost) empty" % name)
    x, y, w, h = LOAD_BOXES["background"]
    expect(load.crop((x, y, x + w, y + h)).getchannel("A").getextrema() == (255, 255),
           "loading atlas: the background is not opaque")


CHECKS = {"catalogue": check_catalogue, "rectangles": check_rectangles, "ink": check_ink, "fixed": check_fixed}


if __name__ == "__main__":
    try:
        CHECKS[sys.argv[3]](Atlases(sys.argv[1], sys.argv[2]))
    except Failure as e:
        sys.exit("FAIL %s: %s" % (sys.argv[3], e))
