"""The first frame: loading screen, the logo and its intro, the loading bar and the cursor.

The logo is one picture cut in two: "bubble_top" holds its rows above LOGO_CUT
and "bubble_bottom" the rest; the intro slides them together until the top
half stands at y 131 and the bottom half at y 185 (131 + LOGO_CUT).
"""
import math

import numpy as np
from PIL import Image, ImageDraw, ImageFont

from . import core, material, shapes, space, spr
from .balls import BALL_RGB

LOGO_TOP = 131
LOGO_CUT = 54
LOGO_X = 96
LOGO_W, LOGO_H = 608, 118
TEXT = "QUIBBLESTAR"
EARTH_POS = (0, 40)  # the flight's frame: from the screen's left edge ...
EARTH_W, EARTH_H = 780, 200  # ... past the logo's right end
EARTH_END = (LOGO_X + LOGO_W - 18, LOGO_TOP + 6)  # where the planet settles (screen)
FLASH_SIZE = 150


def _logo_masks(ss=3):
    f = ImageFont.truetype("/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed-Bold.ttf", 86 * ss)
    widths = [f.getlength(ch) for ch in TEXT]
    kern = -2 * ss
    total = sum(widths) + kern * (len(TEXT) - 1)
    x = (LOGO_W * ss - total) / 2.0
    masks = []
    for ch, w in zip(TEXT, widths):
        m = Image.new("L", (LOGO_W * ss, LOGO_H * ss), 0)
        ImageDraw.Draw(m).text((x, 96 * ss), ch, font=f, fill=255, anchor="ls")
        masks.append(np.asarray(m, np.float32) / 255.0)
        x += w + kern
    return masks


def logo_image():
    ss = 3
    masks = _logo_masks(ss)
    h, w = masks[0].shape
    img = np.zeros((h, w, 4), np.float32)
    union = np.clip(sum(masks), 0, 1)
    outer = core.outline(union, 7 * ss)
    core.over(img, core.shadow(core.tint_mask(outer, (0, 0, 0.03)), 3 * ss, 5 * ss, 4 * ss, 0.7))
    core.over(img, core.tint_mask(outer, (0.04, 0.05, 0.16)))
    rim = core.outline(union, 3.2 * ss)
    core.over(img, core.tint_mask(rim, (0.85, 0.9, 1.0)))
    cols = [BALL_RGB[k] for k in (1, 2, 3, 4, 5, 7, 2, 4, 3, 1, 5)]
    ys = np.linspace(0, 1, h, dtype=np.float32)[:, None]
    for m, c in zip(masks, cols):
        c = np.array(c, np.float32)
        light = np.clip(c * 0.75 + 0.3, 0, 1)
        dark = c * 0.5
        t = np.clip((ys - 0.15) / 0.7, 0, 1)
        col = light[None, None, :] * (1 - t[..., None]) + dark[None, None, :] * t[..., None]
        layer = np.zeros_like(img)
        layer[..., :3] = col * m[..., None]
        layer[..., 3] = m
        core.over(img, layer)
    # gloss: the upper half of every letter catches the light
    s = material.shade(union, 4.0 * ss)
    gl = np.zeros_like(img)
    cap = np.clip((0.52 - ys) / 0.3, 0, 1) * union
    a = np.clip(cap * 0.28 + np.clip(s, 0, 1) * 0.7 * union, 0, 1)
    gl[..., 0] = a
    gl[..., 1] = a
    gl[..., 2] = a
    gl[..., 3] = a
    core.add(img, gl)
    img[..., :3] *= (1 + 0.8 * np.clip(s, -1, 0) * union)[..., None]
    img = core.downsample(img, LOGO_W, LOGO_H)
    _logo_bubbles(img)
    return img, union


# The bubbles rising from the word: (centre x, radius, colour, lift above the lowest
# clear spot). They float in the band above the letters, four on each half, the small
# ones higher; the top right corner stays free for the planet that lands there.
LOGO_BUBBLES = [
    (36, 6, 7, 1), (67, 4, 2, 7), (152, 8, 4, 0), (236, 5, 3, 5),
    (334, 7, 1, 1), (366, 4, 5, 8), (456, 5, 2, 3), (522, 8, 7, 0),
]
BUBBLE_MARGIN = 3  # clear pixels between a bubble and the letters' dark rim


def _clear_y(art, cx, r):
    """The lowest centre row at which a ball of radius r at column cx keeps off the letters."""
    ys, xs = np.nonzero(art > 0.08)
    near = np.abs(xs - cx) <= r + BUBBLE_MARGIN
    ys, xs = ys[near], xs[near]
    reach = r + BUBBLE_MARGIN + 0.5
    best = None
    for cy in range(r + 1, art.shape[0] - r):
        if np.any((xs - cx) ** 2 + (ys - cy) ** 2 < reach * reach):
            break
        best = cy
    return best


def _logo_bubbles(img):
    art = img[..., 3].copy()
    earth = (EARTH_END[0] - LOGO_X, EARTH_END[1] - LOGO_TOP)
    for cx, r, colour, lift in LOGO_BUBBLES:
        cy = _clear_y(art, cx, r)
        if cy is None:
            raise ValueError("no room above the letters for a bubble at x %d" % cx)
        cy = max(r + 1, cy - lift)
        if math.hypot(cx - earth[0], cy - earth[1]) < r + 30:
            raise ValueError("a bubble at x %d sits where the planet lands" % cx)
        size = 2 * r + 1
        b = shapes.sphere(size, BALL_RGB[colour])
        core.over(img, core.with_shadow(b, 1, 2, 1.5, 0.5), cx - r, cy - r, opacity=0.9)


def flash_text_frames(union, n=30):
    ss = 3
    m = core.downsample(core.tint_mask(union, (1, 1, 1)), LOGO_W, LOGO_H)[..., 3]
    xs = np.arange(LOGO_W, dtype=np.float32)[None, :]
    ys = np.arange(LOGO_H, dtype=np.float32)[:, None]
    out = []
    for i in range(n):
        f = core.blank(LOGO_W, LOGO_H)
        k = i / 18.0
        if k <= 1.0:
            pos = -80 + k * (LOGO_W + 160)
            band = np.exp(-((xs + ys * 0.45 - pos) ** 2) / (2 * 22.0 ** 2))
            a = np.clip(band * m * 0.85, 0, 1)
            f[..., 0] = a
            f[..., 1] = a
            f[..., 2] = a * 0.95
            f[..., 3] = a
        out.append(f)
    return out


def earth_image(size=30):
    p = space.planet(size + 12, 401, body=(0.2, 0.5, 0.9), atmosphere=(0.5, 0.85, 1.0), bands=False)
    rng = np.random.default_rng(402)
    n = core.noise(size + 12, size + 12, rng, octaves=4, base=3)
    land = np.clip((n - 0.52) * 6, 0, 1) * p[..., 3]
    green = np.array((0.25, 0.65, 0.3), np.float32)
    lum = p[..., :3].max(axis=2, keepdims=True)
    p[..., :3] = p[..., :3] * (1 - land[..., None]) + green * lum * 1.2 * land[..., None]
    return np.clip(p, 0, 1)


# The planet's flight, in screen pixels: in from the left edge, an arc over the
# logo, a hook past its right end and back onto the landing spot (Catmull-Rom
# through these points; the first and last only steer the ends).
EARTH_PATH = [(-110, 215), (-28, 178), (140, 104), (390, 74), (622, 80), (740, 108), EARTH_END, (640, 168)]
EARTH_ARRIVES = 28  # frame at which the planet lands: the earth flash, started at 23, bursts then
EARTH_TRAIL = 5  # frames of flight the trail covers
EARTH_TRAIL_MAX = 0.22  # ... but never more than this share of the path


def _path_samples(per_seg=200):
    pts = [(x - EARTH_POS[0], y - EARTH_POS[1]) for x, y in EARTH_PATH]
    out = []
    for i in range(len(pts) - 3):
        p0, p1, p2, p3 = (np.array(q, np.float64) for q in pts[i:i + 4])
        t = np.linspace(0, 1, per_seg, endpoint=False)[:, None]
        out.append(0.5 * (2 * p1 + (-p0 + p2) * t + (2 * p0 - 5 * p1 + 4 * p2 - p3) * t * t +
                          (-p0 + 3 * p1 - 3 * p2 + p3) * t ** 3))
    out.append(np.array([pts[-2]], np.float64))
    xy = np.concatenate(out)
    seg = np.hypot(*np.diff(xy, axis=0).T)
    return xy, np.concatenate([[0.0], np.cumsum(seg)]) / seg.sum()


_PATH = None


def _path_point(k):
    """The point a share k (0..1) of the way along the flight, at an even pace."""
    global _PATH
    if _PATH is None:
        _PATH = _path_samples()
    xy, s = _PATH
    k = min(max(k, 0.0), 1.0)
    return float(np.interp(k, s, xy[:, 0])), float(np.interp(k, s, xy[:, 1]))


def _trail_mask(w, h, pts, widths, alphas):
    """Coverage of a tapering stroke through pts: each pixel takes the strongest of the
    segments near it, so the joints neither bead nor darken."""
    pts = np.asarray(pts, np.float32)
    pad = max(widths) + 2
    x0 = int(max(0, np.floor(pts[:, 0].min() - pad)))
    x1 = int(min(w, np.ceil(pts[:, 0].max() + pad)))
    y0 = int(max(0, np.floor(pts[:, 1].min() - pad)))
    y1 = int(min(h, np.ceil(pts[:, 1].max() + pad)))
    m = np.zeros((h, w), np.float32)
    if x0 >= x1 or y0 >= y1:
        return m
    px = np.arange(x0, x1, dtype=np.float32)[None, :] + 0.5
    py = np.arange(y0, y1, dtype=np.float32)[:, None] + 0.5
    best = np.zeros((y1 - y0, x1 - x0), np.float32)
    for j in range(len(pts) - 1):
        (ax, ay), (bx, by) = pts[j], pts[j + 1]
        dx, dy = bx - ax, by - ay
        ll = dx * dx + dy * dy
        t = np.clip(((px - ax) * dx + (py - ay) * dy) / ll, 0, 1) if ll > 1e-6 else np.zeros_like(best)
        d = np.hypot(px - (ax + t * dx), py - (ay + t * dy))
        wd = widths[j] + (widths[j + 1] - widths[j]) * t
        al = alphas[j] + (alphas[j + 1] - alphas[j]) * t
        np.maximum(best, np.clip(wd * 0.5 - d + 0.5, 0, 1) * al, out=best)
    m[y0:y1, x0:x1] = best
    return m


def earth_frames(n=40):
    planet = earth_image()
    ps = planet.shape[0]
    out = []

    def flight(i):
        x = min(max(i / float(EARTH_ARRIVES), 0.0), 1.0)
        return 1 - (1 - x) ** 2.2

    for i in range(n):
        f = core.blank(EARTH_W, EARTH_H)
        k = flight(i)
        # the trail: the stretch flown in the last few frames, thick and bright at the
        # planet, thin and faint at its tail; it shrinks away once the planet has landed
        tail = max(flight(i - EARTH_TRAIL), k - EARTH_TRAIL_MAX, 0.0)
        if k - tail > 0.004:
            steps = 48
            pts = [_path_point(k - (k - tail) * j / float(steps)) for j in range(steps + 1)]
            u = np.linspace(0, 1, steps + 1)
            widths = list(9.0 * (1 - u) + 0.6)
            alphas = list(0.85 * (1 - u) ** 1.3)
            tm = _trail_mask(EARTH_W, EARTH_H, pts, widths, alphas)
            glow = core.blur(core.tint_mask(tm, (0.4, 0.75, 1.0)), 4)
            core.add(f, glow, opacity=1.3)
            core.add(f, core.tint_mask(tm, (0.85, 0.95, 1.0), 0.7))
        x, y = _path_point(k)
        core.over(f, planet, int(round(x - ps / 2.0)), int(round(y - ps / 2.0)))
        out.append(f)
    return out


def earth_flash_frames(n=20):
    s = FLASH_SIZE
    out = []
    for i in range(n):
        t = i / float(n - 1)
        f = core.blank(s, s)
        if i == 0:
            out.append(f)  # shown before the intro starts it: nothing yet
            continue
        burst = math.sin(math.pi * min(t / 0.6, 1.0)) if t < 0.6 else 0.0
        ring_r = 10 + 60 * min(t / 0.7, 1.0)
        if t < 0.8:
            core.add(f, material.glow_line(s, s, lambda c, r=ring_r: c.arc(s / 2.0, s / 2.0, r, 0, 2 * math.pi),
                                           rgb=(0.5, 0.85, 1.0), width=2.0 * (1 - t) + 0.5, blur=3.0,
                                           strength=max(0.0, 1 - t / 0.8)))
        core.add(f, shapes.sparkle(s, s / 2.0, s / 2.0, 10 + 60 * burst, rgb=(0.9, 0.95, 1.0), thickness=1.6,
                                   ss=2), opacity=burst)
        glow_k = 0.35 + 0.65 * burst
        core.add(f, core.glow_dot(61, (0.55, 0.85, 1.0), core=0.3, falloff=2.0), int(s / 2 - 30), int(s / 2 - 30),
                 opacity=glow_k)
        out.append(f)
    return out


# The arrow's outline, on pixel centres: its upright and level edges fill whole
# pixel rows and columns at 1x, the slanted ones run at 45 degrees or 2:1 so their
# steps stay even. The tip is pixel (2, 2).
ARROW = [(2.5, 2.5), (2.5, 28.5), (9.5, 21.5), (13.5, 29.5), (17.5, 27.5), (13.5, 19.5), (19.5, 19.5)]


def _arrow_path(ctx):
    ctx.move_to(*ARROW[0])
    for p in ARROW[1:]:
        ctx.line_to(*p)
    ctx.close_path()


def cursor_frames():
    size = 40

    def arrow(ctx, fill_top, fill_bottom):
        _arrow_path(ctx)
        ctx.set_source(core.linear(0, 2, 0, 30, [(0, *fill_top, 1), (1, *fill_bottom, 1)]))
        ctx.fill_preserve()
        ctx.set_source_rgba(0.03, 0.04, 0.12, 1)
        ctx.set_line_width(1.0)
        ctx.set_line_join(0)
        ctx.set_miter_limit(4.0)
        ctx.stroke()
        # a lit column just inside the left edge
        ctx.rectangle(3, 6, 1, 16)
        ctx.set_source_rgba(1, 1, 1, 0.75)
        ctx.fill()

    out = []
    for state in range(3):
        if state == 0:
            top, bottom = (1, 1, 1), (0.7, 0.85, 1.0)
        elif state == 1:
            top, bottom = (1, 0.97, 0.75), (1.0, 0.7, 0.2)
        else:
            top, bottom = (1, 0.9, 0.85), (1.0, 0.4, 0.3)
        img = core.draw(size, size, lambda c: arrow(c, top, bottom), scale=4)
        frame = core.shadow(img, 2, 3, 1.5, 0.55)
        if state == 1:
            core.add(frame, material.glow_line(size, size, _arrow_path, rgb=(1.0, 0.75, 0.2), width=1.5, blur=2.5,
                                               strength=0.6))
        core.over(frame, img)
        if state == 2:
            # the target sign: a ring and four ticks, 2 pixels wide on whole pixels
            cx, cy, r = 29, 29, 7

            def reticle(ctx):
                ctx.arc(cx, cy, r, 0, 2 * math.pi)
                ctx.set_line_width(2.0)
                ctx.stroke()
                for x, y, w, h in ((cx - 1, cy - r - 3, 2, 6), (cx - 1, cy + r - 3, 2, 6),
                                   (cx - r - 3, cy - 1, 6, 2), (cx + r - 3, cy - 1, 6, 2)):
                    ctx.rectangle(x, y, w, h)
                ctx.fill()

            def dark(ctx):
                ctx.set_source_rgba(0.1, 0.02, 0.02, 1)
                ctx.arc(cx, cy, r, 0, 2 * math.pi)
                ctx.set_line_width(4.0)
                ctx.stroke()
                for x, y, w, h in ((cx - 2, cy - r - 4, 4, 8), (cx - 2, cy + r - 4, 4, 8),
                                   (cx - r - 4, cy - 2, 8, 4), (cx + r - 4, cy - 2, 8, 4)):
                    ctx.rectangle(x, y, w, h)
                ctx.fill()

            def light(ctx):
                ctx.set_source_rgba(1.0, 0.55, 0.4, 1)
                reticle(ctx)

            sign = core.draw(size, size, dark, scale=4)
            core.over(sign, core.draw(size, size, light, scale=4))
            m = core.draw(size, size, lambda c: (c.set_source_rgba(1, 1, 1, 1), reticle(c)), scale=4)[..., 3]
            core.add(frame, core.blur(core.tint_mask(m, (1.0, 0.3, 0.2)), 2.0), opacity=0.9)
            core.over(frame, sign, opacity=0.85)
            core.over(frame, core.draw(size, size, light, scale=4))
        out.append(frame)
    return out


def loading_trough():
    w, h = 488, 52
    img = core.blank(w, h)
    # the elements stand at y 334..346 (28..40 here): the floor keeps 5 pixels above and below them
    m = material.mask_of(w, h, lambda c: (core.rounded_rect(c, 0, 19, w, 30, 12), c.fill()))
    core.over(img, core.shadow(core.tint_mask(m, (0, 0, 0)), 2, 3, 3, 0.6))
    core.over(img, material.plate(m, 501, bevel=2.5))
    inner = material.mask_of(w, h, lambda c: (core.rounded_rect(c, 5, 23, w - 10, 22, 8), c.fill()))
    material.recess(img, inner, depth=2.0, floor=(0.01, 0.02, 0.06))
    core.add(img, material.glow_line(w, h, lambda c: core.rounded_rect(c, 2.5, 21.5, w - 5, 25, 10), width=1.0,
                                     blur=2.0, strength=0.5))
    lab = material.label("LOADING", 12, glow=(0.2, 0.6, 1.0), spacing=4.0)
    core.over(img, lab, (w - lab.shape[1]) // 2, 0)
    return img


def loading_segment():
    w, h = 12, 12
    img = core.blank(w, h)
    m = material.mask_of(w, h, lambda c: (core.rounded_rect(c, 0.5, 0, 11, 12, 2.5), c.fill()), ss=4)
    core.over(img, material.plate(m, 502, top=(0.55, 0.95, 1.0), bottom=(0.05, 0.45, 0.85), bevel=1.0, grain=0,
                                  gloss=0.8))
    return img


def intro_speed(fps):
    """The intro runs while the loading screen moves sprites about 3200 units a
    second (two moves of 16 per 10 ms frame), not the 960 of a running scene."""
    return max(1, int(round(fps * 1000.0 / 3200.0)))


def make_all():
    L = "graphics/loading/"
    bg = spr.image(L + "loading_background.jpg", space.menu_background(), fmt="jpg")
    loading = [spr.write(L + "loading_background.spr", [[spr.part(bg, 0, 0, 256)]], z=0)]
    tr = spr.image(L + "loading_element.png", loading_trough())
    loading.append(spr.write(L + "loading_element.spr", [[spr.part(tr, 0, 0, 64)]], z=10, x=156, y=306))
    seg = spr.image("graphics/elements_gamezone/loading_element_polosa.png", loading_segment())
    spr.write("graphics/elements_gamezone/loading_element_polosa.spr", [[spr.part(seg, 0, 0, 16)]], z=11)

    logo, union = logo_image()
    G = "graphics/logo set/"
    top = spr.image(G + "bubble_top.png", logo[:LOGO_CUT])
    bottom = spr.image(G + "bubble_bottom.png", logo[LOGO_CUT:])
    spr.write(G + "bubble_top.spr", [[spr.part(top, 0, 0, 64)]], z=30, x=LOGO_X, y=LOGO_TOP)
    spr.write(G + "bubble_bottom.spr", [[spr.part(bottom, 0, 0, 64)]], z=30, x=LOGO_X, y=LOGO_TOP + LOGO_CUT)
    ft = spr.image(G + "flash_text.png", core.sheet(flash_text_frames(union), 3))
    spr.write(G + "flash_text.spr", [[spr.part(ft, LOGO_W, LOGO_H, 64, anim_speed=intro_speed(20),
                                               alpha_mode=1)]], z=31, x=LOGO_X, y=LOGO_TOP)
    # 40 frames of the whole flight: 25 MB of pixels for a small planet, decoded at every
    # start. Its 256 dithered colours decode three times faster and look the same in flight.
    et = spr.image(G + "earth_traectory.png", core.sheet(earth_frames(), 5), quantize=True)
    spr.write(G + "earth_traectory.spr", [[spr.part(et, EARTH_W, EARTH_H, 32, anim_speed=intro_speed(28),
                                                    anim_loop=False)]], z=32, x=EARTH_POS[0], y=EARTH_POS[1])
    ef = spr.image(G + "earth_flash.png", core.sheet(earth_flash_frames(), 5))
    spr.write(G + "earth_flash.spr", [[spr.part(ef, FLASH_SIZE, FLASH_SIZE, 64, anim_speed=intro_speed(30),
                                                anim_loop=False, alpha_mode=1)]], z=33,
              x=EARTH_END[0] - FLASH_SIZE // 2, y=EARTH_END[1] - FLASH_SIZE // 2)

    cur = spr.image("graphics/cursors/mouse_cursor.png", core.sheet(cursor_frames(), 3))
    glint = spr.image("graphics/cursors/mouse_cursor_glint.png",
                      shapes.sparkle(12, 6, 6, 5, rgb=(0.8, 0.95, 1.0), thickness=0.7))
    spr.write("graphics/cursors/mouse_cursor.spr", [
        [spr.part(cur, 40, 40, 64, z=1)],
        [spr.part(glint, 0, 0, 16, x=-4, y=-4, z=2, alpha_mode=1, alpha=160)],
    ], z=2000, map_koeff=0.0)
    return loading
