# Small SVG building blocks shared by the picture generators: ids, gradients, shapes, colours.
import colorsys

_next_id = [0]


def new_id(prefix):
    _next_id[0] += 1
    return "%s%d" % (prefix, _next_id[0])


class Defs:
    """Collects <defs> entries of one document; ids are sequential, so output is repeatable."""

    def __init__(self):
        self.parts = []

    def add(self, text):
        self.parts.append(text)

    def linear(self, stops, x1=0, y1=0, x2=0, y2=1, user=None):
        gid = new_id("g")
        units = ""
        if user:
            units = ' gradientUnits="userSpaceOnUse"'
        self.add('<linearGradient id="%s" x1="%s" y1="%s" x2="%s" y2="%s"%s>%s</linearGradient>'
                 % (gid, x1, y1, x2, y2, units, _stops(stops)))
        return "url(#%s)" % gid

    def radial(self, stops, cx=0.5, cy=0.5, r=0.5, fx=None, fy=None, user=False):
        gid = new_id("g")
        extra = ""
        if fx is not None:
            extra += ' fx="%s" fy="%s"' % (fx, fy)
        if user:
            extra += ' gradientUnits="userSpaceOnUse"'
        self.add('<radialGradient id="%s" cx="%s" cy="%s" r="%s"%s>%s</radialGradient>'
                 % (gid, cx, cy, r, extra, _stops(stops)))
        return "url(#%s)" % gid

    def clip_rect(self, w, h):
        cid = new_id("c")
        self.add('<clipPath id="%s"><rect x="0" y="0" width="%d" height="%d"/></clipPath>' % (cid, w, h))
        return "url(#%s)" % cid

    def filter(self, body, extra=""):
        fid = new_id("f")
        self.add('<filter id="%s" %s>%s</filter>' % (fid, extra, body))
        return "url(#%s)" % fid

    def text(self):
        return "<defs>%s</defs>" % "".join(self.parts)


def _stops(stops):
    out = []
    for s in stops:
        off, col = s[0], s[1]
        op = s[2] if len(s) > 2 else 1
        out.append('<stop offset="%s" stop-color="%s" stop-opacity="%s"/>' % (off, col, op))
    return "".join(out)


def hexc(r, g, b):
    clamp = lambda v: max(0, min(255, int(round(v))))
    return "#%02x%02x%02x" % (clamp(r), clamp(g), clamp(b))


def parse(c):
    c = c.lstrip("#")
    return int(c[0:2], 16), int(c[2:4], 16), int(c[4:6], 16)


def shade(c, f):
    """f > 0 mixes toward white, f < 0 toward black."""
    r, g, b = parse(c)
    if f >= 0:
        return hexc(r + (255 - r) * f, g + (255 - g) * f, b + (255 - b) * f)
    f = -f
    return hexc(r * (1 - f), g * (1 - f), b * (1 - f))


def hsl(h, s, l):
    r, g, b = colorsys.hls_to_rgb((h % 360) / 360.0, l, s)
    return hexc(r * 255, g * 255, b * 255)


def f2(v):
    return ("%.2f" % v).rstrip("0").rstrip(".")


def path_from_points(pts, close=True):
    d = "M" + " L".join("%s %s" % (f2(x), f2(y)) for x, y in pts)
    return d + (" Z" if close else "")


def smooth_closed(pts):
    """Closed Catmull-Rom curve through the points, as cubic Beziers."""
    n = len(pts)
    d = "M%s %s" % (f2(pts[0][0]), f2(pts[0][1]))
    for i in range(n):
        p0, p1, p2, p3 = pts[i - 1], pts[i], pts[(i + 1) % n], pts[(i + 2) % n]
        c1 = (p1[0] + (p2[0] - p0[0]) / 6.0, p1[1] + (p2[1] - p0[1]) / 6.0)
        c2 = (p2[0] - (p3[0] - p1[0]) / 6.0, p2[1] - (p3[1] - p1[1]) / 6.0)
        d += " C%s %s %s %s %s %s" % (f2(c1[0]), f2(c1[1]), f2(c2[0]), f2(c2[1]), f2(p2[0]), f2(p2[1]))
    return d + " Z"


def star_points(cx, cy, r_out, r_in, n, rot=-90):
    import math
    pts = []
    for i in range(2 * n):
        r = r_out if i % 2 == 0 else r_in
        a = math.radians(rot + i * 180.0 / n)
        pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return pts


def rrect(x, y, w, h, r, attrs):
    return '<rect x="%s" y="%s" width="%s" height="%s" rx="%s" %s/>' % (f2(x), f2(y), f2(w), f2(h), f2(r), attrs)


def circle(cx, cy, r, attrs):
    return '<circle cx="%s" cy="%s" r="%s" %s/>' % (f2(cx), f2(cy), f2(r), attrs)


def ellipse(cx, cy, rx, ry, attrs):
    return '<ellipse cx="%s" cy="%s" rx="%s" ry="%s" %s/>' % (f2(cx), f2(cy), f2(rx), f2(ry), attrs)


def path(d, attrs):
    return '<path d="%s" %s/>' % (d, attrs)


def group(body, transform=None, attrs=""):
    t = ' transform="%s"' % transform if transform else ""
    return "<g%s %s>%s</g>" % (t, attrs, body)
