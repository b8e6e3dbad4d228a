# Rectangle packing for the atlas: max-rects with best-short-side fit, around fixed obstacles.


class MaxRects:
    def __init__(self, x, y, w, h):
        self.free = [(x, y, w, h)]

    def occupy(self, r):
        """Removes a rectangle (an obstacle or a placed item) from the free space."""
        out = []
        rx, ry, rw, rh = r
        for f in self.free:
            fx, fy, fw, fh = f
            if rx >= fx + fw or rx + rw <= fx or ry >= fy + fh or ry + rh <= fy:
                out.append(f)
                continue
            if rx > fx:
                out.append((fx, fy, rx - fx, fh))
            if rx + rw < fx + fw:
                out.append((rx + rw, fy, fx + fw - rx - rw, fh))
            if ry > fy:
                out.append((fx, fy, fw, ry - fy))
            if ry + rh < fy + fh:
                out.append((fx, ry + rh, fw, fy + fh - ry - rh))
        self.free = _prune(out)

    def place(self, w, h, rule="bssf"):
        best = None
        for fx, fy, fw, fh in self.free:
            if w <= fw and h <= fh:
                if rule == "bl":
                    score = (fy + h, fx)
                else:
                    score = (min(fw - w, fh - h), fy, fx)
                if best is None or score < best[0]:
                    best = (score, (fx, fy, w, h))
        if best is None:
            return None
        self.occupy(best[1])
        return best[1]


def _contains(a, b):
    return b[0] >= a[0] and b[1] >= a[1] and b[0] + b[2] <= a[0] + a[2] and b[1] + b[3] <= a[1] + a[3]


def _prune(rects):
    rects = sorted(set(r for r in rects if r[2] > 0 and r[3] > 0))
    keep = []
    for i, r in enumerate(rects):
        if any(j != i and _contains(o, r) and (o != r or j < i) for j, o in enumerate(rects)):
            continue
        keep.append(r)
    return keep


ORDERS = {
    "height": lambda r: (-r[2], -r[1], r[0]),
    "width": lambda r: (-r[1], -r[2], r[0]),
    "area": lambda r: (-r[1] * r[2], r[0]),
    "side": lambda r: (-max(r[1], r[2]), -min(r[1], r[2]), r[0]),
}


def pack_best(rects, make_space):
    """Tries a few orders and rules; returns the placement {key: (x, y)} with the lowest bottom edge.
    rects: [(key, w, h)]; make_space: builds a fresh MaxRects with its obstacles."""
    best = None
    for rule in ("bssf", "bl"):
        for name in sorted(ORDERS):
            mr = make_space()
            placed = {}
            bottom = 0
            for key, w, h in sorted(rects, key=ORDERS[name]):
                r = mr.place(w, h, rule)
                if r is None:
                    placed = None
                    break
                placed[key] = (r[0], r[1])
                bottom = max(bottom, r[1] + h)
            if placed is not None and (best is None or bottom < best[0]):
                best = (bottom, placed)
    return best
