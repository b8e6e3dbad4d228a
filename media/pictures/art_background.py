# The water background (with its margin for the rippling bands) and the loading-screen atlas.
import svgkit as sk


def water(ctx, w, h, seed=7):
    """Deep water lit from above: gradient, light shafts, caustic shimmer, a sandy floor with weed."""
    d = ctx.defs
    grad = d.linear([(0, "#2ea9cf"), (0.35, "#1573a6"), (0.75, "#0b4378"), (1, "#082d57")], 0, 0, 0, 1)
    out = ['<rect x="0" y="0" width="%d" height="%d" fill="%s"/>' % (w, h, grad)]
    shaft = d.linear([(0, "#e8fbff", 0.22), (1, "#e8fbff", 0)], 0, 0, 0, 1)
    for x0, x1, x2, x3 in ((30, 70, 150, 60), (120, 150, 250, 170), (210, 250, 340, 260), (-20, 10, 60, -40)):
        out.append(sk.path("M%d 0 L%d 0 L%d %d L%d %d Z" % (x0, x1, x2, int(h * 0.85), x3, int(h * 0.85)),
                           'fill="%s"' % shaft))
    # caustics: the contour lines of a soft noise field read as the light network on a sea floor
    caustic = d.filter(
        '<feTurbulence type="fractalNoise" baseFrequency="0.018 0.03" numOctaves="3" seed="%d" result="n"/>'
        '<feColorMatrix in="n" type="matrix" values="0 0 0 0 0.85  0 0 0 0 0.97  0 0 0 0 1  1 0 0 0 0" result="c"/>'
        '<feComponentTransfer in="c"><feFuncA type="table" tableValues="0 0 0 0 0.05 0.55 0.05 0 0 0 0"/>'
        '</feComponentTransfer>' % seed, 'x="0" y="0" width="%d" height="%d" filterUnits="userSpaceOnUse"' % (w, h))
    fade = d.linear([(0, "#ffffff", 0.75), (0.5, "#ffffff", 0.4), (1, "#ffffff", 0.12)], 0, 0, 0, 1)
    mask_id = sk.new_id("m")
    d.add('<mask id="%s"><rect x="0" y="0" width="%d" height="%d" fill="%s"/></mask>' % (mask_id, w, h, fade))
    out.append('<rect x="0" y="0" width="%d" height="%d" filter="%s" mask="url(#%s)"/>' % (w, h, caustic, mask_id))
    # far silhouettes of rock and weed near the floor
    out.append(sk.path("M0 %d Q40 %d 80 %d T170 %d T260 %d T%d %d L%d %d L0 %d Z"
                       % (h - 70, h - 95, h - 72, h - 80, h - 66, w, h - 84, w, h, h),
                       'fill="#0a3360" opacity="0.8"'))
    sand = d.linear([(0, "#3b6e8f"), (1, "#1d4563")], 0, 0, 0, 1)
    out.append(sk.path("M0 %d Q70 %d 150 %d T%d %d L%d %d L0 %d Z" % (h - 34, h - 48, h - 36, w, h - 40, w, h, h),
                       'fill="%s"' % sand))
    for x, hh, col in ((22, 70, "#1f7a5a"), (38, 50, "#2a8f68"), (285, 80, "#1f7a5a"), (300, 56, "#2a8f68"),
                       (160, 40, "#23805f")):
        out.append(sk.path("M%d %d C%d %d %d %d %d %d C%d %d %d %d %d %d Z"
                           % (x - 4, h - 30, x - 10, h - 30 - hh * 0.4, x + 6, h - 30 - hh * 0.7, x, h - 30 - hh,
                              x + 10, h - 30 - hh * 0.6, x - 2, h - 30 - hh * 0.3, x + 4, h - 30),
                           'fill="%s" opacity="0.85"' % col))
    vignette = d.radial([(0.6, "#000814", 0), (1, "#000814", 0.45)], cx=0.5, cy=0.45, r=0.75)
    out.append('<rect x="0" y="0" width="%d" height="%d" fill="%s"/>' % (w, h, vignette))
    return "".join(out)


def background_region(ctx, item, frame, w, h):
    return water(ctx, w, h)


def plain_fill(ctx, item, frame, w, h):
    return '<rect x="0" y="0" width="%d" height="%d" fill="#031326" fill-opacity="0.72"/>' % (w, h)
