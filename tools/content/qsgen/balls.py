"""Balls, bombs, multiball, land block, crystal, bonus icons and the next-ball indicator.

Ball prototypes ("graphics\\balls\\ballN\\ballN.spr") have four layers, each a
group of one part, so all four exist on every ball and the game shows or hides
them:
  layer 1  a soft aura in the ball's colour, drawn beneath the ball
  layer 2  the ball itself; frame 0 is the still ball with its colour mark,
           frames 1..15 sweep a glint across it (the animated shine of a ball
           that carries a bonus)
  layer 3  the ten bonus signs, frame = bonus type - 1
  layer 4  twinkling star glints on top (8 frames)
A plain ball shows layer 2 only; a bonus ball shows all four.
"""
import math

import numpy as np

from . import core, shapes, spr, symbols

BALL = 34
# colour 1..7: blue, yellow, green, red, magenta, grey, light cyan (the game's value table)
BALL_RGB = {
    1: (0.10, 0.34, 0.98),
    2: (0.99, 0.80, 0.10),
    3: (0.16, 0.76, 0.20),
    4: (0.92, 0.12, 0.12),
    5: (0.82, 0.18, 0.84),
    6: (0.58, 0.60, 0.64),
    7: (0.46, 0.90, 0.97),
}
BALL_Z = 90


def render_sign(fn, size=BALL, half=10.5, ss=4, shadow=True):
    """A bonus sign: light fill with a dark outline and a soft shadow."""
    def pass_(ctx, mode):
        ctx.translate(size / 2.0, size / 2.0)
        ctx.scale(half, half)

        def fill(rgb, stroke=None, outline=True, only_outline=False):
            path = ctx.copy_path()
            if mode == "outline":
                if outline:
                    ctx.set_source_rgba(0.04, 0.05, 0.12, 1)
                    ctx.set_line_width((stroke or 0) + 0.34)
                    ctx.set_line_join(1)
                    ctx.set_line_cap(1)
                    ctx.stroke_preserve()
                    if stroke is None:
                        ctx.fill()
                ctx.new_path()
                return
            if only_outline:
                ctx.set_source_rgba(1, 1, 1, 1)
                ctx.set_line_width(stroke)
                ctx.stroke()
                return
            if rgb is None:
                src = core.linear(0, -1, 0, 1, [(0, 1, 1, 1, 1), (0.55, 0.93, 0.96, 1, 1),
                                              (1, 0.72, 0.8, 0.92, 1)])
            else:
                src = core.linear(0, -1, 0, 1, [(0, *core.lighten(rgb, 0.45), 1), (1, *rgb, 1)])
            ctx.set_source(src)
            if stroke:
                ctx.set_line_width(stroke)
                ctx.set_line_cap(1)
                ctx.set_line_join(1)
                ctx.stroke()
            else:
                ctx.fill()
            del path
        fn(ctx, fill)

    outline_img = core.draw(size, size, lambda c: pass_(c, "outline"), scale=ss)
    fill_img = core.draw(size, size, lambda c: pass_(c, "fill"), scale=ss)
    img = core.blank(size, size)
    if shadow:
        core.over(img, core.shadow(outline_img, 1, 1.5, 1.2, 0.6))
    core.over(img, outline_img)
    core.over(img, fill_img)
    return img


def render_mark(index, size=BALL, half=6.2, ss=4):
    """The faint colour mark embossed into a ball."""
    fn = symbols.COLOUR_MARKS[index]

    def shape(ctx):
        ctx.translate(size / 2.0, size / 2.0 + 1.5)
        ctx.scale(half, half)
        ctx.set_fill_rule(0)
        fn(ctx)
        ctx.set_source_rgba(1, 1, 1, 1)
        ctx.fill()
    m = core.draw(size, size, shape, scale=ss)[..., 3]
    img = core.blank(size, size)
    dark = np.zeros_like(m)
    dark[1:, 1:] = m[:-1, :-1]
    core.over(img, core.tint_mask(dark, (0, 0, 0.05), 0.26))
    core.over(img, core.tint_mask(m, (1, 1, 1), 0.30))
    return img


def ball_frames(rgb, mark_index, frames=16):
    base = shapes.sphere(BALL, rgb)
    if mark_index is not None:
        mark = render_mark(mark_index)
        mask = shapes.sphere_mask(BALL)
        mark[..., :] *= mask[..., None]
        core.over(base, mark)
    out = [base]
    for i in range(1, frames):
        f = base.copy()
        # the sweep runs over frames 2..13; frames 1, 14, 15 only breathe
        t = -1.7 + 3.4 * (i - 2) / 11.0
        if 2 <= i <= 13:
            core.add(f, shapes.glint_band(BALL, t, strength=0.7))
        pulse = 0.5 + 0.5 * math.cos(2 * math.pi * i / frames)
        core.add(f, shapes.sparkle(BALL, 11.0, 10.0, 3.5 + 2.5 * (1 - pulse), thickness=0.8), opacity=0.55)
        f[..., :] *= np.clip(base[..., 3:4] / np.maximum(f[..., 3:4], 1e-6), 0, 1)
        out.append(f)
    return out


def sparkle_frames(n=8):
    spots = [(9.0, 9.0, 0), (27.0, 12.0, 3), (22.0, 28.0, 5), (6.0, 23.0, 6)]
    out = []
    for i in range(n):
        f = core.blank(BALL, BALL)
        for (x, y, ph) in spots:
            k = ((i + ph) % n) / float(n)
            s = math.sin(math.pi * k) ** 2 if k < 0.5 else 0.0
            s = math.sin(math.pi * min(k * 2, 1.0)) if k < 0.5 else 0.0
            if s > 0.02:
                core.add(f, shapes.sparkle(BALL, x, y, 2.0 + 4.5 * s, thickness=0.75), opacity=min(1.0, s * 1.2))
        out.append(f)
    return out


def halo_image(rgb):
    return shapes.halo(48, rgb, inner=0.68, strength=0.8)


_shared = {}


def shared_images():
    if _shared:
        return _shared
    signs = [render_sign(fn) for fn in symbols.BONUS_SIGNS]
    _shared["signs"] = spr.image("graphics/balls/bonus_signs.png", core.sheet(signs, 5))
    _shared["sparkle"] = spr.image("graphics/balls/ball_sparkle.png", core.sheet(sparkle_frames(), 4))
    return _shared


def write_ball_prototype(rel, body_img, halo_img, z=BALL_Z):
    sh = shared_images()
    groups = [
        [spr.part(halo_img, 48, 48, 64, x=-7, y=-7, z=0, alpha_mode=1)],
        [spr.part(body_img, BALL, BALL, 64, z=1, anim_speed=spr.anim_speed(18))],
        [spr.part(sh["signs"], BALL, BALL, 64, z=2)],
        [spr.part(sh["sparkle"], BALL, BALL, 64, z=3, anim_speed=spr.anim_speed(12))],
    ]
    return spr.write(rel, groups, z=z, width=BALL, height=BALL, rot_center_x=17, rot_center_y=17)


def make_colour_balls():
    made = {}
    for n in range(1, 8):
        rgb = BALL_RGB[n]
        folder = "graphics/balls/ball%d" % n
        body = spr.image("%s/ball%d_body.png" % (folder, n), core.sheet(ball_frames(rgb, n - 1), 4))
        halo = spr.image("%s/ball%d_aura.png" % (folder, n), halo_image(rgb))
        main = write_ball_prototype("%s/ball%d.spr" % (folder, n), body, halo)
        # the same prototype under the names the particles and the bonus column ask for
        spr.alias("graphics/balls/ball%d.spr" % n, main)
        spr.alias("graphics/balls/ball0/ball%d.spr" % n, main)
        made[n] = main
    pearl = (0.86, 0.88, 0.94)
    body = spr.image("graphics/balls/ball0/ball0_body.png", core.sheet(ball_frames(pearl, None), 4))
    halo = spr.image("graphics/balls/ball0/ball0_aura.png", halo_image((0.8, 0.85, 1.0)))
    made[0] = write_ball_prototype("graphics/balls/ball0/ball0.spr", body, halo, z=110)
    return made


# ---------------------------------------------------------------- bombs

def _fuse_spark_frames(size=18, n=8, hot=(1.0, 0.75, 0.25), seed=7):
    rng = np.random.default_rng(seed)
    out = []
    c = size / 2.0
    for i in range(n):
        f = core.blank(size, size)
        core.add(f, core.glow_dot(size, hot, core=0.25, falloff=1.6), opacity=0.55 + 0.3 * rng.random())
        for k in range(5):
            a = rng.random() * 2 * math.pi
            r = 2 + rng.random() * (size / 2.0 - 3)
            core.add(f, shapes.sparkle(size, c + math.cos(a) * r, c + math.sin(a) * r, 1.5 + rng.random() * 2.0,
                                       rgb=(1, 0.9, 0.5), thickness=0.6), opacity=0.9)
        core.add(f, shapes.sparkle(size, c, c, 4 + 2 * rng.random(), rgb=(1, 1, 0.8), thickness=0.8))
        out.append(f)
    return out


def _bomb_body(rgb, size=BALL, cx=17.0, cy=18.5, r=14.8):
    img = core.blank(size, size)
    ball = shapes.sphere(32, rgb, radius=r, spec_power=50)
    core.over(img, ball, int(cx - 16), int(cy - 16))
    return img


def _fuse_cap(ctx, x, y, ang=-0.75):
    ctx.save()
    ctx.translate(x, y)
    ctx.rotate(ang)
    core.rounded_rect(ctx, -4.5, -4, 9, 6, 1.5)
    ctx.set_source(core.linear(-4.5, 0, 4.5, 0, [(0, 0.55, 0.42, 0.15, 1), (0.4, 1, 0.88, 0.5, 1),
                                                  (1, 0.45, 0.32, 0.1, 1)]))
    ctx.fill_preserve()
    ctx.set_source_rgba(0.15, 0.1, 0.02, 0.9)
    ctx.set_line_width(0.8)
    ctx.stroke()
    ctx.move_to(0, -4)
    ctx.curve_to(1, -7, 3.5, -7.5, 4, -10.5)
    ctx.set_source_rgba(0.35, 0.25, 0.15, 1)
    ctx.set_line_width(1.6)
    ctx.stroke()
    ctx.restore()


def make_bombs():
    # colour bomb: layer 2 is a light body the game tints with the bomb's colour
    shell = core.blank(BALL, BALL)
    ring = shapes.halo(BALL, (0.1, 0.1, 0.15), inner=0.86, strength=0.55)
    ring[..., :3] = 0
    core.over(shell, ring)
    body = _bomb_body((0.93, 0.93, 0.95))
    band = core.draw(BALL, BALL, lambda c: (
        c.arc(17, 18.5, 14.8, 0, 2 * math.pi), c.clip(),
        c.set_source_rgba(1, 1, 1, 0.55),
        c.set_line_width(2.2),
        [(c.arc(17, 18.5, rr, 0.15 * math.pi, 0.85 * math.pi), c.stroke()) for rr in (6.5, 10.5)]), scale=4)
    core.over(body, band)
    front = core.blank(BALL, BALL)
    cap = core.draw(BALL, BALL, lambda c: _fuse_cap(c, 25.5, 7.5), scale=4)
    core.over(front, core.with_shadow(cap, 1, 1, 0.8, 0.5))
    core.add(front, shapes.sparkle(BALL, 11, 11, 4, thickness=0.8), opacity=0.8)
    spark = core.sheet(_fuse_spark_frames(seed=11), 4)

    f = "graphics/balls/bomb"
    i_shell = spr.image(f + "/bomb1_shell.png", shell)
    i_body = spr.image(f + "/bomb1_body.png", body)
    i_front = spr.image(f + "/bomb1_cap.png", front)
    i_spark = spr.image(f + "/bomb1_spark.png", spark)
    spr.write(f + "/bomb1.spr", [
        [spr.part(i_shell, 0, 0, 64, z=0)],
        [spr.part(i_body, 0, 0, 64, z=1)],
        [spr.part(i_front, 0, 0, 64, z=2)],
        [spr.part(i_spark, 18, 18, 32, x=21, y=-6, z=3, anim_speed=spr.anim_speed(20), alpha_mode=1)],
    ], z=BALL_Z, width=BALL, height=BALL, rot_center_x=17, rot_center_y=17)

    # big bomb: black, riveted, with a burning fuse
    f = "graphics/balls/big_bomb"
    shell2 = core.blank(BALL, BALL)
    glow = shapes.halo(BALL, (1.0, 0.45, 0.1), inner=0.9, strength=0.6)
    core.over(shell2, glow)
    body2 = _bomb_body((0.16, 0.17, 0.22))

    def rivets(c):
        c.arc(17, 18.5, 14.8, 0, 2 * math.pi)
        c.clip()
        for k in range(7):
            a = math.pi * (0.15 + 0.7 * k / 6.0)
            c.arc(17 + 12.2 * math.cos(a), 18.5 + 12.2 * math.sin(a), 0.9, 0, 2 * math.pi)
            c.set_source_rgba(0.75, 0.6, 0.35, 0.9)
            c.fill()
        core.star_path(c, 17, 20, 5.2, 2.3, 5)
        c.set_source_rgba(1.0, 0.6, 0.15, 0.95)
        c.fill()
    core.over(body2, core.draw(BALL, BALL, rivets, scale=4))
    core.over(body2, core.draw(BALL, BALL, lambda c: _fuse_cap(c, 25.5, 7.5), scale=4))
    front2 = core.blank(BALL, BALL)
    core.add(front2, shapes.sparkle(BALL, 11, 12, 3.5, thickness=0.8), opacity=0.7)
    spark2 = core.sheet(_fuse_spark_frames(22, 10, (1.0, 0.55, 0.15), seed=23), 5)
    i_shell2 = spr.image(f + "/bomb2_glow.png", shell2)
    i_body2 = spr.image(f + "/bomb2_body.png", body2)
    i_front2 = spr.image(f + "/bomb2_gloss.png", front2)
    i_spark2 = spr.image(f + "/bomb2_fire.png", spark2)
    spr.write(f + "/bomb2.spr", [
        [spr.part(i_shell2, 0, 0, 64, z=0, alpha_mode=1)],
        [spr.part(i_body2, 0, 0, 64, z=1)],
        [spr.part(i_front2, 0, 0, 64, z=2)],
        [spr.part(i_spark2, 22, 22, 32, x=19, y=-9, z=3, anim_speed=spr.anim_speed(24), alpha_mode=1)],
    ], z=BALL_Z, width=BALL, height=BALL, rot_center_x=17, rot_center_y=17)
    return i_body, i_body2


# ---------------------------------------------------------------- multiball

def multiball_frames(n=16):
    size, ss = BALL, 4
    out = []
    hues = [BALL_RGB[k] for k in (4, 2, 3, 7, 1, 5)]
    base_mask = shapes.sphere_mask(size)
    shade = shapes.sphere(size, (1, 1, 1), gloss=0.0, bounce=0.0, rim_dark=0.55)
    gloss = shapes.sphere(size, (0, 0, 0), gloss=1.0, bounce=0.0, rim_dark=0.0)
    for i in range(n):
        rot = 2 * math.pi * i / n / 3.0  # six-fold pattern: a third turn loops

        def swirl(ctx):
            ctx.translate(17, 17)
            ctx.rotate(rot)
            for k, c in enumerate(hues):
                a0 = k * math.pi / 3
                ctx.move_to(0, 0)
                for s in range(0, 21):
                    t = s / 20.0
                    r = 18 * t
                    a = a0 + 1.4 * t
                    ctx.line_to(r * math.cos(a), r * math.sin(a))
                for s in range(20, -1, -1):
                    t = s / 20.0
                    r = 18 * t
                    a = a0 + math.pi / 3 + 1.4 * t
                    ctx.line_to(r * math.cos(a), r * math.sin(a))
                ctx.close_path()
                ctx.set_source_rgba(*c, 1)
                ctx.fill()
        col = core.draw(size, size, swirl, scale=ss)
        f = core.blank(size, size)
        rgb = col[..., :3] * shade[..., :3] * 1.25 + 0.05
        f[..., :3] = np.clip(rgb, 0, 1) * base_mask[..., None]
        f[..., 3] = base_mask
        # gloss of a dark sphere: subtract its dark base, keep its highlights
        hl = np.clip(gloss[..., :3].max(axis=2) - 0.05, 0, 1)
        f[..., :3] = f[..., :3] + (base_mask[..., None] - f[..., :3]) * hl[..., None] * 0.9
        out.append(f)
    return out


def make_multiball():
    f = "graphics/balls/multiball"
    body = spr.image(f + "/multiball_body.png", core.sheet(multiball_frames(), 4))
    aura = spr.image(f + "/multiball_aura.png", shapes.halo(48, (1.0, 0.95, 0.8), inner=0.68, strength=0.85))
    sh = shared_images()
    spr.write(f + "/multiball.spr", [
        [spr.part(aura, 48, 48, 64, x=-7, y=-7, z=0, alpha_mode=1)],
        [spr.part(body, BALL, BALL, 64, z=1, anim_speed=spr.anim_speed(14))],
        [spr.part(sh["sparkle"], BALL, BALL, 64, z=3, anim_speed=spr.anim_speed(12))],
    ], z=BALL_Z, width=BALL, height=BALL, rot_center_x=17, rot_center_y=17)
    return body


# ---------------------------------------------------------------- land block and crystal

def land_image(seed=5):
    size, ss = BALL, 4
    rng = np.random.default_rng(seed)
    n = size * ss
    # a rough rock: sphere normals perturbed by noise, in warm stone colours
    yy, xx = np.mgrid[0:n, 0:n].astype(np.float32)
    xx = (xx + 0.5) / ss - 17
    yy = (yy + 0.5) / ss - 17
    ang = np.arctan2(yy, xx)
    rad = 15.8 + 0.9 * np.sin(ang * 5 + 0.7) + 0.5 * np.sin(ang * 9 + 2.0)
    dist = np.sqrt(xx * xx + yy * yy) / rad
    edge = np.clip((1 - dist) * rad * ss, 0, 1)
    nz = np.sqrt(np.clip(1 - dist ** 2, 0, 1))
    nx, ny = xx / rad, yy / rad
    bump = core.noise(n, n, rng, octaves=4, base=3)
    gy, gx = np.gradient(bump)
    nx = nx + gx * 18
    ny = ny + gy * 18
    norm = np.sqrt(nx * nx + ny * ny + nz * nz) + 1e-6
    diff = np.clip((nx * shapes.LIGHT[0] + ny * shapes.LIGHT[1] + nz * shapes.LIGHT[2]) / norm, 0, 1)
    stone = np.array([0.55, 0.47, 0.40], np.float32)
    moss = np.array([0.36, 0.47, 0.30], np.float32)
    m = np.clip((bump - 0.55) * 4, 0, 1)[..., None] * np.clip(-ny / norm, 0, 1)[..., None]
    col = stone * (1 - m) + moss * m
    col = col * (0.25 + 0.95 * diff[..., None])
    crack = np.abs(bump - 0.5) < 0.012
    col[crack] *= 0.55
    out = np.zeros((n, n, 4), np.float32)
    out[..., :3] = np.clip(col, 0, 1) * edge[..., None]
    out[..., 3] = edge
    img = core.downsample(out, size, size)
    core.add(img, shapes.sparkle(size, 10, 10, 2.5, thickness=0.7), opacity=0.35)
    return img


def make_land():
    f = "graphics/balls/lands"
    img = spr.image(f + "/land1.png", land_image())
    spr.write(f + "/land1.spr", [[spr.part(img, 0, 0, 64, z=0)]], z=BALL_Z, width=BALL, height=BALL)


def gem_image(size=BALL, ss=4):
    """A violet-cyan cut gem inside a clear bubble."""
    def bubble(ctx):
        ctx.arc(17, 17, 16.3, 0, 2 * math.pi)
        ctx.set_source(core.radial(13, 11, 2, 17, 17, 16.5, [
            (0, 0.75, 0.9, 1, 0.25), (0.75, 0.4, 0.55, 0.9, 0.18), (1, 0.75, 0.88, 1, 0.75)]))
        ctx.fill()
        ctx.arc(17, 17, 15.8, 0, 2 * math.pi)
        ctx.set_source_rgba(0.85, 0.95, 1, 0.55)
        ctx.set_line_width(0.9)
        ctx.stroke()

    def gem(ctx):
        cx, cy = 17, 18
        top = [(cx - 9, cy - 3), (cx - 5, cy - 9), (cx + 5, cy - 9), (cx + 9, cy - 3)]
        tip = (cx, cy + 10)
        facets = [
            ([top[0], top[1], (cx - 2.5, cy - 3)], (0.78, 0.62, 1.0)),
            ([top[1], top[2], (cx + 2.5, cy - 3), (cx - 2.5, cy - 3)], (0.92, 0.86, 1.0)),
            ([top[2], top[3], (cx + 2.5, cy - 3)], (0.55, 0.45, 0.95)),
            ([top[0], (cx - 2.5, cy - 3), tip], (0.55, 0.35, 0.95)),
            ([(cx - 2.5, cy - 3), (cx + 2.5, cy - 3), tip], (0.45, 0.75, 1.0)),
            ([(cx + 2.5, cy - 3), top[3], tip], (0.3, 0.22, 0.7)),
        ]
        for pts, c in facets:
            ctx.move_to(*pts[0])
            for p in pts[1:]:
                ctx.line_to(*p)
            ctx.close_path()
            ctx.set_source_rgba(*c, 1)
            ctx.fill_preserve()
            ctx.set_source_rgba(0.95, 0.95, 1, 0.55)
            ctx.set_line_width(0.45)
            ctx.stroke()
        ctx.move_to(*top[0])
        for p in top[1:]:
            ctx.line_to(*p)
        ctx.line_to(*tip)
        ctx.close_path()
        ctx.set_source_rgba(0.12, 0.05, 0.3, 0.9)
        ctx.set_line_width(0.9)
        ctx.stroke()
    img = core.draw(size, size, bubble, scale=ss)
    g = core.draw(size, size, gem, scale=ss)
    core.over(img, core.shadow(g, 1, 1.5, 1.2, 0.45))
    core.over(img, g)
    gl = core.draw(size, size, lambda c: (
        c.save(), c.translate(11, 9), c.rotate(-0.6), c.scale(6, 3),
        c.arc(0, 0, 1, 0, 2 * math.pi), c.restore(),
        c.set_source(core.radial(11, 9, 0, 11, 9, 6, [(0, 1, 1, 1, 0.85), (1, 1, 1, 1, 0)])), c.fill()), scale=ss)
    core.over(img, gl)
    return img


def crystal_sparkles(n=12):
    out = []
    for i in range(n):
        f = core.blank(BALL, BALL)
        for (x, y, ph) in ((13.0, 11.0, 0), (22.0, 20.0, 5), (17.0, 25.0, 9)):
            k = ((i + ph) % n) / float(n)
            if k < 0.4:
                s = math.sin(math.pi * k / 0.4)
                core.add(f, shapes.sparkle(BALL, x, y, 2 + 4 * s, rgb=(0.8, 0.9, 1), thickness=0.7), opacity=s)
        out.append(f)
    return out


def make_crystals():
    f = "graphics/balls/crystals"
    body = spr.image(f + "/crystal1_gem.png", gem_image())
    sp = spr.image(f + "/crystal1_sparkle.png", core.sheet(crystal_sparkles(), 4))
    main = spr.write(f + "/crystal1.spr", [
        [spr.part(body, 0, 0, 64, z=0)],
        [spr.part(sp, BALL, BALL, 64, z=1, anim_speed=spr.anim_speed(12), alpha_mode=1)],
    ], z=BALL_Z, width=BALL, height=BALL)
    # the counter beside the field asks for the same prototype name
    spr.alias("graphics/crystals/crystal1.spr", main)


# ---------------------------------------------------------------- next-ball indicator

def next_ball_frames(size=30):
    out = []
    for n in range(1, 8):
        out.append(core.resize(ball_frames(BALL_RGB[n], n - 1, frames=1)[0], size, size))
    cb = shapes.sphere(BALL, (0.95, 0.95, 0.97))
    sign = render_sign(symbols.sign_colour_bomb, half=10.5)
    core.over(cb, sign)
    out.append(core.resize(cb, size, size))
    bb = _bomb_body((0.16, 0.17, 0.22))
    core.over(bb, core.draw(BALL, BALL, lambda c: _fuse_cap(c, 25.5, 7.5), scale=4))
    out.append(core.resize(bb, size, size))
    out.append(core.resize(multiball_frames(1)[0], size, size))
    return out


def make_next_ball():
    frames = [core.with_shadow(core.pad(f, 1, 1, 1, 1), 1, 1, 1.0, 0.5) for f in next_ball_frames()]
    img = spr.image("graphics/elements_gamezone/next_ball.png", core.sheet(frames, 5))
    spr.write("graphics/elements_gamezone/next_ball.spr", [[spr.part(img, 32, 32, 32, z=0)]], z=205)


def make_all():
    make_colour_balls()
    make_bombs()
    make_multiball()
    make_land()
    make_crystals()
    make_next_ball()
