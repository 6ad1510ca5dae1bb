"""The two little dragons beside the field.

Each dragon prototype has two groups:
  group 1  three parts, one per mood: idle (part 0), joy (part 1), sad (part 2),
           16 looping frames each; the game selects the part of the mood
  group 2  the "rising" layer (part 3): big flapping wings and a light under
           the feet, drawn behind the body while the dragon flies up
The blue dragon looks to the right; the green one is drawn looking left.
"""
import math

import numpy as np

from . import core, shapes, spr

FW, FH = 110, 150
SS = 3
OUTLINE = (0.05, 0.06, 0.16)


def _shape_fill(ctx, path_fn, c_light, c_dark, cx, cy, r, line=1.5):
    path_fn(ctx)
    ctx.set_source(core.radial(cx - r * 0.35, cy - r * 0.45, r * 0.1, cx, cy, r * 1.15,
                               [(0, *c_light, 1), (1, *c_dark, 1)]))
    ctx.fill_preserve()
    ctx.set_source_rgba(*OUTLINE, 1)
    ctx.set_line_width(line)
    ctx.set_line_join(1)
    ctx.stroke()


def _ellipse(cx, cy, rx, ry, rot=0.0):
    def p(ctx):
        ctx.save()
        ctx.translate(cx, cy)
        ctx.rotate(rot)
        ctx.scale(rx, ry)
        ctx.arc(0, 0, 1, 0, 2 * math.pi)
        ctx.restore()
    return p


def draw_dragon(ctx, pal, t, mood, wings_big=False, body=True):
    """One frame.  t runs 0..1 over the loop; mood 0 idle, 1 joy, 2 sad."""
    body_c, body_d = pal["body"], core.darken(pal["body"], 0.45)
    belly_c, belly_d = pal["belly"], core.darken(pal["belly"], 0.25)
    horn_c, horn_d = (1.0, 0.85, 0.45), (0.75, 0.5, 0.15)
    s2 = math.sin(2 * math.pi * t)
    if mood == 0:
        dy = 1.5 * s2
        arm = 0.2 * s2
        tilt = 0.0
        blink = 11 <= int(t * 16) <= 12
    elif mood == 1:
        hop = abs(math.sin(2 * math.pi * t))
        dy = -10 * hop + 2
        arm = -1.1 - 0.3 * hop
        tilt = -0.08
        blink = False
    else:
        dy = 4 + 0.8 * s2
        arm = 0.5
        tilt = 0.14
        blink = False
    ctx.translate(0, dy)

    wing_phase = math.sin(2 * math.pi * t * (2 if wings_big else 1))
    if wings_big:
        for side, shade in ((0, 0.65), (1, 1.0)):
            ctx.save()
            ctx.translate(44 + side * 6, 86)
            spread = 0.35 + 0.55 * (0.5 + 0.5 * wing_phase)
            ctx.rotate(-0.9 - spread + side * 0.25)
            ctx.move_to(0, 0)
            ctx.curve_to(-8, -22, -30, -40, -48, -44)
            ctx.curve_to(-40, -30, -44, -20, -38, -12)
            ctx.curve_to(-30, -14, -28, -6, -24, 0)
            ctx.curve_to(-16, -4, -10, 2, 0, 8)
            ctx.close_path()
            wl = core.mix(pal["wing"], (0, 0, 0), 1 - shade)
            ctx.set_source(core.linear(0, 0, -48, -44, [(0, *wl, 1), (1, *core.lighten(wl, 0.35), 1)]))
            ctx.fill_preserve()
            ctx.set_source_rgba(*OUTLINE, 1)
            ctx.set_line_width(1.4)
            ctx.stroke()
            ctx.restore()
        if not body:
            # light under the feet
            return

    if not body:
        return

    # tail
    sway = 4 * math.sin(2 * math.pi * t + 1.0)
    ctx.move_to(40, 118)
    ctx.curve_to(20, 126, 10, 118 + sway, 6, 100 + sway)
    ctx.curve_to(12, 110 + sway, 24, 116, 42, 108)
    ctx.close_path()
    ctx.set_source(core.linear(0, 100, 40, 120, [(0, *body_d, 1), (1, *body_c, 1)]))
    ctx.fill_preserve()
    ctx.set_source_rgba(*OUTLINE, 1)
    ctx.set_line_width(1.4)
    ctx.stroke()
    ctx.move_to(6, 100 + sway)
    ctx.line_to(0, 92 + sway)
    ctx.line_to(10, 94 + sway)
    ctx.line_to(9, 103 + sway)
    ctx.close_path()
    ctx.set_source_rgba(*horn_c, 1)
    ctx.fill_preserve()
    ctx.set_source_rgba(*OUTLINE, 1)
    ctx.stroke()

    # small folded wing on the back
    if not wings_big:
        ctx.save()
        ctx.translate(40, 84)
        ctx.rotate(-0.5 - 0.12 * wing_phase)
        ctx.move_to(0, 0)
        ctx.curve_to(-4, -12, -14, -20, -22, -22)
        ctx.curve_to(-18, -14, -20, -8, -16, -2)
        ctx.curve_to(-10, -4, -6, 2, 0, 6)
        ctx.close_path()
        ctx.set_source(core.linear(0, 0, -22, -22, [(0, *pal["wing"], 1), (1, *core.lighten(pal["wing"], 0.3), 1)]))
        ctx.fill_preserve()
        ctx.set_source_rgba(*OUTLINE, 1)
        ctx.set_line_width(1.3)
        ctx.stroke()
        ctx.restore()

    # feet
    for fx in (44, 66):
        _shape_fill(ctx, _ellipse(fx, 134, 9, 6), core.lighten(body_c, 0.2), body_d, fx, 134, 9)
        for k in range(3):
            ctx.arc(fx + 4 + k * 2.6 - 2.6, 137, 1.2, 0, 2 * math.pi)
            ctx.set_source_rgba(1, 1, 1, 0.85)
            ctx.fill()

    # body and belly
    _shape_fill(ctx, _ellipse(56, 104, 27, 30), core.lighten(body_c, 0.25), body_d, 56, 104, 30)
    _shape_fill(ctx, _ellipse(62, 108, 16, 22, 0.1), core.lighten(belly_c, 0.3), belly_d, 62, 108, 20, line=1.0)
    ctx.set_line_width(0.9)
    for k in range(4):
        yy = 95 + k * 8
        ctx.move_to(50, yy)
        ctx.curve_to(56, yy + 2.5, 68, yy + 2.5, 74, yy - 1)
        ctx.set_source_rgba(*belly_d, 0.8)
        ctx.stroke()

    # back spikes
    for k in range(4):
        a = -2.2 + k * 0.28
        bx, by = 56 + 28 * math.cos(a), 104 + 30 * math.sin(a)
        ctx.move_to(bx - 3, by + 2)
        ctx.line_to(bx - 5 + 2 * math.cos(a) * 3, by - 6)
        ctx.line_to(bx + 3, by - 1)
        ctx.close_path()
        ctx.set_source_rgba(*horn_c, 1)
        ctx.fill_preserve()
        ctx.set_source_rgba(*OUTLINE, 1)
        ctx.set_line_width(1.1)
        ctx.stroke()

    # arms
    for side, ax in ((0, 70), (1, 46)):
        ctx.save()
        ctx.translate(ax, 96)
        ctx.rotate(arm * (1 if side == 0 else -1) * (1 if mood != 1 else 1) + (0.3 if side else -0.3))
        if mood == 1:
            ctx.rotate(math.pi * (0.85 if side == 0 else -0.85) * 0.5)
        _shape_fill(ctx, _ellipse(0, 9, 5.5, 10), core.lighten(body_c, 0.25), body_d, 0, 9, 10, line=1.2)
        ctx.restore()

    # head
    ctx.save()
    ctx.translate(60, 70)
    ctx.rotate(tilt)
    ctx.translate(-60, -70)
    for hx, lean in ((52, -0.35), (68, 0.25)):
        ctx.move_to(hx - 4, 30)
        ctx.curve_to(hx - 4, 22, hx + lean * 10, 16, hx + lean * 14, 12)
        ctx.curve_to(hx + 2, 18, hx + 5, 24, hx + 5, 30)
        ctx.close_path()
        ctx.set_source(core.linear(hx, 12, hx, 30, [(0, *horn_c, 1), (1, *horn_d, 1)]))
        ctx.fill_preserve()
        ctx.set_source_rgba(*OUTLINE, 1)
        ctx.set_line_width(1.2)
        ctx.stroke()
    _shape_fill(ctx, _ellipse(58, 52, 28, 26), core.lighten(body_c, 0.3), body_d, 58, 52, 28)
    _shape_fill(ctx, _ellipse(82, 60, 16, 12), core.lighten(belly_c, 0.15), belly_d, 82, 60, 15, line=1.3)
    for nx in (88, 93):
        ctx.arc(nx, 56, 1.3, 0, 2 * math.pi)
        ctx.set_source_rgba(*OUTLINE, 0.9)
        ctx.fill()
    # cheek
    ctx.arc(64, 66, 5, 0, 2 * math.pi)
    ctx.set_source(core.radial(64, 66, 0, 64, 66, 5, [(0, 1, 0.45, 0.55, 0.55), (1, 1, 0.45, 0.55, 0)]))
    ctx.fill()
    # eyes
    for ex, er in ((60, 9.5), (76, 7.5)):
        ey = 44
        if mood == 1:
            ctx.arc(ex, ey + 3, er * 0.75, math.pi * 1.1, math.pi * 1.9)
            ctx.set_source_rgba(*OUTLINE, 1)
            ctx.set_line_width(2.2)
            ctx.stroke()
            continue
        if blink:
            ctx.move_to(ex - er * 0.8, ey + 1)
            ctx.curve_to(ex - er * 0.3, ey + 4, ex + er * 0.3, ey + 4, ex + er * 0.8, ey + 1)
            ctx.set_source_rgba(*OUTLINE, 1)
            ctx.set_line_width(2.0)
            ctx.stroke()
            continue
        ctx.save()
        ctx.translate(ex, ey)
        ctx.scale(er * 0.8, er)
        ctx.arc(0, 0, 1, 0, 2 * math.pi)
        ctx.restore()
        ctx.set_source_rgba(1, 1, 1, 1)
        ctx.fill_preserve()
        ctx.set_source_rgba(*OUTLINE, 1)
        ctx.set_line_width(1.3)
        ctx.stroke()
        look = 2.0 if mood == 0 else 0.5
        py = ey + (2.5 if mood == 2 else 1.0)
        ctx.arc(ex + look, py, er * 0.5, 0, 2 * math.pi)
        ctx.set_source_rgba(*pal["eye"], 1)
        ctx.fill()
        ctx.arc(ex + look, py, er * 0.28, 0, 2 * math.pi)
        ctx.set_source_rgba(0.02, 0.02, 0.05, 1)
        ctx.fill()
        ctx.arc(ex + look - er * 0.2, py - er * 0.25, er * 0.17, 0, 2 * math.pi)
        ctx.set_source_rgba(1, 1, 1, 1)
        ctx.fill()
        if mood == 2:
            # heavy lids
            ctx.save()
            ctx.translate(ex, ey)
            ctx.scale(er * 0.8, er)
            ctx.arc(0, 0, 1.05, math.pi * 1.0, math.pi * 2.0)
            ctx.close_path()
            ctx.restore()
            ctx.set_source_rgba(*core.lighten(body_c, 0.1), 1)
            ctx.fill_preserve()
            ctx.set_source_rgba(*OUTLINE, 1)
            ctx.set_line_width(1.3)
            ctx.stroke()
    # brows for the sad face
    if mood == 2:
        for ex, d in ((60, 1), (76, -1)):
            ctx.move_to(ex - 6, 31 + (2 * d if d > 0 else 0))
            ctx.line_to(ex + 6, 31 + (0 if d > 0 else 2))
            ctx.set_source_rgba(*OUTLINE, 1)
            ctx.set_line_width(1.8)
            ctx.stroke()
    # mouth
    if mood == 1:
        ctx.move_to(72, 64)
        ctx.curve_to(78, 76, 90, 74, 94, 64)
        ctx.close_path()
        ctx.set_source_rgba(0.55, 0.08, 0.15, 1)
        ctx.fill_preserve()
        ctx.set_source_rgba(*OUTLINE, 1)
        ctx.set_line_width(1.3)
        ctx.stroke()
        ctx.arc(83, 70, 3.2, 0, math.pi)
        ctx.set_source_rgba(1, 0.45, 0.5, 1)
        ctx.fill()
    elif mood == 2:
        ctx.move_to(76, 70)
        ctx.curve_to(80, 65, 88, 65, 91, 69)
        ctx.set_source_rgba(*OUTLINE, 1)
        ctx.set_line_width(1.6)
        ctx.stroke()
    else:
        ctx.move_to(74, 65)
        ctx.curve_to(79, 70, 87, 70, 92, 64)
        ctx.set_source_rgba(*OUTLINE, 1)
        ctx.set_line_width(1.6)
        ctx.stroke()
    ctx.restore()
    # a tear rolls down the sad face
    if mood == 2:
        k = (t * 1.0) % 1.0
        ty = 52 + 26 * k
        ctx.move_to(56, ty - 4)
        ctx.curve_to(58.5, ty, 59, ty + 3, 56, ty + 3.5)
        ctx.curve_to(53, ty + 3, 53.5, ty, 56, ty - 4)
        ctx.close_path()
        ctx.set_source_rgba(0.6, 0.85, 1.0, 0.95 * (1 - k * 0.6))
        ctx.fill_preserve()
        ctx.set_source_rgba(0.2, 0.4, 0.8, 0.8 * (1 - k * 0.6))
        ctx.set_line_width(0.8)
        ctx.stroke()


def _frame(pal, t, mood, wings_big=False, body=True):
    img = core.draw(FW, FH, lambda c: draw_dragon(c, pal, t, mood, wings_big, body), scale=SS)
    if body:
        out = core.shadow(img, 3, 4, 3.0, 0.45)
        core.over(out, img)
        img = out
    if mood == 1 and body:
        for k in range(3):
            ph = (t + k / 3.0) % 1.0
            x = 20 + 70 * ((k * 0.37 + 0.2) % 1.0)
            y = 40 - 30 * ph + 10 * k
            core.add(img, shapes.sparkle(24, 12, 12, 3 + 7 * math.sin(math.pi * ph), rgb=(1, 0.95, 0.6), thickness=0.9),
                     int(x) - 12, int(y) - 12, opacity=math.sin(math.pi * ph))
    return img


def rising_frames(pal, n=8):
    out = []
    for i in range(n):
        t = i / float(n)
        wings = core.draw(FW, FH, lambda c: draw_dragon(c, pal, t, 0, True, False), scale=SS)
        img = core.shadow(wings, 2, 3, 2.5, 0.35)
        core.over(img, wings)
        glow = core.glow_dot(50, pal["glow"], core=0.25, falloff=2.0)
        core.add(img, glow, 30, 118, opacity=0.55 + 0.25 * math.sin(2 * math.pi * t))
        out.append(img)
    return out


PALETTES = {
    "dragon_blue": {"body": (0.26, 0.52, 0.98), "belly": (0.78, 0.9, 1.0), "wing": (0.45, 0.35, 0.9),
                    "eye": (0.2, 0.55, 0.25), "glow": (0.4, 0.8, 1.0)},
    "dragon_green": {"body": (0.3, 0.78, 0.32), "belly": (0.95, 0.95, 0.65), "wing": (0.95, 0.55, 0.2),
                     "eye": (0.35, 0.25, 0.75), "glow": (1.0, 0.8, 0.35)},
}


def make_all():
    made = {}
    for name, pal in PALETTES.items():
        mirror = name == "dragon_green"
        folder = "graphics/dragons/"
        parts = []
        for mood, mname in ((0, "idle"), (1, "joy"), (2, "sad")):
            frames = [_frame(pal, i / 16.0, mood) for i in range(16)]
            if mirror:
                frames = [f[:, ::-1].copy() for f in frames]
            rel = spr.image(folder + "%s_%s.png" % (name, mname), core.sheet(frames, 8))
            speed = {0: 10, 1: 16, 2: 8}[mood]
            parts.append(spr.part(rel, FW, FH, 64, z=1, anim_speed=spr.anim_speed(speed)))
        rf = rising_frames(pal)
        if mirror:
            rf = [f[:, ::-1].copy() for f in rf]
        rrel = spr.image(folder + "%s_rising.png" % name, core.sheet(rf, 8))
        made[name] = spr.write(folder + name + ".spr", [
            parts,
            [spr.part(rrel, FW, FH, 64, z=0, anim_speed=spr.anim_speed(16))],
        ], z=104, width=FW, height=FH)
    return made
