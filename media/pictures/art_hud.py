# Playing-field pictures: clock bar parts, digit rows, the information panel and its parts,
# control buttons, sliders, challenge icons and bars, notices and the corner decorations.
import math

import svgkit as sk
from art_sea import INK

GLASS = "#0d3357"


def clock_bar(ctx, item, frame, w, h):
    if item == 51:     # the trough behind the bar, with round end knobs left and right of the frame
        out = [sk.rrect(0.5, 0.5, w - 1, h - 1, (h - 1) / 2.0, 'fill="#06182c" fill-opacity="0.85" '
                        'stroke="%s" stroke-width="1"' % INK)]
        for cx in (7, w - 7):
            out.append(sk.circle(cx, h / 2.0, 4.8, 'fill="%s" stroke="#7fb6d9" stroke-width="1.2"' % GLASS))
        return "".join(out)
    if item == 18:     # glossy rim over the bar; the inside stays open
        return (sk.rrect(1.5, 1.5, w - 3, h - 3, (h - 3) / 2.0, 'fill="none" stroke="%s" stroke-width="3"' % INK)
                + sk.rrect(1.5, 1.5, w - 3, h - 3, (h - 3) / 2.0, 'fill="none" stroke="#9fd3f2" stroke-width="1.4"')
                + sk.path("M10 3.2 L%d 3.2" % (w - 10), 'stroke="#ffffff" stroke-width="0.9" opacity="0.55"'))
    top, mid, bot, stripe = {
        19: ("#b8ffb0", "#39d46a", "#14883b", "#ffffff"),
        45: ("#e6fbff", "#63d3ff", "#1f7fc2", "#ffffff"),
        47: ("#fff6b8", "#ffcc29", "#d98a00", "#ffffff"),
        52: ("#ffc2b8", "#ff4b3e", "#a8160e", "#ffe0dc"),
    }[item]
    fill = ctx.defs.linear([(0, top), (0.45, mid), (1, bot)], 0, 0, 0, 1)
    out = [sk.rrect(0, 0, w, h, h / 2.0, 'fill="%s"' % fill)]
    # slanted stripes give the bar a sense of motion; frost marks for the stopped clock
    marks = []
    for x in range(-h, w + h, 12):
        if item == 45:
            marks.append("M%d %s L%d %s" % (x, sk.f2(h * 0.5), x + 4, sk.f2(h * 0.5)))
        else:
            marks.append("M%d %d L%d 0 L%d 0 L%d %d Z" % (x, h, x + h, x + h + 4, x + 4, h))
    if item == 45:
        out.append(sk.path(" ".join(marks), 'stroke="#ffffff" stroke-width="2" stroke-linecap="round" opacity="0.6"'))
    else:
        out.append(sk.path(" ".join(marks), 'fill="%s" opacity="0.18"' % stripe))
    out.append(sk.rrect(3, 1.5, w - 6, h * 0.32, h * 0.16, 'fill="#ffffff" opacity="0.45"'))
    return "".join(out)


def digit(ctx, item, frame, w, h):
    if item == 20:
        ch = str(frame)
        st = ctx.style("digit_big")
    elif item == 21:
        ch = {10: "-", 11: ":"}.get(frame, str(frame))
        st = ctx.style("digit_small")
    else:
        ch = "+" if frame == 10 else str(frame)
        st = ctx.style("digit_popup")
    return ctx.book.fit(ch, st, (1, 1, w - 2, h - 2), mode="height", max_scale=1.6)


def panel(ctx, item, frame, w, h):
    """The information panel: a glass slab under the board with sockets for the figures."""
    fill = ctx.defs.linear([(0, "#1b5d8c", 0.92), (0.25, "#0f3f68", 0.92), (1, "#07223d", 0.96)], 0, 0, 0, 1)
    out = [sk.path("M0 14 Q0 2 12 2 L308 2 Q320 2 320 14 L320 120 L0 120 Z",
                   'fill="%s" stroke="%s" stroke-width="1.5"' % (fill, INK))]
    out.append(sk.path("M8 4.5 L312 4.5", 'stroke="#bfe9ff" stroke-width="1.2" opacity="0.6"'))
    sock = 'fill="#041629" fill-opacity="0.7" stroke="#3f86b8" stroke-width="1"'
    out.append(sk.rrect(57, 20, 70, 28, 8, sock))       # power time
    out.append(sk.rrect(219, 18, 40, 30, 8, sock))      # level
    out.append(sk.rrect(273, 18, 40, 30, 8, sock))      # switches
    out.append(sk.rrect(100, 88, 120, 30, 10, sock))    # score
    # bubbles etched into the glass
    for x, y, r in ((140, 30, 3), (150, 40, 2), (185, 26, 2.5), (196, 40, 1.5), (170, 52, 1.8)):
        out.append(sk.circle(x, y, r, 'fill="none" stroke="#8fd3ff" stroke-width="0.8" opacity="0.35"'))
    return "".join(out)


def panel_labels(ctx, item, frame, w, h):
    st = ctx.style("label")
    out = []
    for text, cx, bw in (("POWER", 56, 60), ("SCORE", 150, 60), ("LEVEL", 229, 40), ("SWAPS", 283, 36)):
        out.append(ctx.book.fit(text, st, (cx - bw / 2.0, 3, bw, h - 6)))
    return "".join(out)


def power_slot(ctx, item, frame, w, h):
    return (sk.circle(25, 24, 17.5, 'fill="#041629" fill-opacity="0.6" stroke="#5aa3d6" stroke-width="1.6" '
                      'stroke-dasharray="4 3"')
            + ctx.book.fit("?", ctx.style("dim"), (18, 15, 14, 18)))


def control(ctx, item, frame, w, h):
    fill = ctx.defs.radial([(0, "#3f9ad6"), (0.7, "#15578a"), (1, "#0b3560")], cx=0.4, cy=0.3, r=0.8)
    out = [sk.circle(25, 25, 19, 'fill="%s" stroke="%s" stroke-width="1.6"' % (fill, INK)),
           sk.circle(25, 25, 17.3, 'fill="none" stroke="#9fdcff" stroke-width="1" opacity="0.7"'),
           sk.path("M13 19 Q17 10 27 9", 'fill="none" stroke="#ffffff" stroke-width="1.8" stroke-linecap="round" '
                   'opacity="0.55"')]
    wht = 'fill="#ffffff"'
    if item in (30, 31):
        out.append(sk.path("M14 21 L19 21 L25 15 L25 35 L19 29 L14 29 Z", wht + ' stroke-linejoin="round"'))
        if item == 30:
            out.append(sk.path("M28.5 20.5 Q31.5 25 28.5 29.5 M32 17 Q37.5 25 32 33",
                               'fill="none" stroke="#ffffff" stroke-width="2" stroke-linecap="round"'))
    elif item in (32, 33):
        out.append(sk.path("M20 31 L20 15 L33 12 L33 28", 'fill="none" stroke="#ffffff" stroke-width="2.4" '
                           'stroke-linejoin="round"'))
        out.append(sk.ellipse(17.5, 31.5, 3.6, 2.8, wht) + sk.ellipse(30.5, 28.5, 3.6, 2.8, wht))
    elif item == 35:
        out.append(sk.rrect(17.5, 15, 5, 20, 1.5, wht) + sk.rrect(27.5, 15, 5, 20, 1.5, wht))
    else:
        for y in (17, 25, 33):
            out.append(sk.rrect(15, y - 1.6, 20, 3.2, 1.6, wht))
            out.append(sk.circle(20 if y != 25 else 29, y, 2.8, 'fill="#ffcf33" stroke="%s" stroke-width="0.8"' % INK))
    if item in (31, 33):
        out.append(sk.path("M14 36 L36 14", 'stroke="%s" stroke-width="5" stroke-linecap="round"' % INK))
        out.append(sk.path("M14 36 L36 14", 'stroke="#ff4b3e" stroke-width="3" stroke-linecap="round"'))
    return "".join(out)


def slider_track(ctx, item, frame, w, h):
    fill = ctx.defs.linear([(0, "#041629", 0.9), (1, "#0f3f68", 0.9)], 0, 0, 0, 1)
    out = [sk.rrect(14, 6, w - 28, 8, 4, 'fill="%s" stroke="#5aa3d6" stroke-width="1.2"' % fill)]
    for i in range(11):
        x = 22 + (w - 44) * i / 10.0
        out.append(sk.path("M%s 16 L%s 19" % (sk.f2(x), sk.f2(x)), 'stroke="#8fd3ff" stroke-width="1" opacity="0.6"'))
    return "".join(out)


def slider_knob(ctx, item, frame, w, h):
    fill = ctx.defs.radial([(0, "#ffffff"), (0.5, "#ffe27a"), (1, "#e89a00")], cx=0.4, cy=0.3, r=0.8)
    return (sk.rrect(2, 1.5, w - 4, h - 3, 7, 'fill="%s" stroke="%s" stroke-width="1.6"' % (fill, INK))
            + sk.path("M%s 10 L%s 20 M%s 10 L%s 20" % (w / 2.0 - 3, w / 2.0 - 3, w / 2.0 + 3, w / 2.0 + 3),
                      'stroke="#a05a00" stroke-width="1.4" stroke-linecap="round"'))


def progress_bar(ctx, item, frame, w, h):
    if item == 67:
        return sk.rrect(0.5, 0.5, w - 1, h - 1, (h - 1) / 2.0, 'fill="#041629" fill-opacity="0.8" '
                        'stroke="#7fb6d9" stroke-width="1"')
    fill = ctx.defs.linear([(0, "#c6ffb8"), (0.5, "#3fd46e"), (1, "#168a3e")], 0, 0, 0, 1)
    return '<rect x="0" y="0" width="%d" height="%d" rx="%s" fill="%s"/>' % (
        w, h, sk.f2(h / 2.0), fill)


TIER = {0: ("#d98b4a", "#8a4b1c", 1), 1: ("#dfe8f0", "#7d8b99", 2), 2: ("#ffd54a", "#b07800", 3)}


def medallion(ctx, rim, rim_dark, inner):
    fill = ctx.defs.radial([(0, sk.shade(inner, 0.45)), (0.7, inner), (1, sk.shade(inner, -0.4))],
                           cx=0.4, cy=0.35, r=0.75)
    ring = ctx.defs.linear([(0, sk.shade(rim, 0.4)), (0.5, rim), (1, rim_dark)], 0, 0, 0, 1)
    return (sk.circle(25, 24, 20.5, 'fill="%s" stroke="%s" stroke-width="1.4"' % (ring, INK))
            + sk.circle(25, 24, 16.5, 'fill="%s" stroke="%s" stroke-width="1.2"' % (fill, INK)))


def challenge_icon(ctx, item, frame, w, h):
    k = (item - 71) // 3          # SURVIVAL, COMBOS, LEVELING, HOARDING, COMMITMENT
    tier = (item - 71) % 3
    rim, rim_dark, nstars = TIER[tier]
    inner = ["#2a9d8f", "#e76f51", "#3a86ff", "#9d5cf0", "#f2545b"][k]
    out = [medallion(ctx, rim, rim_dark, inner)]
    wht = 'fill="#ffffff" stroke="%s" stroke-width="1.1" stroke-linejoin="round"' % INK
    if k == 0:     # survival: an hourglass
        out.append(sk.path("M18 12 L32 12 L32 14 Q32 20 26.5 24 Q32 28 32 34 L32 36 L18 36 L18 34 Q18 28 23.5 24 "
                           "Q18 20 18 14 Z", wht))
        out.append(sk.path("M21 34 Q25 29 29 34 Z M22 16 L28 16 Q27 20 25 21.5 Q23 20 22 16 Z", 'fill="#ffcf33"'))
    elif k == 1:   # combos: a lightning bolt
        out.append(sk.path("M27.5 9 L16.5 26 L23.5 26 L20.5 39 L33 20 L26 20 Z", 'fill="#ffe66d" stroke="%s" '
                           'stroke-width="1.2" stroke-linejoin="round"' % INK))
    elif k == 2:   # leveling: steps with an arrow up
        out.append(sk.path("M13 35 L13 30 L19 30 L19 25 L25 25 L25 20 L31 20 L31 35 Z", wht))
        out.append(sk.path("M34 31 L34 13 M29.5 17.5 L34 12.5 L38.5 17.5", 'fill="none" stroke="%s" '
                           'stroke-width="4.2" stroke-linecap="round" stroke-linejoin="round"' % INK))
        out.append(sk.path("M34 31 L34 13 M29.5 17.5 L34 12.5 L38.5 17.5", 'fill="none" stroke="#ffe66d" '
                           'stroke-width="2.2" stroke-linecap="round" stroke-linejoin="round"'))
    elif k == 3:   # hoarding: a chest of stars
        out.append(sk.path(sk.path_from_points(sk.star_points(20, 17, 5.5, 2.4, 5)), 'fill="#ffd54a" stroke="%s" '
                           'stroke-width="0.9"' % INK))
        out.append(sk.path(sk.path_from_points(sk.star_points(30, 15.5, 5.5, 2.4, 5)), 'fill="#ffd54a" stroke="%s" '
                           'stroke-width="0.9"' % INK))
        out.append(sk.rrect(14, 21, 22, 14, 2.5, 'fill="#b5651d" stroke="%s" stroke-width="1.2"' % INK))
        out.append(sk.path("M14 26 L36 26", 'stroke="%s" stroke-width="1.2"' % INK))
        out.append(sk.rrect(23, 24, 4, 5, 1, 'fill="#ffd54a" stroke="%s" stroke-width="0.8"' % INK))
    else:          # commitment: a long chain of linked creatures
        for i, (x, y) in enumerate(((15, 29), (22, 20), (30, 27), (36, 18))):
            if i:
                px, py = ((15, 29), (22, 20), (30, 27), (36, 18))[i - 1]
                out.append(sk.path("M%d %d L%d %d" % (px, py, x, y), 'stroke="#ffffff" stroke-width="2.2"'))
        for x, y in ((15, 29), (22, 20), (30, 27), (36, 18)):
            out.append(sk.circle(x, y, 4.2, wht) + sk.circle(x - 1.2, y - 0.5, 0.8, 'fill="%s"' % INK)
                       + sk.circle(x + 1.2, y - 0.5, 0.8, 'fill="%s"' % INK))
    # tier stars under the medallion
    xs = {1: [25], 2: [20, 30], 3: [15, 25, 35]}[nstars]
    for x in xs:
        out.append(sk.path(sk.path_from_points(sk.star_points(x, 44.5, 5, 2.2, 5)),
                           'fill="%s" stroke="%s" stroke-width="1"' % (rim, INK)))
    return "".join(out)


def lock_icon(ctx, item, frame, w, h):
    out = [medallion(ctx, "#8a9aa8", "#4d5b68", "#2b3d50")]
    out.append(sk.path("M19 23 L19 18 Q19 11.5 25 11.5 Q31 11.5 31 18 L31 23", 'fill="none" stroke="%s" '
                       'stroke-width="5"' % INK))
    out.append(sk.path("M19 23 L19 18 Q19 11.5 25 11.5 Q31 11.5 31 18 L31 23", 'fill="none" stroke="#cfd8e0" '
                       'stroke-width="2.8"'))
    out.append(sk.rrect(15.5, 22, 19, 15, 3, 'fill="#ffcf33" stroke="%s" stroke-width="1.3"' % INK))
    out.append(sk.circle(25, 28, 2.2, 'fill="%s"' % INK) + sk.path("M25 29 L25 33", 'stroke="%s" stroke-width="2"' % INK))
    return "".join(out)


def grid_frame(ctx, item, frame, w, h):
    p = 0.5 + 0.5 * math.cos(frame / 6.0 * 2 * math.pi)
    return (sk.rrect(3, 3, w - 6, h - 6, 10, 'fill="#7df9ff" fill-opacity="%s" stroke="#7df9ff" stroke-width="5" '
                     'stroke-opacity="%s"' % (sk.f2(0.06 + 0.06 * p), sk.f2(0.25 + 0.3 * p)))
            + sk.rrect(3, 3, w - 6, h - 6, 10, 'fill="none" stroke="#ffffff" stroke-width="2" stroke-dasharray="8 4" '
                       'stroke-dashoffset="%s"' % sk.f2(frame * 2)))


def clock_gain(ctx, item, frame, w, h):
    p = 0.5 + 0.5 * math.cos(frame / 6.0 * 2 * math.pi)
    out = [sk.rrect(1, 1, w - 2, h - 2, (h - 2) / 2.0, 'fill="#0a5a2a" fill-opacity="%s" stroke="#b8ffb0" '
                    'stroke-width="1"' % sk.f2(0.55 + 0.3 * p))]
    out.append(ctx.book.fit("+TIME", ctx.style("gain"), (4, 2.5, w - 8, h - 5), max_scale=1.0 + 0.08 * p))
    # a glint runs along the pill once per cycle
    gx = 4 + (w - 8) * frame / 5.0
    out.append(sk.path(sk.path_from_points(sk.star_points(gx, 3.5, 3.2, 0.9, 4)), 'fill="#ffffff" opacity="0.9"'))
    return "".join(out)


def tag(ctx, box_w, box_h, text, fill, lines=None):
    out = [sk.rrect(1, 1, box_w - 2, box_h - 2, 6, 'fill="%s" stroke="%s" stroke-width="1.4"' % (fill, INK)),
           sk.rrect(3, 2.5, box_w - 6, (box_h - 4) * 0.35, 3, 'fill="#ffffff" opacity="0.25"')]
    st = ctx.style("tag")
    if lines:
        lh = (box_h - 6) / 2.0
        for i, ln in enumerate(lines):
            out.append(ctx.book.fit(ln, st, (4, 3 + i * lh, box_w - 8, lh - 0.5)))
    else:
        out.append(ctx.book.fit(text, st, (4, 4, box_w - 8, box_h - 8)))
    return "".join(out)


MODE_COLOURS = {"TIME TRIAL": "#ff9f1c", "ARCADE": "#2ec4b6", "PUZZLE": "#9d5cf0", "ZEN": "#5ec26a"}


def mode_tag(ctx, item, frame, w, h):
    name = {111: "TIME TRIAL", 112: "ARCADE", 113: "PUZZLE", 114: "ZEN"}[item]
    if name == "TIME TRIAL":
        return tag(ctx, w, h, None, MODE_COLOURS[name], ["TIME", "TRIAL"])
    return tag(ctx, w, h, name, MODE_COLOURS[name])


def notice_word(ctx, item, frame, w, h):
    if item == 117:
        return tag(ctx, w, h, "HIGH SCORE!", "#ffcf33")
    return tag(ctx, w, h, "UNLOCKED!", "#8bd13a")


def challenge_notice(ctx, item, frame, w, h):
    """Backs a challenge icon drawn at its left; the words stand to the right of it."""
    fill = ctx.defs.linear([(0, "#2a6fa8", 0.95), (1, "#0b3560", 0.95)], 0, 0, 0, 1)
    out = [sk.rrect(1, 1, w - 2, h - 2, 12, 'fill="%s" stroke="%s" stroke-width="1.5"' % (fill, INK)),
           sk.circle(30, 28, 25, 'fill="#ffe66d" opacity="0.25"'),
           sk.rrect(4, 3.5, w - 8, 10, 5, 'fill="#ffffff" opacity="0.18"')]
    st = ctx.style("notice")
    out.append(ctx.book.fit("CHALLENGE", st, (62, 7, w - 68, 20)))
    out.append(ctx.book.fit("COMPLETE!", ctx.style("notice_gold"), (62, 30, w - 68, 20)))
    return "".join(out)


def corner(ctx, item, frame, w, h):
    # a scallop shell beside a tuft of weed; the right corner is the mirror image
    shell = ctx.defs.linear([(0, "#ffd9c2"), (1, "#f08a7a")], 0, 0, 0, 1)
    out = [sk.path("M2 13 C1 8 5 6 3 1 C7 5 8 9 6 13 Z", 'fill="#3fbf6a" stroke="%s" stroke-width="0.9"' % INK),
           sk.path("M6 13 C7 9 11 7 10 2 C14 6 13 10 11 13 Z", 'fill="#5fd47f" stroke="%s" stroke-width="0.9"' % INK),
           sk.path("M13 12.5 L20 12.5 L27 12.5 C28 6 24 1.5 20 1.5 C16 1.5 12 6 13 12.5 Z",
                   'fill="%s" stroke="%s" stroke-width="1"' % (shell, INK))]
    for x in (15.5, 18, 20, 22, 24.5):
        out.append(sk.path("M20 12 L%s 3" % sk.f2(x), 'stroke="#c0584e" stroke-width="0.7" opacity="0.8"'))
    out.append(sk.rrect(17.5, 11, 5, 2, 1, 'fill="#f08a7a" stroke="%s" stroke-width="0.6"' % INK))
    body = "".join(out)
    if item == 89:
        return sk.group(body, "translate(%d 0) scale(-1 1)" % w)
    return body
