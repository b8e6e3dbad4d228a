# Menu pictures: the logo letters, word buttons, game mode tiles, names and icons, the two fonts,
# the high-score divider and the tutorial's instruction panels and answer buttons.

import svgkit as sk
import art_sea
from art_sea import INK
from art_hud import MODE_COLOURS

# The logo reads "Squibly": a capital S and lower-case letters on one baseline (a script capital I
# looks like a slash on its own).
LOGO = {90: ("S", "#f2545b"), 96: ("q", "#ffcf33"), 91: ("u", "#27c3b4"), 95: ("i", "#ff8a3d"),
        94: ("b", "#9d5cf0"), 93: ("l", "#3b82f6"), 92: ("y", "#ff6fae")}
LOGO_BASELINE = 45

BUTTONS = {97: "PLAY", 98: "TUTORIAL", 99: "OPTIONS", 100: "CHALLENGES", 101: "HIGH SCORES", 88: "QUIT"}

# Tiles and names: the names are drawn by the game at their own x over the tiles; every name
# picture is sized so that its centre falls on the tile's text column, x 200 of the tile.
MODES = {  # tile item: (name, name item, name x on tile, tagline)
    102: ("TIME TRIAL", 106, 96, "FIVE MINUTES ON THE CLOCK"),
    103: ("ARCADE", 107, 85, "EVERY CLEAR REFILLS THE CLOCK"),
    104: ("PUZZLE", 108, 91, "CLEARS WIN BACK TIME"),
    105: ("ZEN", 109, 101, "NO CLOCK - JUST FLOW"),
}
NAME_CENTRE = 200
NAME_HEIGHT = 34
LOCK_TAG_X = 94

# Mode icon frames follow the game modes 1..4.
ICON_ORDER = ["ARCADE", "PUZZLE", "TIME TRIAL", "ZEN"]


def logo_letter(ctx, item, frame, w, h):
    ch, col = LOGO[item]
    st = ctx.style("logo", col)
    return ctx.book.fit(ch, st, (1, 1, w - 2, h - 2), mode="glyph", baseline=LOGO_BASELINE)


def word_button(ctx, item, frame, w, h):
    back = ctx.defs.linear([(0, "#5fd0ff", 0.30), (1, "#0b3560", 0.45)], 0, 0, 0, 1)
    out = [sk.rrect(1, 1, w - 2, h - 2, (h - 2) / 2.0, 'fill="%s" stroke="#bfefff" stroke-width="1.2" '
                    'stroke-opacity="0.7"' % back)]
    out.append(ctx.book.fit(BUTTONS[item], ctx.style("button"), (10, 3, w - 20, h - 6), mode="height",
                            max_scale=1.3))
    return "".join(out)


def text_plate(ctx, item, frame, w, h):
    """The glassy pill behind a text button, empty: the screens stretch its middle to the text's width."""
    back = ctx.defs.linear([(0, "#5fd0ff", 0.30), (1, "#0b3560", 0.45)], 0, 0, 0, 1)
    return sk.rrect(1, 1, w - 2, h - 2, (h - 2) / 2.0, 'fill="%s" stroke="#bfefff" stroke-width="1.2" '
                    'stroke-opacity="0.7"' % back)


def mode_symbol(ctx, name, cx, cy, r):
    """A round badge with the mode's picture, radius r around (cx, cy)."""
    col = MODE_COLOURS[name]
    fill = ctx.defs.radial([(0, sk.shade(col, 0.5)), (0.7, col), (1, sk.shade(col, -0.4))], cx=0.4, cy=0.35, r=0.75)
    out = [sk.circle(cx, cy, r, 'fill="%s" stroke="%s" stroke-width="%s"' % (fill, INK, sk.f2(r / 14.0)))]
    s = r / 25.0
    body = []
    wht = 'fill="#ffffff" stroke="%s" stroke-width="1.4" stroke-linejoin="round"' % INK
    if name == "TIME TRIAL":      # stopwatch
        body.append(sk.rrect(-3, -21, 6, 5, 1.5, wht))
        body.append(sk.circle(0, 0, 15, wht))
        body.append(sk.path("M0 0 L0 -10 M0 0 L7 4", 'stroke="%s" stroke-width="2.4" stroke-linecap="round"' % INK))
        body.append(sk.path("M0 -15 A15 15 0 0 1 13 -7.5 L0 0 Z", 'fill="#ff9f1c" opacity="0.6"'))
    elif name == "ARCADE":        # a creature with a star
        body.append(sk.group(art_sea.creature(ctx, 1, 0, 50, 50), "translate(-17 -18) scale(0.68)"))
        body.append(sk.path(sk.path_from_points(sk.star_points(12, -12, 8, 3.4, 5)), 'fill="#ffd54a" stroke="%s" '
                            'stroke-width="1.2"' % INK))
    elif name == "PUZZLE":        # a jigsaw piece
        d = ("M-13 -13 L-4 -13 C-5 -20 5 -20 4 -13 L13 -13 L13 -4 C20 -5 20 5 13 4 L13 13 L4 13 C5 6 -5 6 -4 13 "
             "L-13 13 Z")
        body.append(sk.path(d, wht))
    else:                         # a lotus of three petals over calm water
        body.append(sk.path("M0 6 C-6 -2 -4 -12 0 -16 C4 -12 6 -2 0 6 Z", wht))
        body.append(sk.path("M-2 7 C-12 6 -16 -2 -15 -7 C-9 -6 -3 -1 -2 7 Z", wht))
        body.append(sk.path("M2 7 C12 6 16 -2 15 -7 C9 -6 3 -1 2 7 Z", wht))
        body.append(sk.path("M-16 12 Q-8 9 0 12 Q8 15 16 12", 'fill="none" stroke="#ffffff" stroke-width="2" '
                            'stroke-linecap="round"'))
    out.append(sk.group("".join(body), "translate(%s %s) scale(%s)" % (sk.f2(cx), sk.f2(cy), sk.f2(s))))
    out.append(sk.path("M%s %s A%s %s 0 0 1 %s %s" % (sk.f2(cx - r * 0.7), sk.f2(cy - r * 0.35), sk.f2(r * 0.75),
                                                     sk.f2(r * 0.75), sk.f2(cx - r * 0.1), sk.f2(cy - r * 0.78)),
                       'fill="none" stroke="#ffffff" stroke-width="%s" stroke-linecap="round" opacity="0.6"'
                       % sk.f2(r / 12.0)))
    return "".join(out)


def mode_icon(ctx, item, frame, w, h):
    return mode_symbol(ctx, ICON_ORDER[frame], w / 2.0, h / 2.0, w / 2.0 - 2)


def mode_tile(ctx, item, frame, w, h):
    name, _, _, tagline = MODES[item]
    col = MODE_COLOURS[name]
    fill = ctx.defs.linear([(0, sk.shade(col, -0.25), 0.75), (0.5, sk.shade(col, -0.55), 0.8),
                            (1, sk.shade(col, -0.7), 0.85)], 0, 0, 0, 1)
    out = [sk.rrect(1.5, 1.5, w - 3, h - 3, 16, 'fill="%s" stroke="%s" stroke-width="2"' % (fill, INK)),
           sk.rrect(3.5, 3.5, w - 7, h - 7, 14, 'fill="none" stroke="%s" stroke-width="1.3" opacity="0.8"'
                    % sk.shade(col, 0.4)),
           sk.rrect(8, 5, w - 16, 18, 9, 'fill="#ffffff" opacity="0.10"')]
    out.append(mode_symbol(ctx, name, 46, 45, 34))
    out.append(ctx.book.fit(tagline, ctx.style("tagline"), (NAME_CENTRE - 105, 14, 210, 16)))
    return "".join(out)


def mode_name(ctx, item, frame, w, h):
    name = {106: "TIME TRIAL", 107: "ARCADE", 108: "PUZZLE", 109: "ZEN"}[item]
    return ctx.book.fit(name, ctx.style("mode_name"), (2, 2, w - 4, h - 4), mode="height", max_scale=1.3)


def locked_tag(ctx, item, frame, w, h):
    out = []
    cx = w / 2.0
    out.append(sk.rrect(cx - 98, 2, 196, h - 4, (h - 4) / 2.0, 'fill="#08192b" fill-opacity="0.75" '
                        'stroke="#9aa9b8" stroke-width="1.3"'))
    out.append(sk.path("M%s 17 L%s 13 Q%s 7 %s 7 Q%s 7 %s 13 L%s 17"
                       % tuple(sk.f2(v) for v in (cx - 84, cx - 84, cx - 84, cx - 79, cx - 74, cx - 74, cx - 74)),
                       'fill="none" stroke="#cfd8e0" stroke-width="2.4"'))
    out.append(sk.rrect(cx - 88, 16, 18, 13, 2.5, 'fill="#ffcf33" stroke="%s" stroke-width="1.2"' % INK))
    out.append(ctx.book.fit("LOCKED", ctx.style("locked"), (cx - 64, 4, 150, 15)))
    out.append(ctx.book.fit("COMPLETE 10 CHALLENGES", ctx.style("tagline"), (cx - 64, 21, 150, 11)))
    return "".join(out)


def divider(ctx, item, frame, w, h):
    line = ctx.defs.linear([(0, "#bfefff", 0), (0.3, "#bfefff", 0.8), (0.7, "#bfefff", 0.8), (1, "#bfefff", 0)],
                           0, 0, 1, 0)
    cx, cy = w / 2.0, h / 2.0
    return (sk.rrect(2, cy - 1, w - 4, 2, 1, 'fill="%s"' % line)
            + sk.circle(cx - 14, cy, 2.2, 'fill="#bfefff"') + sk.circle(cx + 14, cy, 2.2, 'fill="#bfefff"')
            + sk.circle(cx, cy, 3.4, 'fill="#ffe66d" stroke="%s" stroke-width="1"' % INK))


def font_glyph(ctx, item, frame, w, h):
    ch = chr(48 + frame)
    # The game writes percentages with the character code 64 (frame 16): that frame is a percent sign.
    if ch == "@":
        ch = "%"
    if item == 42:
        return ctx.book.fit(ch, ctx.style("bigfont"), (1, 1, w - 2, h - 2), mode="glyph", baseline=28)
    return ctx.book.fit(ch, ctx.style("smallfont"), (1, 1, w - 2, h - 2), mode="glyph", baseline=14)


# Tutorial panels, in the order the tutorial shows them; each: title, three lines (one size of
# letters on every panel), picture. Each says what to do to move on (NEXT skips it). The words
# follow the game's own screens: a swipe moves, a switch turns a creature into its twin and
# spends one of the SWAPS.
TUTORIAL = [
    (37, "SWIPE TO MATCH", ("SWIPE A CREATURE ONTO A NEIGHBOUR,", "BESIDE ITS OWN KIND. 4 ALIKE CLEAR!",
                            "MAKE 3 MOVES. EXIT LEAVES ANY TIME."), "swipe"),
    (38, "COMBOS", ("EVERY CLEAR COUNTS AS A COMBO, AND", "FALLING CREATURES CAN CLEAR AGAIN",
                    "IN A CHAIN. MAKE 3 COMBOS."), "combo"),
    (39, "SWITCH TO A TWIN", ("TAP A CREATURE TWICE: IT SWITCHES", "TO ITS TWIN OF ANOTHER COLOUR.",
                              "EACH COSTS A SWAP. SWITCH 3 TIMES."), "twin"),
    (40, "EGGS", ("NOW AND THEN AN EGG DROPS IN.", "CLEAR A GROUP RIGHT BESIDE IT",
                  "TO HATCH IT INTO A POWER-UP."), "egg"),
    (41, "LESS CREATURES", ("TAP THE NEW POWER-UP TWICE:", "FOR 30 SECONDS ONLY SIX KINDS",
                            "DROP IN, SO GROUPS COME EASILY."), 10),
    (43, "CLOCK STOPPED", ("THE BAR UNDER THE BOARD IS YOUR", "CLOCK; CLEARS REFILL IT. TAP THIS",
                           "POWER-UP TWICE TO STOP THE CLOCK."), 12),
    (48, "INFINITE SWITCHES", ("TAP THIS POWER-UP TWICE:", "FOR 30 SECONDS, SWITCHING A",
                               "CREATURE TO ITS TWIN IS FREE."), 14),
    (49, "BONUS TIME", ("AFTER EACH LEVEL THE BAR GOES GOLD.", "ANY SWIPE IS ALLOWED AND SWITCHES",
                        "ARE FREE. GROUPS CLEAR WHEN IT ENDS."), "bonus"),
    (60, "WELL DONE!", ("YOU KNOW ALL THE TRICKS NOW.", "PLAY ON HERE AS LONG AS YOU LIKE,",
                        "THEN TAP EXIT FOR THE MAIN MENU."), "done"),
]
TUTORIAL_ITEMS = {t[0]: t for t in TUTORIAL}
TUTORIAL_NEXT, TUTORIAL_EXIT = 61, 118


def tutorial_panel(ctx, item, frame, w, h):
    _, title, lines, pic = TUTORIAL_ITEMS[item]
    fill = ctx.defs.linear([(0, "#1f6aa3", 0.95), (1, "#0a2e52", 0.96)], 0, 0, 0, 1)
    out = [sk.rrect(1.5, 1.5, w - 3, h - 3, 14, 'fill="%s" stroke="%s" stroke-width="2"' % (fill, INK)),
           sk.rrect(3.5, 3.5, w - 7, h - 7, 12, 'fill="none" stroke="#8fd3ff" stroke-width="1" opacity="0.7"'),
           sk.circle(36, h / 2.0, 28, 'fill="#041629" fill-opacity="0.55" stroke="#3f86b8" stroke-width="1"')]
    out.append(tutorial_picture(ctx, pic, 36, h / 2.0))
    out.append(ctx.book.fit(title, ctx.style("panel_title"), (73, 4, w - 80, 17), align="left"))
    for i, line in enumerate(lines):
        out.append(ctx.book.fit(line, ctx.style("panel_text"), (73, 24 + 16 * i, w - 81, 14), align="left",
                                paragraph="panels"))
    return "".join(out)


def tutorial_picture(ctx, pic, cx, cy):
    def creature_at(kind, x, y, s):
        return sk.group(art_sea.creature(ctx, kind, 0, 50, 50), "translate(%s %s) scale(%s)"
                        % (sk.f2(x - 25 * s), sk.f2(y - 25 * s), sk.f2(s)))
    arrow = 'fill="none" stroke="#ffe66d" stroke-width="2.4" stroke-linecap="round" stroke-linejoin="round"'
    if pic == "swipe":
        return (creature_at(3, cx - 9, cy, 0.62) + sk.path("M%s %s L%s %s M%s %s L%s %s L%s %s" % tuple(
            sk.f2(v) for v in (cx + 2, cy - 14, cx + 20, cy - 14, cx + 15, cy - 19, cx + 20, cy - 14, cx + 15, cy - 9))
        , arrow))
    if pic == "combo":
        return (creature_at(5, cx - 10, cy + 6, 0.5) + creature_at(5, cx + 10, cy + 6, 0.5)
                + creature_at(5, cx, cy - 10, 0.5))
    if pic == "twin":
        return (creature_at(7, cx - 12, cy, 0.48) + creature_at(8, cx + 12, cy, 0.48)
                + sk.path("M%s %s Q%s %s %s %s" % tuple(sk.f2(v) for v in (cx - 8, cy - 15, cx, cy - 22, cx + 8, cy - 15)),
                          arrow))
    if pic == "egg":
        return sk.group(art_sea.egg(ctx, 9, 0, 50, 50), "translate(%s %s) scale(0.9)" % (sk.f2(cx - 22.5), sk.f2(cy - 23)))
    if isinstance(pic, int):
        return sk.group(art_sea.powerup(ctx, pic, 0, 50, 50), "translate(%s %s) scale(0.95)"
                        % (sk.f2(cx - 23.75), sk.f2(cy - 22.8)))
    if pic == "bonus":
        return sk.group(art_sea.reward_star(ctx, 63, 0, 30, 30), "translate(%s %s) scale(1.5)"
                        % (sk.f2(cx - 22.5), sk.f2(cy - 22.5)))
    return creature_at(1, cx, cy, 0.95)


def tutorial_answer(ctx, item, frame, w, h):
    word, col = ("NEXT", "#3fd46e") if item == TUTORIAL_NEXT else ("EXIT", "#ff6b5e")
    fill = ctx.defs.linear([(0, sk.shade(col, 0.35)), (1, sk.shade(col, -0.35))], 0, 0, 0, 1)
    return (sk.rrect(1.5, 1.5, w - 3, h - 3, (h - 3) / 2.0, 'fill="%s" stroke="%s" stroke-width="1.8"' % (fill, INK))
            + sk.rrect(5, 3.5, w - 10, 8, 4, 'fill="#ffffff" opacity="0.35"')
            + ctx.book.fit(word, ctx.style("answer"), (8, 5, w - 16, h - 10), mode="height"))
