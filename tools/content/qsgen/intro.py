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
EARTH_POS = (40, 40)
EARTH_W, EARTH_H = 720, 260
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
    # a few bubbles rising around the letters
    rng = np.random.default_rng(301)
    for k in range(9):
        r = 4 + int(rng.random() * 7)
        x = int(rng.random() * (LOGO_W - 30)) + 10
        y = int(rng.random() * 12) + (2 if k % 2 else LOGO_H - 2 * r - 16)
        b = shapes.sphere(2 * r + 1, BALL_RGB[1 + k % 7])
        core.over(img, core.with_shadow(b, 1, 2, 1.5, 0.5), x, y, opacity=0.9)
    return img, union


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


def _path_point(k):
    """The planet's flight: in from the far left, a loop above the logo, down to its right end."""
    sx, sy = -30.0, 200.0
    ex, ey = EARTH_END[0] - EARTH_POS[0], EARTH_END[1] - EARTH_POS[1]
    # a smooth curve through a few waypoints (Catmull-Rom)
    pts = [(sx - 60, sy + 40), (sx, sy), (180, 60), (420, 20), (640, 80), (560, 200), (ex, ey), (ex + 10, ey - 5)]
    segs = len(pts) - 3
    u = min(k * segs, segs - 1e-6)
    i = int(u)
    t = u - i
    p0, p1, p2, p3 = pts[i], pts[i + 1], pts[i + 2], pts[i + 3]
    def cr(a, b, c, d):
        return 0.5 * ((2 * b) + (-a + c) * t + (2 * a - 5 * b + 4 * c - d) * t * t + (-a + 3 * b - 3 * c + d) * t ** 3)
    return cr(p0[0], p1[0], p2[0], p3[0]), cr(p0[1], p1[1], p2[1], p3[1])


def earth_frames(n=40):
    planet = earth_image()
    ps = planet.shape[0]
    out = []
    ease = lambda x: 1 - (1 - x) ** 2.2
    for i in range(n):
        f = core.blank(EARTH_W, EARTH_H)
        k = ease(i / float(n - 1))
        # the trail: a tapering glow along the last part of the path
        trail = []
        for j in range(24):
            kk = max(0.0, k - j * 0.012)
            trail.append(_path_point(kk))
        fade = 1.0 if i < n - 6 else max(0.0, (n - 1 - i) / 5.0)
        if fade > 0:
            def tr(ctx):
                for j in range(len(trail) - 1):
                    ctx.move_to(*trail[j])
                    ctx.line_to(*trail[j + 1])
                    ctx.set_line_width(9 * (1 - j / 24.0) + 0.5)
                    ctx.set_line_cap(1)
                    ctx.set_source_rgba(1, 1, 1, (1 - j / 24.0) * 0.8)
                    ctx.stroke()
            tm = core.draw(EARTH_W, EARTH_H, tr, scale=1)[..., 3]
            glow = core.blur(core.tint_mask(tm, (0.4, 0.75, 1.0)), 4)
            core.add(f, glow, opacity=1.3 * fade)
            core.add(f, core.tint_mask(tm, (0.85, 0.95, 1.0), 0.7 * fade))
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


def cursor_frames():
    size = 40

    def arrow(ctx, fill_top, fill_bottom):
        ctx.move_to(2, 2)
        ctx.line_to(2, 27)
        ctx.line_to(8.5, 21)
        ctx.line_to(13, 31)
        ctx.line_to(17.5, 29)
        ctx.line_to(13, 19.5)
        ctx.line_to(21.5, 19.5)
        ctx.close_path()
        ctx.set_source(core.linear(0, 2, 0, 30, [(0, *fill_top, 1), (1, *fill_bottom, 1)]))
        ctx.fill_preserve()
        ctx.set_source_rgba(0.03, 0.04, 0.12, 1)
        ctx.set_line_width(1.6)
        ctx.set_line_join(1)
        ctx.stroke()
        ctx.move_to(4.2, 6)
        ctx.line_to(4.2, 20)
        ctx.set_source_rgba(1, 1, 1, 0.8)
        ctx.set_line_width(1.0)
        ctx.stroke()

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
            core.add(frame, material.glow_line(size, size, lambda c: (c.move_to(2, 2), c.line_to(2, 27), c.line_to(8.5, 21),
                                                                      c.line_to(13, 31), c.line_to(17.5, 29),
                                                                      c.line_to(13, 19.5), c.line_to(21.5, 19.5),
                                                                      c.close_path()),
                                               rgb=(1.0, 0.75, 0.2), width=1.5, blur=2.5, strength=0.6))
        core.over(frame, img)
        if state == 2:
            def reticle(ctx):
                cx, cy, r = 28.5, 28.5, 8.5
                ctx.arc(cx, cy, r, 0, 2 * math.pi)
                ctx.new_sub_path()
                for dx, dy in ((0, -1), (0, 1), (-1, 0), (1, 0)):
                    ctx.move_to(cx + dx * (r - 4), cy + dy * (r - 4))
                    ctx.line_to(cx + dx * (r + 3), cy + dy * (r + 3))
            core.add(frame, material.glow_line(size, size, reticle, rgb=(1.0, 0.3, 0.2), width=1.8, blur=1.5,
                                               strength=1.0))
        out.append(frame)
    return out


def loading_trough():
    w, h = 488, 52
    img = core.blank(w, h)
    m = material.mask_of(w, h, lambda c: (core.rounded_rect(c, 0, 20, w, 30, 12), c.fill()))
    core.over(img, core.shadow(core.tint_mask(m, (0, 0, 0)), 2, 3, 3, 0.6))
    core.over(img, material.plate(m, 501, bevel=2.5))
    inner = material.mask_of(w, h, lambda c: (core.rounded_rect(c, 5, 24, w - 10, 22, 8), c.fill()))
    material.recess(img, inner, depth=2.0, floor=(0.01, 0.02, 0.06))
    core.add(img, material.glow_line(w, h, lambda c: core.rounded_rect(c, 2.5, 22.5, w - 5, 25, 10), width=1.0,
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
    et = spr.image(G + "earth_traectory.png", core.sheet(earth_frames(), 5))
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
