"""The game zone: the panel around the field and every object of main.map.

Screen layout (800 x 600; ball positions are the top left of a 34-pixel ball):
  field window   x 120..681, y 92..500 (balls slide under the top band)
  top band       y 0..92: progress gauge trough x 229..573, y 62..86
  left column    bonus sockets (icon at 20, 545 - 39 i), timer tracks x 62..92
  right column   level and score panels, crystal counter tube x 744..786
  bottom band    cannon dock centred on (401, 566), next-ball socket, push gauge
"""
import math

import numpy as np

from . import core, material, shapes, space, spr

W, H = 800, 600
FIELD = (120, 92, 681, 500)
PIVOT = (401.0, 566.0)          # where the cannon turns and the current ball sits (centre)
CANON_POS = (355, 471)          # object origin: the pivot lies at (45.5, 94.5) from it
GAUGE = (233, 69, 334, 10)      # bar position and size
COVER = (8, 16)
SLOT_Y = [545 - 39 * i for i in range(6)]  # icon top per bonus slot
TRACK_X = (62, 92)
NEXT_SOCKET = (300.0, 575.0)
PUSH = (480, 569, 163, 10)
TABLO_LEVEL = (662, 94, 116, 40)
TABLO_SCORES = (662, 138, 116, 58)
MENU_MINI = (717, 0, 80, 18)
NET_T = (1, 22, 30, 48, 59, 69, 77, 84, 89, 93, 95, 96)
Z_BACK, Z_SHADE, Z_TRACK, Z_LASER, Z_NET, Z_PANEL = 0, 5, 97, 98, 99, 100


def field_window(ctx, grow=0.0, r=14.0):
    """The opening of the panel: square at the top (the balls slide under the band), round below."""
    x0, y0, x1, y1 = FIELD
    x0, x1, y1 = x0 - grow, x1 + grow, y1 + grow
    ctx.move_to(x0, y0)
    ctx.line_to(x0, y1 - r)
    ctx.arc_negative(x0 + r, y1 - r, r, math.pi, math.pi / 2)
    ctx.line_to(x1 - r, y1)
    ctx.arc_negative(x1 - r, y1 - r, r, math.pi / 2, 0)
    ctx.line_to(x1, y0)


def track_hole(ctx, i):
    y = SLOT_Y[i] + 17
    core.rounded_rect(ctx, TRACK_X[0], y - 5, TRACK_X[1] - TRACK_X[0], 10, 4)


def panel_mask():
    def fn(ctx):
        ctx.rectangle(0, 0, W, H)
        field_window(ctx)
        ctx.close_path()
        for i in range(6):
            track_hole(ctx, i)
        ctx.set_fill_rule(1)
        ctx.fill()
    return material.mask_of(W, H, fn)


def _circle(cx, cy, r):
    return lambda ctx: (ctx.arc(cx, cy, r, 0, 2 * math.pi), ctx.fill())


def _rect(x, y, w, h, r=3):
    return lambda ctx: (core.rounded_rect(ctx, x, y, w, h, r), ctx.fill())


def normal_panel():
    m = panel_mask()
    img = material.plate(m, 11, bevel=4.0)
    # darker insets break the big plate into sections
    sections = [
        _rect(8, 100, 104, 220, 10),      # left upper (dragon's bay)
        _rect(8, 330, 104, 258, 10),      # bonus column
        _rect(690, 206, 104, 382, 10),    # crystal column
    ]
    for fn in sections:
        sm = material.mask_of(W, H, fn)
        material.recess(img, sm, depth=3.0, floor=(0.06, 0.07, 0.17), alpha=0.85)
    # the progress gauge trough
    gx, gy, gw, gh = GAUGE
    material.recess(img, material.mask_of(W, H, _rect(gx - 5, 63, gw + 11, 22, 6)), depth=2.5)
    # bonus sockets and their timer tracks
    for i, y in enumerate(SLOT_Y):
        cx, cy = 37, y + 17
        material.recess(img, material.mask_of(W, H, _circle(cx, cy, 20)), depth=2.5, floor=(0.03, 0.04, 0.1))
    # crystal counter tube
    material.recess(img, material.mask_of(W, H, _rect(744, 232, 42, 352, 18)), depth=3.0, floor=(0.03, 0.03, 0.09))
    # the cannon dock and the next-ball socket
    material.recess(img, material.mask_of(W, H, _circle(PIVOT[0], PIVOT[1] + 4, 58)), depth=4.0,
                    floor=(0.04, 0.05, 0.12))
    material.recess(img, material.mask_of(W, H, _circle(NEXT_SOCKET[0], NEXT_SOCKET[1], 20)), depth=2.5)
    px, py, pw, ph = PUSH
    material.recess(img, material.mask_of(W, H, _rect(px - 4, py - 4, pw + 8, ph + 8, 5)), depth=2.0)
    # the menu button's recess
    mx, my, mw, mh = MENU_MINI
    material.recess(img, material.mask_of(W, H, _rect(mx - 3, -6, mw + 6, mh + 9, 6)), depth=2.0)

    # the timer tracks are holes: the bars slide beneath the panel
    holes = material.mask_of(W, H, lambda c: [track_hole(c, i) for i in range(6)] and c.fill())
    img *= (1 - holes)[..., None]
    for i in range(6):
        core.add(img, material.glow_line(W, H, lambda c, i=i: track_hole(c, i), width=1.0, blur=1.5, strength=0.5))
    # rims: metal tube around the field window, with a cyan light inside it
    x0, y0, x1, y1 = FIELD

    core.over(img, material.metal_rim(W, H, lambda c: field_window(c, grow=2.0, r=16), width=5.0))
    core.add(img, material.glow_line(W, H, lambda c: field_window(c, grow=-1.5, r=12.5),
                                     width=1.2, blur=2.5, strength=0.7))
    # the top band's lower edge: a metal lip the balls slide under
    lip = material.mask_of(W, H, _rect(x0 - 6, y0 - 7, x1 - x0 + 12, 9, 4))
    core.over(img, material.plate(lip, 12, top=(0.45, 0.52, 0.85), bottom=(0.15, 0.17, 0.35), bevel=2.0, grain=0))
    for x in (x0 + 20, (x0 + x1) // 2, x1 - 20):
        core.add(img, core.glow_dot(13, material.GLOW, core=0.3), x - 6, y0 - 9, opacity=0.9)
    # captions
    for text, x, y, size in (("PROGRESS", 233, 44, 11), ("BONUS", 30, 333, 11), ("NEXT", 282, 540, 10),
                             ("CRYSTALS", 712, 212, 9), ("LEVEL", 702, 96, 9), ("SCORE", 697, 150, 9)):
        lab = material.label(text, size, glow=(0.2, 0.6, 1.0))
        core.over(img, lab, x, y)
    # a small emblem at the top left: three bubbles
    for (cx, cy, r, n) in ((34, 40, 14, 4), (60, 30, 10, 2), (58, 56, 9, 3)):
        from .balls import BALL_RGB
        s = shapes.sphere(int(2 * r + 2), BALL_RGB[n])
        core.over(img, core.with_shadow(s, 2, 2, 2, 0.5), cx - r, cy - r)
    title = material.label("QUIBBLESTAR", 19, rgb=(1.0, 0.9, 0.55), glow=(0.9, 0.5, 0.1), spacing=1.0)
    core.over(img, title, 76, 24)
    # screws
    for (x, y) in ((8, 8), (W - 14, 30), (8, H - 14), (W - 14, H - 14), (212, 8), (588, 8), (212, 70), (588, 70)):
        core.over(img, core.with_shadow(shapes.sphere(7, (0.6, 0.65, 0.8), spec_power=30), 1, 1, 0.8, 0.6), x, y)
    return img


def bonus_track():
    """Dark grooves behind the bonus timer bars (the bars slide under the panel)."""
    img = core.blank(40, 240)
    for i, y in enumerate(SLOT_Y):
        yy = y + 17 - 6 - 336
        m = material.mask_of(40, 240, _rect(0, yy, 38, 12, 4))
        layer = core.tint_mask(m, (0.02, 0.03, 0.08), 1.0)
        core.over(img, layer)
        gl = material.mask_of(40, 240, _rect(1, yy + 1, 36, 3, 1.5))
        core.add(img, core.tint_mask(gl, (0.15, 0.2, 0.35), 0.6))
    return img


def field_shade():
    x0, y0, x1, y1 = FIELD
    w, h = x1 - x0 + 20, y1 - 0 + 10
    def fn(ctx):
        core.rounded_rect(ctx, 8, 0, x1 - x0 + 4, y1 + 2, 16)
    m = material.mask_of(w, h, fn)
    img = core.tint_mask(m, (0.0, 0.01, 0.04), 0.5)
    img = core.blur(img, 6)
    # faint guide rings where the ball columns of the lowest rows lie
    yy, xx = np.mgrid[0:h, 0:w].astype(np.float32)
    vign = np.clip(np.abs(xx - w / 2.0) / (w / 2.0), 0, 1) ** 3
    img[..., 3] = np.clip(img[..., 3] + 0.15 * vign * (img[..., 3] > 0.2), 0, 1)
    img[..., :3] = np.minimum(img[..., :3], img[..., 3:4])
    return img


# ---------------------------------------------------------------- gauge, covers, bars

def gauge_bar(blink=False):
    gx, gy, gw, gh = GAUGE
    img = core.blank(gw, gh)
    t = np.linspace(0, 1, gw, dtype=np.float32)
    if blink:
        stops = [(0.0, (1.0, 0.2, 0.15)), (1.0, (1.0, 0.55, 0.2))]
    else:
        stops = [(0.0, (0.1, 0.55, 1.0)), (0.45, (0.15, 0.95, 0.75)), (0.75, (0.55, 1.0, 0.3)), (1.0, (1.0, 0.9, 0.25))]
    col = np.zeros((gw, 3), np.float32)
    for c in range(3):
        col[:, c] = np.interp(t, [s[0] for s in stops], [s[1][c] for s in stops])
    v = np.linspace(0, 1, gh, dtype=np.float32)
    prof = 0.65 + 0.55 * np.exp(-((v - 0.3) ** 2) / 0.05)
    img[..., :3] = np.clip(col[None, :, :] * prof[:, None, None], 0, 1)
    img[..., 3] = 1
    # bright top line and soft energy ripples
    img[1, :, :3] = np.clip(img[1, :, :3] + 0.35, 0, 1)
    ripple = 0.08 * np.sin(np.arange(gw) * 0.45)[None, :, None]
    img[..., :3] = np.clip(img[..., :3] + ripple, 0, 1)
    m = material.mask_of(gw, gh, _rect(0, 0, gw, gh, 4))
    img *= m[..., None]
    return img


def gauge_cover():
    w, h = COVER
    img = core.blank(w, h)
    v = np.linspace(0, 1, h, dtype=np.float32)
    base = np.array((0.025, 0.035, 0.09), np.float32)
    col = base[None, :] * (0.8 + 0.6 * v[:, None])
    img[..., :3] = col[:, None, :]
    img[..., 3] = 1
    img[3, :, :3] += 0.05  # the faint reflection line of the empty tube
    return img


def bonus_bar():
    w, h = 30, 8
    m = material.mask_of(w, h, _rect(0, 0, w, h, 3.5))
    img = material.plate(m, 21, top=(1, 1, 1), bottom=(0.7, 0.72, 0.75), bevel=1.2, grain=0, gloss=0.5)
    return img


def push_bar():
    px, py, pw, ph = PUSH
    m = material.mask_of(pw, ph, _rect(0, 0, pw, ph, 4))
    return material.plate(m, 22, top=(1, 1, 1), bottom=(0.72, 0.72, 0.74), bevel=1.5, grain=0, gloss=0.5)


# ---------------------------------------------------------------- small menu button

def menu_mini_frames():
    w, h = MENU_MINI[2], MENU_MINI[3]
    out = []
    for state in range(3):
        top = [(0.22, 0.32, 0.7), (0.35, 0.55, 0.95), (0.12, 0.2, 0.5)][state]
        bottom = [(0.08, 0.1, 0.3), (0.12, 0.25, 0.55), (0.05, 0.08, 0.22)][state]
        m = material.mask_of(w, h, _rect(1, 0, w - 2, h - 1, 6))
        img = material.plate(m, 30 + state, top=top, bottom=bottom, bevel=1.6, grain=0, gloss=0.6)
        rim = material.glow_line(w, h, lambda c: core.rounded_rect(c, 1.5, -3, w - 3, h + 1.5, 6),
                                 width=1.0, blur=1.5, strength=0.5 if state != 1 else 0.9)
        core.add(img, rim)
        lab = material.label("MENU", 10, rgb=(1, 1, 1) if state == 1 else (0.85, 0.9, 1.0), spacing=2.0,
                             glow=(0.3, 0.8, 1.0) if state == 1 else None)
        lh, lw = lab.shape[:2]
        core.over(img, lab, (w - lw) // 2 + (1 if state == 2 else 0), (h - lh) // 2 + (1 if state == 2 else 0))
        out.append(img)
    return out


# ---------------------------------------------------------------- level and score panels

def _tablo(w, h, caption, seed, window):
    m = material.mask_of(w, h, _rect(1, 1, w - 2, h - 2, 9))
    img = material.plate(m, seed, top=(0.2, 0.24, 0.5), bottom=(0.08, 0.1, 0.26), bevel=2.5)
    wx, wy, ww, wh = window
    material.recess(img, material.mask_of(w, h, _rect(wx, wy, ww, wh, 5)), depth=2.0, floor=(0.01, 0.02, 0.06))
    core.add(img, material.glow_line(w, h, lambda c: core.rounded_rect(c, 2.5, 2.5, w - 5, h - 5, 8),
                                     width=1.0, blur=2.0, strength=0.55))
    lab = material.label(caption, 10, glow=(0.2, 0.6, 1.0), spacing=2.0)
    return img, lab


def tablo_frames(kind):
    if kind == "level":
        x, y, w, h = TABLO_LEVEL
        img, lab = _tablo(w, h, "LEVEL", 40, (58, 6, 52, 28))
        core.over(img, lab, 8, (h - lab.shape[0]) // 2)
    else:
        x, y, w, h = TABLO_SCORES
        img, lab = _tablo(w, h, "SCORE", 41, (6, 22, w - 12, 30))
        core.over(img, lab, (w - lab.shape[1]) // 2, 4)
    # the intro: the panel unfolds from its centre line with a light sweep
    frames = []
    for i in range(24):
        t = i / 23.0
        f = core.blank(w, h)
        open_ = min(1.0, t / 0.7)
        ease = 1 - (1 - open_) ** 3
        vis_h = max(1, int(round(h * ease)))
        src = img
        if vis_h < h:
            src = core.resize(img, w, vis_h)
        core.over(f, src, 0, (h - vis_h) // 2)
        if t > 0.55:
            sweep_x = (t - 0.55) / 0.45 * (w + 40) - 20
            xs = np.arange(w, dtype=np.float32)
            band = np.exp(-((xs - sweep_x) ** 2) / (2 * 8.0 ** 2))[None, :] * f[..., 3]
            layer = np.zeros_like(f)
            layer[..., :3] = band[..., None] * 0.6
            layer[..., 3] = band * 0.6
            core.add(f, layer)
        if i < 23:
            f *= min(1.0, 0.25 + t * 1.2)
        frames.append(f)
    return frames


def tablo_line_frames(n=16):
    w, h = 116, 6
    out = []
    xs = np.arange(w, dtype=np.float32)
    for i in range(n):
        f = core.blank(w, h)
        base = np.exp(-((np.arange(h) - 2.5) ** 2) / 1.6)[:, None] * np.ones((1, w))
        ends = np.clip(np.minimum(xs, w - 1 - xs) / 20.0, 0, 1)[None, :]
        pulse_x = (i / float(n)) * (w + 60) - 30
        pulse = np.exp(-((xs - pulse_x) ** 2) / (2 * 10.0 ** 2))[None, :]
        a = np.clip(base * ends * (0.45 + 0.9 * pulse), 0, 1)
        f[..., 0] = a * 0.35
        f[..., 1] = a * 0.85
        f[..., 2] = a * 1.0
        f[..., 3] = a
        out.append(f.astype(np.float32))
    return out


# ---------------------------------------------------------------- nets

def net_frames():
    w, h = 86, 412
    out = []
    for f in range(12):
        inner = 6 + (NET_T[f] - 1) * 68.0 / 95.0  # inner edge from the wall
        img = core.blank(w, h)
        if inner > 8:
            def mesh(ctx, inner=inner):
                ctx.rectangle(6, 0, inner - 6, h)
                ctx.clip()
                step = 12.0
                for k in range(-40, 60):
                    ctx.move_to(6 + k * step, 0)
                    ctx.line_to(6 + k * step + h * 0.6, h)
                    ctx.move_to(6 + k * step, 0)
                    ctx.line_to(6 + k * step - h * 0.6, h)
            core.add(img, material.glow_line(w, h, mesh, rgb=(0.3, 0.75, 1.0), width=0.9, blur=1.5, strength=0.55))
            fog = material.mask_of(w, h, _rect(6, 0, inner - 6, h, 0))
            core.over(img, core.tint_mask(fog, (0.05, 0.2, 0.4), 0.22))
        # the post at the inner edge: a glowing pole
        pole = material.mask_of(w, h, _rect(inner - 3, 0, 6, h, 3))
        core.over(img, material.plate(pole, 50, top=(0.7, 0.85, 1.0), bottom=(0.25, 0.4, 0.7), bevel=1.5, grain=0))
        core.add(img, material.glow_line(w, h, lambda c, x=inner: (c.move_to(x, 4), c.line_to(x, h - 4)),
                                         rgb=(0.3, 0.85, 1.0), width=1.2, blur=3.0, strength=0.8))
        for yy in range(30, h, 60):
            core.add(img, core.glow_dot(11, (0.4, 0.9, 1.0), core=0.3), int(inner) - 5, yy - 5, opacity=0.9)
        out.append(img)
    return out


# ---------------------------------------------------------------- laser warning

def laser_frames(n, fast):
    w, h = 580, 22
    out = []
    xs = np.arange(w, dtype=np.float32)
    ys = np.arange(h, dtype=np.float32)
    rng = np.random.default_rng(61 if fast else 62)
    for i in range(n):
        ph = i / float(n)
        level = (0.55 + 0.45 * math.sin(2 * math.pi * ph)) if not fast else (0.5 + 0.5 * (i % 2)) * (0.8 + 0.2 * rng.random())
        core_w = 1.2 + 0.8 * level
        prof = np.exp(-((ys - h / 2.0) ** 2) / (2 * core_w ** 2))[:, None]
        glow = np.exp(-((ys - h / 2.0) ** 2) / (2 * (3.5 + 2.5 * level) ** 2))[:, None]
        ends = np.clip(np.minimum(xs - 8, w - 9 - xs) / 6.0, 0, 1)[None, :]
        flicker = 1 + 0.15 * np.sin(xs * 0.21 + ph * 40)[None, :]
        a_core = np.clip(prof * ends * flicker, 0, 1)
        a_glow = np.clip(glow * ends * (0.35 + 0.45 * level), 0, 1)
        f = core.blank(w, h)
        f[..., 0] = np.clip(a_glow * 1.0 + a_core, 0, 1)
        f[..., 1] = np.clip(a_glow * 0.12 + a_core * 0.75, 0, 1)
        f[..., 2] = np.clip(a_glow * 0.1 + a_core * 0.65, 0, 1)
        f[..., 3] = np.clip(a_glow + a_core, 0, 1)
        f[..., :3] = np.minimum(f[..., :3], f[..., 3:4])
        # emitters at both ends
        for ex in (2, w - 20):
            em = core.draw(18, h, lambda c: (core.rounded_rect(c, 1, 3, 16, h - 6, 4),
                                           c.set_source(core.linear(0, 3, 0, h - 3, [(0, 0.8, 0.8, 0.9, 1),
                                                                                     (1, 0.3, 0.3, 0.4, 1)])),
                                           c.fill()), scale=2)
            core.over(f, em, ex, 0)
            core.add(f, core.glow_dot(15, (1.0, 0.2, 0.15), core=0.3), ex + 2, 4, opacity=0.6 + 0.4 * level)
        out.append(f)
    return out


# ---------------------------------------------------------------- cannon

CANON_W, CANON_H, CANON_TOP = 91, 160, 20   # image; the pivot is at (45.5, 94.5 + CANON_TOP)


def _cannon_image(recoil=0.0, flash=0.0, barrel=1.0, hub=1.0, energy=0.5):
    cx, cy = 45.5, 94.5 + CANON_TOP
    w, h = CANON_W, CANON_H
    img = core.blank(w, h)
    if barrel > 0:
        top = cy - 96 * barrel + recoil

        def barrel_shape(ctx):
            ctx.move_to(cx - 13, cy - 10)
            ctx.line_to(cx - 11, top + 12)
            ctx.line_to(cx + 11, top + 12)
            ctx.line_to(cx + 13, cy - 10)
            ctx.close_path()
            ctx.fill()
        bm = material.mask_of(w, h, barrel_shape, ss=4)
        # a round tube: horizontal shading across the barrel
        xs = (np.arange(w, dtype=np.float32) - cx) / 12.0
        tube = np.clip(1 - xs * xs, 0, 1) ** 0.5
        lit = 0.3 + 0.7 * np.clip(tube * (1 - 0.55 * xs), 0, 1.3)
        col = np.array((0.36, 0.46, 0.82), np.float32)[None, None, :] * lit[None, :, None]
        spec = np.exp(-((xs + 0.45) ** 2) / 0.015)[None, :, None] * 0.55
        layer = np.zeros((h, w, 4), np.float32)
        layer[..., :3] = np.clip(col + spec, 0, 1) * bm[..., None]
        layer[..., 3] = bm
        core.over(img, core.shadow(layer, 2, 3, 2.5, 0.5))
        core.over(img, layer)
        # energy stripe up the middle
        stripe = material.mask_of(w, h, lambda c: (c.rectangle(cx - 2.2, top + 16, 4.4, cy - top - 30), c.fill()), ss=4)
        core.add(img, core.blur(core.tint_mask(stripe, material.GLOW, 0.6 + 0.4 * energy), 2.0), opacity=1.2)
        core.add(img, core.tint_mask(stripe, (0.7, 0.95, 1.0), 0.5 + 0.5 * energy))
        # rings along the barrel and the muzzle
        for yy, ww, hh in ((top + 2, 30, 12), (top + 30, 27, 5), (top + 52, 28, 5)):
            rm = material.mask_of(w, h, _rect(cx - ww / 2.0, yy, ww, hh, 3), ss=4)
            core.over(img, material.plate(rm, 70, top=(0.95, 0.82, 0.45), bottom=(0.55, 0.38, 0.12), bevel=1.2,
                                          grain=0, gloss=0.6))
        if flash > 0:
            fl = core.glow_dot(48, (1.0, 0.85, 0.5), core=0.35, falloff=1.4)
            core.add(img, fl, int(cx - 24), int(top - 26), opacity=flash)
            core.add(img, shapes.sparkle(48, 24, 24, 20 * flash, rgb=(1, 0.9, 0.6), thickness=1.2),
                     int(cx - 24), int(top - 26), opacity=flash)
    if hub > 0:
        r = 31 * hub

        def hub_shape(ctx):
            ctx.arc(cx, cy, r, 0, 2 * math.pi)
            ctx.fill()
        hm = material.mask_of(w, h, hub_shape, ss=4)
        hubimg = material.plate(hm, 71, top=(0.32, 0.38, 0.7), bottom=(0.1, 0.12, 0.3), bevel=3.5, grain=0.02)
        # side fins
        for s in (-1, 1):
            fm = material.mask_of(w, h, lambda c, s=s: (c.move_to(cx + s * r * 0.7, cy - 14 * hub),
                                                     c.line_to(cx + s * (r + 12 * hub), cy + 4 * hub),
                                                     c.line_to(cx + s * (r + 10 * hub), cy + 20 * hub),
                                                     c.line_to(cx + s * r * 0.7, cy + 16 * hub),
                                                     c.close_path(), c.fill()), ss=4)
            fin = material.plate(fm, 72, top=(0.95, 0.8, 0.42), bottom=(0.5, 0.33, 0.1), bevel=1.5, grain=0)
            core.over(img, core.shadow(fin, 2, 2, 2, 0.5))
            core.over(img, fin)
        core.over(img, core.shadow(hubimg, 2, 3, 3, 0.6))
        core.over(img, hubimg)
        # the socket where the ball rides, with a glowing ring
        material.recess(img, material.mask_of(w, h, _circle(cx, cy, 19.5 * hub), ss=4), depth=2.0,
                        floor=(0.02, 0.03, 0.08))
        core.add(img, material.glow_line(w, h, lambda c: c.arc(cx, cy, 21.5 * hub, 0, 2 * math.pi),
                                         width=1.3, blur=2.5, strength=0.6 + 0.4 * energy))
    return img


def canon2_frames():
    seq = [(6, 1.0), (5, 0.6), (4, 0.25), (3, 0.0), (2, 0.0), (1, 0.0), (0.5, 0.0), (0, 0.0)]
    return [_cannon_image(recoil=r, flash=f, energy=0.5 + 0.5 * f) for r, f in seq]


def canon1_frames():
    cx, cy = 45.5, 94.5 + CANON_TOP
    out = []
    for i in range(32):
        t = i / 31.0
        if i < 8:
            img = core.blank(CANON_W, CANON_H)
            k = (i + 1) / 8.0
            core.add(img, material.glow_line(CANON_W, CANON_H, lambda c, k=k: c.arc(cx, cy, 8 + 26 * k, 0, 2 * math.pi),
                                             width=1.5 + 2 * (1 - k), blur=3, strength=1.0 - 0.3 * k))
            core.add(img, core.glow_dot(40, material.GLOW, core=0.3), int(cx - 20), int(cy - 20), opacity=0.8 * (1 - k) + 0.2)
        elif i < 18:
            k = (i - 7) / 10.0
            img = _cannon_image(barrel=0.0, hub=0.6 + 0.4 * (1 - (1 - k) ** 2), energy=1.0)
            img *= min(1.0, 0.3 + k)
            core.add(img, core.glow_dot(50, material.GLOW, core=0.25), int(cx - 25), int(cy - 25), opacity=0.6 * (1 - k))
        elif i < 29:
            k = (i - 17) / 11.0
            img = _cannon_image(barrel=0.15 + 0.85 * (1 - (1 - k) ** 2), energy=1.0)
        else:
            k = (i - 28) / 3.0
            img = _cannon_image(flash=0.6 * (1 - k) if i < 31 else 0.0, energy=1.0 - 0.5 * k)
        out.append(img)
    return out


def rocket_mark():
    w, h = 12, 26

    def body(ctx):
        ctx.move_to(6, 0.5)
        ctx.curve_to(10, 4, 9.5, 14, 9, 20)
        ctx.line_to(3, 20)
        ctx.curve_to(2.5, 14, 2, 4, 6, 0.5)
        ctx.close_path()
        ctx.set_source(core.linear(2, 0, 10, 0, [(0, 0.75, 0.75, 0.8, 1), (0.4, 1, 1, 1, 1), (1, 0.5, 0.5, 0.6, 1)]))
        ctx.fill()
        ctx.move_to(6, 0.5)
        ctx.curve_to(8.5, 2.5, 9, 5, 9.2, 7)
        ctx.line_to(2.8, 7)
        ctx.curve_to(3, 5, 3.5, 2.5, 6, 0.5)
        ctx.close_path()
        ctx.set_source_rgba(0.9, 0.2, 0.15, 1)
        ctx.fill()
        for s in (-1, 1):
            ctx.move_to(6 + s * 3, 14)
            ctx.line_to(6 + s * 6, 22)
            ctx.line_to(6 + s * 3, 20)
            ctx.close_path()
        ctx.set_source_rgba(0.85, 0.2, 0.15, 1)
        ctx.fill()
        ctx.move_to(4, 20)
        ctx.line_to(6, 25.5)
        ctx.line_to(8, 20)
        ctx.close_path()
        ctx.set_source_rgba(1, 0.75, 0.2, 0.9)
        ctx.fill()
    img = core.draw(w, h, body, scale=4)
    return core.with_shadow(img, 1, 1, 0.8, 0.6)


# ---------------------------------------------------------------- rocket, target, plank, particles

def rocket_frames():
    w, h = 29, 49
    body = core.draw(w, h, lambda c: (c.translate(14.5, 0), c.scale(2.1, 1.7),
                                      c.translate(-6, 1), _rocket_body(c)), scale=4)
    out = []
    rng = np.random.default_rng(81)
    for i in range(6):
        f = core.blank(w, h)
        flame_len = 10 + 5 * rng.random()

        def flame(ctx, L=flame_len):
            ctx.move_to(10.5, 36)
            ctx.curve_to(11, 36 + L * 0.6, 13, 36 + L, 14.5, 36 + L)
            ctx.curve_to(16, 36 + L, 18, 36 + L * 0.6, 18.5, 36)
            ctx.close_path()
            ctx.set_source(core.linear(0, 36, 0, 36 + L, [(0, 1, 1, 0.8, 1), (0.4, 1, 0.7, 0.2, 0.95), (1, 1, 0.3, 0.1, 0)]))
            ctx.fill()
        fl = core.draw(w, h, flame, scale=4)
        core.add(f, core.blur(fl, 1.5))
        core.add(f, fl)
        core.over(f, body)
        out.append(f)
    return out


def _rocket_body(ctx):
    ctx.move_to(6, 0.5)
    ctx.curve_to(10, 4, 9.5, 14, 9, 20)
    ctx.line_to(3, 20)
    ctx.curve_to(2.5, 14, 2, 4, 6, 0.5)
    ctx.close_path()
    ctx.set_source(core.linear(2, 0, 10, 0, [(0, 0.7, 0.72, 0.8, 1), (0.4, 1, 1, 1, 1), (1, 0.45, 0.47, 0.55, 1)]))
    ctx.fill_preserve()
    ctx.set_source_rgba(0.1, 0.1, 0.2, 0.8)
    ctx.set_line_width(0.35)
    ctx.stroke()
    ctx.move_to(6, 0.5)
    ctx.curve_to(8.5, 2.5, 9, 5, 9.2, 7)
    ctx.line_to(2.8, 7)
    ctx.curve_to(3, 5, 3.5, 2.5, 6, 0.5)
    ctx.close_path()
    ctx.set_source_rgba(0.95, 0.25, 0.2, 1)
    ctx.fill()
    ctx.arc(6, 10.5, 1.6, 0, 2 * math.pi)
    ctx.set_source_rgba(0.3, 0.75, 1.0, 1)
    ctx.fill_preserve()
    ctx.set_source_rgba(0.2, 0.2, 0.3, 1)
    ctx.set_line_width(0.4)
    ctx.stroke()
    for s in (-1, 1):
        ctx.move_to(6 + s * 3, 13)
        ctx.line_to(6 + s * 6, 21)
        ctx.line_to(6 + s * 3, 19.5)
        ctx.close_path()
    ctx.set_source_rgba(0.9, 0.22, 0.18, 1)
    ctx.fill()


def target_frames(n=16):
    size = 48
    out = []
    for i in range(n):
        rot = 2 * math.pi * i / n / 4.0
        pulse = 0.5 + 0.5 * math.cos(2 * math.pi * i / n)

        def ring(ctx, rot=rot, pulse=pulse):
            ctx.translate(size / 2.0, size / 2.0)
            ctx.rotate(rot)
            r = 19 + 1.5 * pulse
            for k in range(4):
                a = k * math.pi / 2
                ctx.arc(0, 0, r, a + 0.25, a + math.pi / 2 - 0.25)
                ctx.new_sub_path()
            for k in range(4):
                a = k * math.pi / 2 + math.pi / 4
                ctx.move_to(math.cos(a) * (r - 6), math.sin(a) * (r - 6))
                ctx.line_to(math.cos(a) * (r + 3), math.sin(a) * (r + 3))
        f = material.glow_line(size, size, ring, rgb=(1.0, 0.35, 0.25), width=2.0, blur=2.0, strength=0.9)
        core.add(f, core.glow_dot(9, (1.0, 0.5, 0.4), core=0.4), 19, 19, opacity=0.7 + 0.3 * pulse)
        out.append(f)
    return out


PLANK_W = 426


def plank_image():
    w, h = PLANK_W, 16
    img = core.blank(w, h)
    m = material.mask_of(w, h, _rect(0, 4, w, 8, 4))
    core.over(img, material.plate(m, 90, top=(0.95, 0.75, 0.35), bottom=(0.5, 0.3, 0.08), bevel=1.5, grain=0.03,
                                  gloss=0.6))
    core.add(img, material.glow_line(w, h, lambda c: (c.move_to(6, 8), c.line_to(w - 6, 8)),
                                     rgb=(1.0, 0.6, 0.2), width=1.0, blur=3.0, strength=0.5))
    for x in range(20, w - 10, 40):
        core.over(img, core.with_shadow(shapes.sphere(6, (0.9, 0.85, 0.7), spec_power=25), 1, 1, 0.6, 0.5), x, 5)
    return img


def particle1():
    size = 16
    return core.glow_dot(size, (1.0, 1.0, 1.0), core=0.3, falloff=1.8)


def particle2():
    size = 20
    img = shapes.sparkle(size, 10, 10, 9, rgb=(1, 0.95, 0.8), thickness=1.0)
    core.add(img, core.glow_dot(size, (1.0, 0.85, 0.5), core=0.25, falloff=2.5), opacity=0.6)
    return img


def particle3_frames():
    """The four quarter shells of a burst ball (tinted by the ball's colour)."""
    size = 34
    whole = shapes.sphere(size, (0.92, 0.92, 0.94), rim_dark=0.35)
    out = []
    for k, (sx, sy) in enumerate(((0, 0), (1, 0), (0, 1), (1, 1))):
        def crack(ctx, sx=sx, sy=sy):
            ctx.move_to(17, 17)
            pts = [(17, -2), (36, -2), (36, 17)] if (sx, sy) == (1, 0) else \
                  [(-2, 17), (-2, -2), (17, -2)] if (sx, sy) == (0, 0) else \
                  [(-2, 17), (-2, 36), (17, 36)] if (sx, sy) == (0, 1) else [(36, 17), (36, 36), (17, 36)]
            for i, p in enumerate(pts):
                jag = 2.5 if i in (0, 2) else 0
                ctx.line_to(p[0] + (jag if sx else -jag), p[1])
            ctx.close_path()
            ctx.fill()
        m = material.mask_of(size, size, crack, ss=4)
        shard = whole * m[..., None]
        x0, y0 = 17 * sx - 4 if sx else 0, 17 * sy - 4 if sy else 0
        piece = core.blank(24, 24)
        core.over(piece, shard[max(0, y0):max(0, y0) + 24, max(0, x0):max(0, x0) + 24])
        out.append(piece)
    return out


def line_piece():
    size = 14
    img = core.glow_dot(size, (0.55, 1.0, 0.45), core=0.35, falloff=1.6)
    core.add(img, shapes.sparkle(size, 7, 7, 6, rgb=(0.8, 1.0, 0.7), thickness=0.7), opacity=0.8)
    return img


# ---------------------------------------------------------------- record and try-again screens

def menu_panel():
    w, h = 560, 470
    m = material.mask_of(w, h, _rect(6, 6, w - 12, h - 12, 26))
    img = material.plate(m, 95, top=(0.18, 0.21, 0.45), bottom=(0.07, 0.08, 0.22), bevel=5.0)
    core.over(img, material.metal_rim(w, h, lambda c: core.rounded_rect(c, 8, 8, w - 16, h - 16, 24), width=5.0))
    core.add(img, material.glow_line(w, h, lambda c: core.rounded_rect(c, 15, 15, w - 30, h - 30, 18),
                                     width=1.2, blur=3.0, strength=0.6))
    # a title ribbon at the top
    rm = material.mask_of(w, h, _rect(150, 0, 260, 34, 12))
    core.over(img, core.shadow(material.plate(rm, 96), 2, 3, 3, 0.6))
    core.over(img, material.plate(rm, 96, top=(0.95, 0.78, 0.35), bottom=(0.55, 0.35, 0.1), bevel=2.5, grain=0.02))
    full = core.blank(w + 20, h + 20)
    core.over(full, core.shadow(img, 4, 6, 6, 0.6), 10, 10)
    core.over(full, img, 10, 10)
    return full


def dark_panel():
    w, h = 480, 330
    m = material.mask_of(w, h, _rect(0, 0, w, h, 16))
    img = core.tint_mask(m, (0.0, 0.01, 0.05), 0.72)
    inner = material.mask_of(w, h, lambda c: (core.rounded_rect(c, 1, 1, w - 2, h - 2, 15), c.set_line_width(1.2),
                                              c.stroke()))
    core.add(img, core.tint_mask(inner, (0.25, 0.45, 0.8), 0.6))
    return img


# ---------------------------------------------------------------- files and the map

def _mirror(frames):
    return [f[:, ::-1].copy() for f in frames]


def make_all():
    g = "graphics/elements_gamezone/"
    P = {}

    def one(name, img, ts=64, z=0, folder=g, **keys):
        rel = spr.image(folder + name + ".png", img)
        P[name] = spr.write(folder + name + ".spr", [[spr.part(rel, 0, 0, ts, **keys)]], z=z)
        return P[name]

    bg = spr.image(g + "space_background.jpg", space.game_background(), fmt="jpg")
    P["space_background"] = spr.write(g + "space_background.spr", [[spr.part(bg, 0, 0, 256)]], z=Z_BACK)
    one("field_shade", field_shade(), ts=128, z=Z_SHADE)
    one("bonus_track", bonus_track(), ts=32, z=Z_TRACK)
    one("normal_panel", normal_panel(), ts=64, z=Z_PANEL)
    one("poloska_bonus", bonus_bar(), ts=32, z=Z_NET)
    one("poloska_ballsdown", push_bar(), ts=32, z=101)
    bar = spr.image(g + "poloska.png", core.sheet([gauge_bar(False), gauge_bar(True)], 1))
    P["poloska"] = spr.write(g + "poloska.spr", [[spr.part(bar, GAUGE[2], GAUGE[3], 64)]], z=101)
    one("poloska_over", gauge_cover(), ts=16, z=102)

    mm = spr.image(g + "panel_menu_mini.png", core.sheet(menu_mini_frames(), 1))
    P["panel_menu_mini"] = spr.write(g + "panel_menu_mini.spr", [[spr.part(mm, MENU_MINI[2], MENU_MINI[3], 32)]],
                                     z=102)
    for kind, box in (("level", TABLO_LEVEL), ("scores", TABLO_SCORES)):
        name = "tablo_" + kind
        rel = spr.image(g + name + ".png", core.sheet(tablo_frames(kind), 4))
        P[name] = spr.write(g + name + ".spr", [[spr.part(rel, box[2], box[3], 64)]], z=101)
    tl = spr.image(g + "tablo_line.png", core.sheet(tablo_line_frames(), 1))
    P["tablo_line"] = spr.write(g + "tablo_line.spr", [[spr.part(tl, 116, 6, 32, anim_speed=spr.anim_speed(16))]],
                                z=102)

    nets = net_frames()
    for name, frames in (("net_left", nets), ("net_right", _mirror(nets))):
        rel = spr.image(g + name + ".png", core.sheet(frames, 6))
        P[name] = spr.write(g + name + ".spr", [[spr.part(rel, 86, 412, 64)]], z=Z_NET)

    slow = spr.image(g + "laser_slow.png", core.sheet(laser_frames(16, False), 2))
    fast = spr.image(g + "laser_fast.png", core.sheet(laser_frames(8, True), 2))
    P["laser"] = spr.write(g + "laser.spr", [[
        spr.part(slow, 580, 22, 64, anim_speed=spr.anim_speed(12), alpha_mode=1),
        spr.part(fast, 580, 22, 64, anim_speed=spr.anim_speed(24), alpha_mode=1)]], z=Z_LASER)

    c = "graphics/canon/"
    c2 = spr.image(c + "canon2.png", core.sheet(canon2_frames(), 8))
    mark = spr.image(c + "rocket_mark.png", rocket_mark())
    off = 35.0
    mx = [45.5 + s * off * math.sin(0.433) - 6 for s in (-1, 1)]
    my = 94.5 - off * math.cos(0.433) - 13
    P["canon2"] = spr.write(c + "canon2.spr", [
        [spr.part(c2, CANON_W, CANON_H, 64, y=-CANON_TOP, z=0, anim_speed=spr.anim_speed(24), anim_loop=False)],
        [spr.part(mark, 0, 0, 32, x=round(mx[0], 1), y=round(my, 1), z=1)],
        [spr.part(mark, 0, 0, 32, x=round(mx[1], 1), y=round(my, 1), z=1)],
    ], z=200, rot_center_x=45.5, rot_center_y=94.5, width=CANON_W, height=CANON_H - CANON_TOP)
    c1 = spr.image(c + "canon1.png", core.sheet(canon1_frames(), 8))
    P["canon1"] = spr.write(c + "canon1.spr", [[spr.part(c1, CANON_W, CANON_H, 64, y=-CANON_TOP)]], z=200,
                            width=CANON_W, height=CANON_H - CANON_TOP)

    r = spr.image("graphics/rocket/rocket.png", core.sheet(rocket_frames(), 6))
    spr.write("graphics/rocket/rocket.spr", [[spr.part(r, 29, 49, 64, anim_speed=spr.anim_speed(20))]], z=240,
              rot_center_x=14.5, rot_center_y=24.5)
    t = spr.image("graphics/bonuses/target.png", core.sheet(target_frames(), 4))
    spr.write("graphics/bonuses/target.spr", [[spr.part(t, 48, 48, 64, x=-7, y=-7, anim_speed=spr.anim_speed(16),
                                                        alpha_mode=1)]], z=210, width=34, height=34)
    pl = spr.image("graphics/additional/planka1.png", plank_image())
    spr.write("graphics/additional/planka1.spr", [[spr.part(pl, 0, 0, 64, x=-PLANK_W // 2, y=-8)]], z=96,
              width=PLANK_W, height=16)
    pfx = "graphics/particles/"
    p1 = spr.image(pfx + "particle1.png", particle1())
    spr.write(pfx + "particle1.spr", [[spr.part(p1, 0, 0, 16, x=9, y=9)]], z=240)
    p2 = spr.image(pfx + "particle2.png", particle2())
    spr.write(pfx + "particle2.spr", [[spr.part(p2, 0, 0, 32, x=7, y=7)]], z=240, rot_center_x=17, rot_center_y=17)
    p3 = spr.image(pfx + "particle3.png", core.sheet(particle3_frames(), 4))
    spr.write(pfx + "particle3.spr", [[spr.part(p3, 24, 24, 32, x=5, y=5)]], z=240, rot_center_x=17, rot_center_y=17)
    lp = spr.image(pfx + "line_piece.png", line_piece())
    spr.write(pfx + "line_piece.spr", [[spr.part(lp, 0, 0, 16, x=10, y=10, alpha_mode=1)]], z=245)

    mp = spr.image(g + "menu_panel.png", menu_panel())
    P["menu_panel"] = spr.write(g + "menu_panel.spr", [[spr.part(mp, 0, 0, 64)]], z=20, x=110, y=55)
    dp = spr.image(g + "dark_panel.png", dark_panel())
    P["dark_panel"] = spr.write(g + "dark_panel.spr", [[spr.part(dp, 0, 0, 64)]], z=25, x=160, y=140)
    return P


def write_map(P, dragons):
    """main.map: prototypes, then the objects with their places (z only where the map differs)."""
    names = ["space_background", "field_shade", "bonus_track", "poloska_bonus", "net_left", "net_right", "laser",
             "normal_panel", "panel_menu_mini", "poloska_ballsdown", "tablo_level", "tablo_scores", "tablo_line",
             "canon1", "canon2", "next_ball", "dragon_blue", "dragon_green"]
    paths = dict(P)
    paths.update(dragons)
    paths["next_ball"] = "graphics/elements_gamezone/next_ball.spr"
    index = {n: i for i, n in enumerate(names)}
    objects = [
        ("space_background", 0, 0),
        ("field_shade", FIELD[0] - 10, 0),
        ("bonus_track", 58, 336),
    ]
    for i in range(5, -1, -1):  # occurrence 5 - i serves slot i
        objects.append(("poloska_bonus", 31, SLOT_Y[i] + 17 - 4))
    objects += [
        ("net_left", FIELD[0] - 6, FIELD[1] - 2),
        ("net_right", FIELD[2] - 79, FIELD[1] - 2),
        ("laser", 111, 483),
        ("normal_panel", 0, 0),
        ("panel_menu_mini", MENU_MINI[0], MENU_MINI[1]),
        ("poloska_ballsdown", PUSH[0], PUSH[1]),
        ("tablo_level", TABLO_LEVEL[0], TABLO_LEVEL[1]),
        ("tablo_scores", TABLO_SCORES[0], TABLO_SCORES[1]),
        ("tablo_line", TABLO_LEVEL[0], TABLO_LEVEL[1] + TABLO_LEVEL[3] + 1),
        ("tablo_line", TABLO_SCORES[0], TABLO_SCORES[1] + TABLO_SCORES[3] + 1),
        ("canon1", CANON_POS[0], CANON_POS[1]),
        ("canon2", CANON_POS[0], CANON_POS[1]),
        ("next_ball", int(NEXT_SOCKET[0] - 16), int(NEXT_SOCKET[1] - 16)),
        ("dragon_blue", 10, 250),
        ("dragon_green", 690, 250),
    ]
    lines = [str(len(names))]
    lines += [spr.game_name(paths[n]) for n in names]
    lines.append(str(len(objects)))
    lines += ["%d,%d,%d" % (index[n], x, y) for n, x, y in objects]
    core.write_text("main.map", lines)
    return [(n, x, y) for n, x, y in objects], {n: paths[n] for n in names}
