# Board pictures: the eight creatures (four twin pairs), the egg, the six power-ups, bursts,
# the selection marker, bubbles, sparkles, the reward star and the burst pieces.
import math

import svgkit as sk

INK = "#10243f"          # outline colour shared by every creature and orb

# Twin pairs share a body; the second twin wears spots so the pair also reads without colour.
# Within a pair one twin is light and the other dark, so they differ in grey too.
CREATURES = {
    1: ("squid", "#e23c4a", False), 2: ("squid", "#5fe3d2", True),
    3: ("fish", "#ffd23a", False), 4: ("fish", "#8a4ee6", True),
    5: ("star", "#ffa040", False), 6: ("star", "#2f6be0", True),
    7: ("puffer", "#a5e04c", False), 8: ("puffer", "#d9438f", True),
}

# Idle poses: (blink, pupil dx, pupil dy, squash, tilt degrees, wiggle phase)
POSES = [
    (False, 0, 0, 1.0, 0, 0.0),
    (True, 0, 0, 1.0, 0, 0.0),
    (False, -2.2, -0.6, 1.0, -5, 0.35),
    (False, 0, 1.0, 0.88, 0, 0.6),
    (False, 2.2, 0, 1.0, 5, 0.85),
]


def body_fill(ctx, base):
    return ctx.defs.radial([(0, sk.shade(base, 0.55)), (0.55, base), (1, sk.shade(base, -0.35))],
                           cx=0.38, cy=0.32, r=0.75)


def eye(cx, cy, r, blink, pdx, pdy):
    if blink:
        return sk.path("M%s %s Q%s %s %s %s" % (sk.f2(cx - r), sk.f2(cy), sk.f2(cx), sk.f2(cy + r * 0.9),
                                               sk.f2(cx + r), sk.f2(cy)),
                       'fill="none" stroke="%s" stroke-width="1.8" stroke-linecap="round"' % INK)
    pr = r * 0.55
    return (sk.ellipse(cx, cy, r, r * 1.12, 'fill="#ffffff" stroke="%s" stroke-width="1.2"' % INK)
            + sk.circle(cx + pdx * r / 4.5, cy + pdy * r / 4.5 + 0.4, pr, 'fill="%s"' % INK)
            + sk.circle(cx + pdx * r / 4.5 - pr * 0.35, cy + pdy * r / 4.5 - pr * 0.35, pr * 0.38,
                        'fill="#ffffff"'))


def spots(pts, base):
    """The spotted twin's marking: pale spots on a dark body, dark spots on a light one."""
    r, g, b = sk.parse(base)
    col = "#ffffff" if 0.3 * r + 0.59 * g + 0.11 * b < 150 else sk.shade(base, -0.45)
    return "".join(sk.circle(x, y, rr * 1.35, 'fill="%s" opacity="0.8"' % col) for x, y, rr in pts)


def squid(ctx, base, spotted, pose):
    blink, pdx, pdy, _, _, wig = pose
    out = []
    # tentacles first, behind the mantle
    for i in range(5):
        x = 14 + i * 5.5
        sway = math.sin((wig + i * 0.21) * 2 * math.pi) * 2.4
        d = "M%s 31 C%s 37 %s 40 %s 46" % (sk.f2(x), sk.f2(x + sway), sk.f2(x - sway), sk.f2(x + sway * 0.8))
        out.append(sk.path(d, 'fill="none" stroke="%s" stroke-width="5.4" stroke-linecap="round"' % INK))
        out.append(sk.path(d, 'fill="none" stroke="%s" stroke-width="3" stroke-linecap="round"'
                           % sk.shade(base, -0.12)))
    mantle = "M10 31 C8 18 14 5 25 5 C36 5 42 18 40 31 C34 34 16 34 10 31 Z"
    out.append(sk.path(mantle, 'fill="%s" stroke="%s" stroke-width="1.7"' % (body_fill(ctx, base), INK)))
    out.append(sk.path("M16 10 C19 7 23 6.5 26 7", 'fill="none" stroke="#ffffff" stroke-width="2" '
                       'stroke-linecap="round" opacity="0.7"'))
    if spotted:
        out.append(spots([(17, 14, 1.8), (32, 12, 2.2), (35, 20, 1.5)], base))
    out.append(eye(19.5, 22, 4.3, blink, pdx, pdy) + eye(30.5, 22, 4.3, blink, pdx, pdy))
    out.append(sk.path("M22 28.5 Q25 30.5 28 28.5", 'fill="none" stroke="%s" stroke-width="1.4" '
                       'stroke-linecap="round"' % INK))
    return "".join(out)


def fish(ctx, base, spotted, pose):
    blink, pdx, pdy, _, _, wig = pose
    flap = math.sin(wig * 2 * math.pi) * 3
    tail = "M36 26 L47 %s Q44 26 47 %s Z" % (sk.f2(16 + flap), sk.f2(36 + flap))
    out = [sk.path(tail, 'fill="%s" stroke="%s" stroke-width="1.6" stroke-linejoin="round"'
                   % (sk.shade(base, -0.2), INK))]
    out.append(sk.path("M17 14 Q24 5 31 13 Z", 'fill="%s" stroke="%s" stroke-width="1.5" stroke-linejoin="round"'
                       % (sk.shade(base, -0.15), INK)))
    out.append(sk.ellipse(22, 26, 17, 14, 'fill="%s" stroke="%s" stroke-width="1.7"' % (body_fill(ctx, base), INK)))
    # gill and belly fin
    out.append(sk.path("M25 18 Q29 26 25 34", 'fill="none" stroke="%s" stroke-width="1.3" opacity="0.6"' % INK))
    out.append(sk.path("M22 37 Q26 %s 30 36" % sk.f2(43 + flap * 0.5),
                       'fill="%s" stroke="%s" stroke-width="1.3"' % (sk.shade(base, -0.15), INK)))
    out.append(sk.path("M11 19 C13 15 17 13 21 13", 'fill="none" stroke="#ffffff" stroke-width="2" '
                       'stroke-linecap="round" opacity="0.7"'))
    if spotted:
        out.append(spots([(31, 22, 2.1), (33, 29, 1.6), (28, 31, 1.4)], base))
    out.append(eye(15, 23, 5.2, blink, pdx, pdy))
    out.append(sk.path("M8.5 30 Q11 31.5 13.5 30", 'fill="none" stroke="%s" stroke-width="1.4" '
                       'stroke-linecap="round"' % INK))
    return "".join(out)


def star(ctx, base, spotted, pose):
    blink, pdx, pdy, _, _, wig = pose
    pts = sk.star_points(25, 26.5, 22.5, 11.5, 5)
    # bend the arm tips a little with the wiggle
    bent = []
    for i, (x, y) in enumerate(pts):
        if i % 2 == 0:
            x += math.sin((wig + i * 0.1) * 2 * math.pi) * 1.6
        bent.append((x, y))
    out = [sk.path(sk.smooth_closed(bent), 'fill="%s" stroke="%s" stroke-width="1.7" stroke-linejoin="round"'
                   % (body_fill(ctx, base), INK))]
    out.append(sk.path("M20 12 Q23 8 25.5 7.5", 'fill="none" stroke="#ffffff" stroke-width="2" '
                       'stroke-linecap="round" opacity="0.7"'))
    dots = [(25, 11, 1.1), (12, 21.5, 1.1), (38, 21.5, 1.1), (16, 39, 1.1), (34, 39, 1.1)]
    out.append("".join(sk.circle(x, y, r, 'fill="%s" opacity="0.8"' % sk.shade(base, 0.55)) for x, y, r in dots))
    if spotted:
        out.append(spots([(18, 32, 1.9), (32, 32, 1.9), (25, 36.5, 1.6)], base))
    out.append(eye(20.5, 24, 4.2, blink, pdx, pdy) + eye(29.5, 24, 4.2, blink, pdx, pdy))
    out.append(sk.path("M22 30 Q25 33 28 30", 'fill="none" stroke="%s" stroke-width="1.4" '
                       'stroke-linecap="round"' % INK))
    return "".join(out)


def puffer(ctx, base, spotted, pose):
    blink, pdx, pdy, _, _, wig = pose
    out = []
    spikes = []
    for i in range(12):
        a = math.radians(i * 30 + 15 + wig * 12)
        cx, cy = 25 + math.cos(a) * 17, 26 + math.sin(a) * 17
        tx, ty = 25 + math.cos(a) * 22.5, 26 + math.sin(a) * 22.5
        px, py = -math.sin(a) * 3.2, math.cos(a) * 3.2
        spikes.append(sk.path(sk.path_from_points([(cx + px, cy + py), (tx, ty), (cx - px, cy - py)]),
                              'fill="%s" stroke="%s" stroke-width="1.3" stroke-linejoin="round"'
                              % (sk.shade(base, 0.35), INK)))
    out.append("".join(spikes))
    flap = math.sin(wig * 2 * math.pi) * 2
    out.append(sk.path("M8 27 Q3 %s 6 %s Z" % (sk.f2(22 + flap), sk.f2(32 + flap)),
                       'fill="%s" stroke="%s" stroke-width="1.3"' % (sk.shade(base, -0.2), INK)))
    out.append(sk.circle(25, 26, 17.5, 'fill="%s" stroke="%s" stroke-width="1.7"' % (body_fill(ctx, base), INK)))
    out.append(sk.ellipse(25, 33, 11, 6, 'fill="#ffffff" opacity="0.28"'))
    out.append(sk.path("M15 17 Q19 11.5 25 11", 'fill="none" stroke="#ffffff" stroke-width="2" '
                       'stroke-linecap="round" opacity="0.7"'))
    if spotted:
        out.append(spots([(16, 31, 1.8), (34, 31, 1.8), (25, 13.5, 1.6)], base))
    out.append(eye(19.5, 23, 4.4, blink, pdx, pdy) + eye(30.5, 23, 4.4, blink, pdx, pdy))
    out.append(sk.ellipse(25, 31.5, 2.4, 2.0, 'fill="%s"' % INK))
    return "".join(out)


SHAPES = {"squid": squid, "fish": fish, "star": star, "puffer": puffer}


def creature(ctx, item, frame, w, h):
    shape, base, spotted = CREATURES[item]
    pose = POSES[frame]
    body = SHAPES[shape](ctx, base, spotted, pose)
    squash, tilt = pose[3], pose[4]
    t = []
    if tilt:
        t.append("rotate(%s 25 44)" % tilt)
    if squash != 1.0:
        t.append("translate(25 46) scale(%s %s) translate(-25 -46)" % (sk.f2(2 - squash), sk.f2(squash)))
    # a soft contact shadow keeps the creatures sitting on the board
    shadow = sk.ellipse(25, 46.5, 13 * (2 - squash), 2.2, 'fill="#001028" opacity="0.28"')
    return shadow + sk.group(body, " ".join(t) if t else None)


def egg(ctx, item, frame, w, h):
    d = "M25 5 C34 5 41 19 41 30 C41 40 34 46 25 46 C16 46 9 40 9 30 C9 19 16 5 25 5 Z"
    fill = ctx.defs.radial([(0, "#ffffff"), (0.5, "#fff2d2"), (1, "#e6c98f")], cx=0.38, cy=0.3, r=0.8)
    out = [sk.ellipse(25, 46.5, 13, 2.2, 'fill="#001028" opacity="0.28"'),
           sk.path(d, 'fill="%s" stroke="%s" stroke-width="1.7"' % (fill, INK))]
    for (x, y, r, c) in [(19, 18, 2.4, "#f2545b"), (31, 16, 1.8, "#27c3b4"), (33, 30, 2.6, "#9d5cf0"),
                         (18, 34, 2.0, "#ffcf33"), (26, 26, 1.6, "#3b82f6"), (27, 39, 1.8, "#8bd13a")]:
        out.append(sk.circle(x, y, r, 'fill="%s" opacity="0.9"' % c))
    out.append(sk.path("M16 14 Q19 9 23 8", 'fill="none" stroke="#ffffff" stroke-width="2.2" stroke-linecap="round"'))
    out.append(sk.path("M13 28 L17 25.5 L20 29 L24 26 L27 29.5", 'fill="none" stroke="%s" stroke-width="1.2" '
                       'stroke-linejoin="round" opacity="0.55"' % INK))
    return "".join(out)


# Power-ups: colour and symbol by power; the 1:00 ones get a gold rim, turning rays and a bigger glow.
POWERS = {10: ("less", "#4cc23a", False), 11: ("less", "#4cc23a", True),
          12: ("clock", "#3cc4ef", False), 13: ("clock", "#3cc4ef", True),
          14: ("infinite", "#b36bff", False), 15: ("infinite", "#b36bff", True)}


def symbol(kind, big):
    s = 1.12 if big else 1.0
    out = []
    if kind == "less":      # one creature stays, its neighbour is crossed out
        def blob(x, y, op):
            return (sk.circle(x, y, 6.8, 'fill="#ffffff" stroke="%s" stroke-width="1.2" opacity="%s"' % (INK, op))
                    + sk.circle(x - 2.3, y - 1, 1.35, 'fill="%s" opacity="%s"' % (INK, op))
                    + sk.circle(x + 2.3, y - 1, 1.35, 'fill="%s" opacity="%s"' % (INK, op)))
        out.append(blob(18, 22, 1) + blob(32, 22, 0.55))
        out.append(sk.path("M27 17 L37 27 M37 17 L27 27", 'stroke="%s" stroke-width="4.6" stroke-linecap="round"' % INK))
        out.append(sk.path("M27 17 L37 27 M37 17 L27 27", 'stroke="#ff2d4b" stroke-width="2.6" stroke-linecap="round"'))
    elif kind == "clock":
        out.append(sk.circle(25, 22, 9, 'fill="#ffffff" stroke="%s" stroke-width="1.3"' % INK))
        for i in range(12):
            a = math.radians(i * 30)
            r0 = 6.6 if i % 3 else 5.6
            out.append(sk.path("M%s %s L%s %s" % (sk.f2(25 + math.cos(a) * r0), sk.f2(22 + math.sin(a) * r0),
                                                  sk.f2(25 + math.cos(a) * 7.8), sk.f2(22 + math.sin(a) * 7.8)),
                               'stroke="%s" stroke-width="1"' % INK))
        out.append(sk.path("M25 22 L25 16.5 M25 22 L29 24", 'stroke="%s" stroke-width="1.6" stroke-linecap="round"'
                           % INK))
        out.append(sk.rrect(31.5, 8, 3, 8, 1, 'fill="#0b4a8f" stroke="#ffffff" stroke-width="1"')
                   + sk.rrect(36, 8, 3, 8, 1, 'fill="#0b4a8f" stroke="#ffffff" stroke-width="1"'))
    else:
        d = ("M25 22 C21 15 13 15 13 22 C13 29 21 29 25 22 C29 15 37 15 37 22 C37 29 29 29 25 22 Z")
        out.append(sk.path(d, 'fill="none" stroke="%s" stroke-width="5.5" stroke-linejoin="round"' % INK))
        out.append(sk.path(d, 'fill="none" stroke="#ffffff" stroke-width="3" stroke-linejoin="round"'))
    return sk.group("".join(out), "translate(25 22) scale(%s) translate(-25 -22)" % s)


def powerup(ctx, item, frame, w, h):
    kind, base, big = POWERS[item]
    ph = frame / 6.0
    pulse = 0.5 + 0.5 * math.cos(ph * 2 * math.pi)
    out = []
    # a breathing glow; the 1:00 ones glow wider and brighter
    glow = ctx.defs.radial([(0, base, (0.7 if big else 0.4) + 0.25 * pulse), (1, base, 0)])
    out.append(sk.circle(25, 24, (22 if big else 19.5) + 2.5 * pulse, 'fill="%s"' % glow))
    if big:
        rays = []
        for i in range(8):
            a = math.radians(i * 45 + frame * 7.5)
            a1, a2 = a - 0.16, a + 0.16
            rays.append(sk.path_from_points([(25 + math.cos(a1) * 16, 24 + math.sin(a1) * 16),
                                             (25 + math.cos(a) * 24.5, 24 + math.sin(a) * 24.5),
                                             (25 + math.cos(a2) * 16, 24 + math.sin(a2) * 16)]))
        out.append(sk.path(" ".join(rays), 'fill="#ffe07a" opacity="%s"' % sk.f2(0.65 + 0.3 * pulse)))
    orb = ctx.defs.radial([(0, sk.shade(base, 0.6)), (0.6, base), (1, sk.shade(base, -0.45))], cx=0.4, cy=0.35, r=0.7)
    rim = "#ffd54a" if big else "#e9f1f7"
    out.append(sk.circle(25, 24, 17.5, 'fill="%s" stroke="%s" stroke-width="%s"' % (orb, INK, 4.6 if big else 3.6)))
    out.append(sk.circle(25, 24, 17.5, 'fill="none" stroke="%s" stroke-width="%s"' % (rim, 2.6 if big else 1.6)))
    bob = math.sin(ph * 2 * math.pi) * 0.9
    out.append(sk.group(symbol(kind, big), "translate(0 %s)" % sk.f2(bob)))
    # travelling shine
    a = math.radians(200 + frame * 60)
    out.append(sk.circle(25 + math.cos(a) * 12.5, 24 + math.sin(a) * 12.5, 1.9, 'fill="#ffffff" opacity="0.85"'))
    out.append(sk.path("M14 17 Q17 11 23 9.5", 'fill="none" stroke="#ffffff" stroke-width="1.8" '
                       'stroke-linecap="round" opacity="0.75"'))
    # time badge
    label = "1:00" if big else "0:30"
    out.append(sk.rrect(13.5, 35, 23, 12, 6, 'fill="%s" stroke="%s" stroke-width="1.2"'
                        % ("#ffd54a" if big else "#ffffff", INK)))
    out.append(ctx.book.fit(label, ctx.style("badge"), (15.5, 37, 19, 8)))
    return "".join(out)


def burst(ctx, item, frame, w, h):
    p = (frame + 1) / 9.0
    fade = 1 - p
    out = []
    if item == 46:     # clearing: a flash, a bright ring running outwards and sparks flying off
        if frame < 3:
            flash = ctx.defs.radial([(0, "#ffffff", 1), (0.6, "#e8fdff", 0.8), (1, "#bff6ff", 0)])
            out.append(sk.circle(25, 25, 14 - frame * 3, 'fill="%s"' % flash))
        r = 5 + 18 * math.sqrt(p)
        out.append(sk.circle(25, 25, r, 'fill="none" stroke="#bff6ff" stroke-width="%s" opacity="%s"'
                             % (sk.f2(5 * fade + 0.6), sk.f2(0.35 * fade + 0.1))))
        out.append(sk.circle(25, 25, r, 'fill="none" stroke="#ffffff" stroke-width="%s" opacity="%s"'
                             % (sk.f2(2 * fade + 0.4), sk.f2(0.9 * fade + 0.1))))
        for i in range(8):
            a = math.radians(i * 45 + 22.5 + frame * 4)
            rr = 4 + 20 * math.sqrt(p) * (1.0 if i % 2 else 0.8)
            x, y = 25 + math.cos(a) * rr, 25 + math.sin(a) * rr
            sz = 4.8 * (1 - p) + 1.2
            out.append(sk.path(sk.path_from_points(sk.star_points(x, y, sz, sz * 0.35, 4)),
                               'fill="%s" opacity="%s"' % ("#fff3a0" if i % 2 else "#ffffff", sk.f2(0.35 + 0.65 * fade))))
    else:               # removal: a puff of bubbles and spray
        out.append(sk.circle(25, 25, 5 + 16 * p, 'fill="none" stroke="#d6f3ff" stroke-width="%s" opacity="%s"'
                             % (sk.f2(3.5 * fade + 0.5), sk.f2(0.9 * fade + 0.1))))
        for i in range(7):
            a = math.radians(i * 51.4 + 10)
            r = 4 + 18 * p * (0.8 + 0.1 * (i % 3))
            x, y = 25 + math.cos(a) * r, 25 + math.sin(a) * r - 4 * p
            rr = 2.2 + (i % 3) * 0.8
            out.append(sk.circle(x, y, rr, 'fill="#9fd8ff" fill-opacity="0.25" stroke="#ffffff" stroke-width="0.9" '
                                 'opacity="%s"' % sk.f2(0.25 + 0.75 * fade)))
        if frame < 3:
            out.append(sk.circle(25, 25, 10 - frame * 3, 'fill="#e8f8ff" opacity="0.7"'))
    return "".join(out)


def selection(ctx, item, frame, w, h):
    if frame == 0:
        return sk.rrect(2.5, 2.5, 45, 45, 9, 'fill="none" stroke="#ffffff" stroke-width="1.6" opacity="0.6"')
    out = [sk.rrect(2.5, 2.5, 45, 45, 10, 'fill="#ffffff" fill-opacity="0.12" stroke="#7df9ff" stroke-width="4" '
                    'opacity="0.55"'),
           sk.rrect(2.5, 2.5, 45, 45, 10, 'fill="none" stroke="#ffffff" stroke-width="2"')]
    for sx, sy in ((0, 0), (1, 0), (0, 1), (1, 1)):
        x = 3 if sx == 0 else 47
        y = 3 if sy == 0 else 47
        dx = 9 if sx == 0 else -9
        dy = 9 if sy == 0 else -9
        out.append(sk.path("M%d %d L%d %d L%d %d" % (x, y + dy, x, y, x + dx, y),
                           'fill="none" stroke="#ffe66d" stroke-width="3" stroke-linecap="round" '
                           'stroke-linejoin="round"'))
    return "".join(out)


def bubble(ctx, item, frame, w, h):
    r = w / 2.0 - 0.6
    c = w / 2.0
    fill = ctx.defs.radial([(0, "#ffffff", 0.05), (0.75, "#bfefff", 0.18), (1, "#ffffff", 0.6)])
    out = [sk.circle(c, c, r, 'fill="%s" stroke="#e8fbff" stroke-width="%s" stroke-opacity="0.85"'
                     % (fill, sk.f2(max(0.8, w / 14.0))))]
    out.append(sk.circle(c - r * 0.38, c - r * 0.38, max(0.8, r * 0.28), 'fill="#ffffff" opacity="0.9"'))
    return "".join(out)


def sparkle(ctx, item, frame, w, h):
    k = item - 53
    col = ["#fff3a0", "#ffffff", "#a8f0ff", "#ffd0f0"][k]
    glow = ctx.defs.radial([(0, col, 0.8), (1, col, 0)])
    out = [sk.circle(7, 7, 6.8, 'fill="%s"' % glow)]
    n, ri = [(4, 1.6), (4, 1.2), (6, 2.0), (8, 2.4)][k]
    rot = [-90, -45, -90, -90][k]
    out.append(sk.path(sk.path_from_points(sk.star_points(7, 7, 6.6, ri, n, rot)), 'fill="#ffffff"'))
    out.append(sk.circle(7, 7, 1.4, 'fill="%s"' % col))
    return "".join(out)


def reward_star(ctx, item, frame, w, h):
    fill = ctx.defs.radial([(0, "#fffbe0"), (0.5, "#ffd54a"), (1, "#f29e0c")], cx=0.4, cy=0.35, r=0.7)
    glow = ctx.defs.radial([(0, "#ffe680", 0.7), (1, "#ffe680", 0)])
    return (sk.circle(15, 15, 14.8, 'fill="%s"' % glow)
            + sk.path(sk.path_from_points(sk.star_points(15, 15.8, 12.5, 5.4, 5)),
                      'fill="%s" stroke="#8a4b00" stroke-width="1.3" stroke-linejoin="round"' % fill)
            + sk.path("M11 11 L14 8.5", 'stroke="#ffffff" stroke-width="1.6" stroke-linecap="round"'))


def piece(ctx, item, frame, w, h):
    base = {64: "#3cc4ef", 65: "#b36bff", 66: "#4cc23a"}[item]
    out = [sk.circle(7, 7, 6.2, 'fill="%s" stroke="%s" stroke-width="1.1"' % (base, INK))]
    if item == 64:
        out.append(sk.path("M7 7 L7 3.6 M7 7 L9.4 8.2", 'stroke="#ffffff" stroke-width="1.4" stroke-linecap="round"'))
    elif item == 65:
        out.append(sk.path("M7 7 C5.5 4.5 2.8 4.5 2.8 7 C2.8 9.5 5.5 9.5 7 7 C8.5 4.5 11.2 4.5 11.2 7 "
                           "C11.2 9.5 8.5 9.5 7 7 Z", 'fill="none" stroke="#ffffff" stroke-width="1.4"'))
    else:
        out.append(sk.rrect(3.5, 6, 7, 2.2, 1.1, 'fill="#ffffff"'))
    out.append(sk.circle(5, 4.6, 1.1, 'fill="#ffffff" opacity="0.8"'))
    return "".join(out)
