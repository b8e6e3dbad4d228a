# Text pictures: every word is rendered once at its nominal size, its ink measured, then placed
# by a transform that centres (and if needed squeezes) the ink into its box in the final atlas.
import io
import subprocess

from PIL import Image

import svgkit as sk

FAMILIES = ("Dosis", "League Spartan", "Leckerli One")


def check_fonts():
    """fontconfig quietly substitutes a missing family; refuse to draw with a stand-in."""
    for fam in FAMILIES:
        out = subprocess.run(["fc-match", "-f", "%{family}", fam], capture_output=True, text=True).stdout
        if fam not in out.split(","):
            raise SystemExit("font family '%s' not installed (fc-match gives '%s')" % (fam, out))


def rasterise(svg_text):
    return rasterise_all([svg_text])[0]


def rasterise_all(svg_texts):
    """Runs one rsvg-convert per document, side by side."""
    import tempfile
    procs = []
    for text in svg_texts:
        src = tempfile.TemporaryFile()
        src.write(text.encode("utf-8"))
        src.seek(0)
        procs.append((src, subprocess.Popen(["rsvg-convert", "--format=png"], stdin=src, stdout=subprocess.PIPE)))
    out = []
    for src, proc in procs:
        data, _ = proc.communicate()
        src.close()
        if proc.returncode != 0:
            raise SystemExit("rsvg-convert failed (%d)" % proc.returncode)
        out.append(Image.open(io.BytesIO(data)).convert("RGBA"))
    return out


def _esc(t):
    return t.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")


class Style:
    def __init__(self, family="Dosis", weight=800, size=20, fill="#ffffff", fill2=None, stroke=None,
                 stroke_width=0, shadow=None, spacing=0):
        self.family, self.weight, self.size = family, weight, size
        self.fill, self.fill2 = fill, fill2
        self.stroke, self.stroke_width = stroke, stroke_width
        self.shadow = shadow            # (dx, dy, colour, opacity)
        self.spacing = spacing

    def key(self):
        return (self.family, self.weight, self.size, self.fill, self.fill2, self.stroke, self.stroke_width,
                self.shadow, self.spacing)

    def render(self, defs, text):
        """The styled text with its baseline start at (0, 0)."""
        base = 'font-family="%s" font-weight="%d" font-size="%s"' % (self.family, self.weight, sk.f2(self.size))
        if self.spacing:
            base += ' letter-spacing="%s"' % sk.f2(self.spacing)
        t = _esc(text)
        parts = []
        if self.shadow:
            dx, dy, col, op = self.shadow
            sw = ' stroke="%s" stroke-width="%s" stroke-linejoin="round"' % (col, sk.f2(self.stroke_width)) \
                if self.stroke else ""
            parts.append('<text x="%s" y="%s" %s fill="%s"%s opacity="%s">%s</text>'
                         % (sk.f2(dx), sk.f2(dy), base, col, sw, op, t))
        fill = self.fill
        if self.fill2:
            fill = defs.linear([(0, self.fill), (1, self.fill2)], 0, 0, 0, 1)
        st = ""
        if self.stroke:
            st = ' stroke="%s" stroke-width="%s" stroke-linejoin="round" paint-order="stroke"' % (
                self.stroke, sk.f2(self.stroke_width))
        parts.append('<text x="0" y="0" %s fill="%s"%s>%s</text>' % (base, fill, st, t))
        return "".join(parts)


class TextBook:
    """Collects text requests during drawing; resolves them after one measuring render."""

    def __init__(self):
        self.requests = []      # (text, style, box, mode, align)
        self.ink = {}           # (text, style key) -> (x0, y0, x1, y1) relative to the baseline start

    def fit(self, text, style, box, mode="fit", align="center", max_scale=1.25, min_squeeze=0.55, baseline=None,
            paragraph=None):
        """mode "fit" scales the ink uniformly into box, "height" fills its height and squeezes wide
        text, "glyph" keeps the style's size and baseline (a font cell) and only squeezes or nudges.
        Lines given the same paragraph name (mode "fit", boxes of one height) share one scale and
        one baseline within their boxes, so a paragraph reads as one size of letters."""
        if mode == "glyph":
            max_scale = baseline
        self.requests.append((text, style, box, mode, align, max_scale, min_squeeze, paragraph))
        return "\x00T%d\x00" % (len(self.requests) - 1)

    def measure(self):
        wanted = {}
        for text, style, *_ in self.requests:
            wanted.setdefault((text, style.key()), (text, style))
        keys = sorted(wanted.keys(), key=lambda k: (k[1][2], k[0], repr(k[1])))
        width = 2048
        x = y = row_h = 0
        slots = []
        for k in keys:
            text, style = wanted[k]
            s = style.size
            w = int(len(text) * s * 0.9 + 4 * s + 2 * style.stroke_width) + 8
            h = int(s * 2.8) + 8
            if x + w > width:
                x, y, row_h = 0, y + row_h, 0
            slots.append((k, x, y, w, h))
            x += w
            row_h = max(row_h, h)
        height = y + row_h
        defs = sk.Defs()
        body = []
        for k, sx, sy, w, h in slots:
            text, style = wanted[k]
            ax, ay = sx + int(2 * style.size), sy + int(1.9 * style.size)
            body.append(sk.group(style.render(defs, text), "translate(%s %s)" % (sk.f2(ax), sk.f2(ay))))
        svg = ('<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d">%s%s</svg>'
               % (width, height, defs.text(), "".join(body)))
        img = rasterise(svg).getchannel("A")
        for k, sx, sy, w, h in slots:
            text, style = wanted[k]
            ax, ay = sx + int(2 * style.size), sy + int(1.9 * style.size)
            bb = img.crop((sx, sy, sx + w, sy + h)).getbbox()
            if bb is None:
                raise SystemExit("text %r drew no ink" % text)
            if bb[0] == 0 or bb[1] == 0 or bb[2] == w or bb[3] == h:
                raise SystemExit("text %r overflowed its measuring slot" % text)
            self.ink[k] = (sx + bb[0] - ax, sy + bb[1] - ay, sx + bb[2] - ax, sy + bb[3] - ay)

    def placed(self, index, defs):
        text, style, box, mode, align, max_scale, min_squeeze, paragraph = self.requests[index]
        x0, y0, x1, y1 = self.ink[(text, style.key())]
        mw, mh = x1 - x0, y1 - y0
        bx, by, bw, bh = box
        if paragraph is not None:
            lines = [(r[2], self.ink[(r[0], r[1].key())]) for r in self.requests if r[7] == paragraph]
            top = min(ink[1] for _, ink in lines)
            bottom = max(ink[3] for _, ink in lines)
            s = min([b[2] / (ink[2] - ink[0]) for b, ink in lines] + [bh / (bottom - top), max_scale])
            if align == "left":
                tx = bx - x0 * s
            else:
                tx = bx + (bw - mw * s) / 2 - x0 * s
            ty = by + (bh - (bottom - top) * s) / 2 - top * s
            return sk.group(style.render(defs, text),
                            "translate(%s %s) scale(%s)" % (sk.f2(tx), sk.f2(ty), "%.4f" % s))
        if mode == "glyph":
            sx = min(1.0, bw / mw)
            sy = 1.0
            ty = by + max_scale
            if mh > bh:
                sy = bh / mh
                ty = by - y0 * sy
            elif ty + y0 < by:
                ty = by - y0
            elif ty + y1 > by + bh:
                ty = by + bh - y1
            tx = bx + (bw - mw * sx) / 2 - x0 * sx
            if sx == 1.0 and sy == 1.0:
                # whole-texel offsets draw exactly the measured pixels: crisp, and the ink stays in the cell
                tx, ty = round(tx), round(ty)
            return sk.group(style.render(defs, text),
                            "translate(%s %s) scale(%s %s)" % (sk.f2(tx), sk.f2(ty), "%.4f" % sx, "%.4f" % sy))
        if mode == "fit":               # uniform scale into the box
            s = min(bw / mw, bh / mh, max_scale)
            sx = sy = s
        else:                           # "height": fill the height, squeeze wide text sideways
            sy = min(bh / mh, max_scale)
            sx = min(sy, bw / mw)
            if sx < sy * min_squeeze:
                sy = sx / min_squeeze
        iw, ih = mw * sx, mh * sy
        if align == "left":
            tx = bx - x0 * sx
        elif align == "right":
            tx = bx + bw - iw - x0 * sx
        else:
            tx = bx + (bw - iw) / 2 - x0 * sx
        ty = by + (bh - ih) / 2 - y0 * sy
        return sk.group(style.render(defs, text),
                        "translate(%s %s) scale(%s %s)" % (sk.f2(tx), sk.f2(ty), "%.4f" % sx, "%.4f" % sy))

    def resolve(self, svg, defs):
        out = []
        parts = svg.split("\x00")
        for i, p in enumerate(parts):
            if i % 2 == 1:
                out.append(self.placed(int(p[1:]), defs))
            else:
                out.append(p)
        return "".join(out)
