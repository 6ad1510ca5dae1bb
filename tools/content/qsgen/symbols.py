"""Vector symbols: the ten bonus signs and the seven colour marks.

Every path function draws into a box from -1 to 1 around the origin; callers
scale and place it.
"""
import math

from . import core


# ---------------------------------------------------------------- colour marks
# One silhouette per ball colour so that colours stay apart for colour-blind
# players: ring, star, triangle, heart, diamond, cross, hexagon.

def mark_ring(ctx):
    ctx.arc(0, 0, 0.78, 0, 2 * math.pi)
    ctx.new_sub_path()
    ctx.arc_negative(0, 0, 0.42, 2 * math.pi, 0)


def mark_star(ctx):
    core.star_path(ctx, 0, 0.06, 1.0, 0.45, 5)


def mark_triangle(ctx):
    ctx.move_to(0, -0.9)
    ctx.line_to(0.92, 0.72)
    ctx.line_to(-0.92, 0.72)
    ctx.close_path()


def mark_heart(ctx):
    ctx.move_to(0, 0.9)
    ctx.curve_to(-0.35, 0.55, -1.0, 0.15, -0.95, -0.3)
    ctx.curve_to(-0.9, -0.85, -0.2, -0.95, 0, -0.45)
    ctx.curve_to(0.2, -0.95, 0.9, -0.85, 0.95, -0.3)
    ctx.curve_to(1.0, 0.15, 0.35, 0.55, 0, 0.9)
    ctx.close_path()


def mark_diamond(ctx):
    ctx.move_to(0, -1.0)
    ctx.line_to(0.78, 0)
    ctx.line_to(0, 1.0)
    ctx.line_to(-0.78, 0)
    ctx.close_path()


def mark_cross(ctx):
    w = 0.32
    for (x, y, ww, hh) in ((-w, -0.92, 2 * w, 1.84), (-0.92, -w, 1.84, 2 * w)):
        ctx.rectangle(x, y, ww, hh)


def mark_hexagon(ctx):
    for i in range(6):
        a = math.pi / 6 + i * math.pi / 3
        (ctx.move_to if i == 0 else ctx.line_to)(0.92 * math.cos(a), 0.92 * math.sin(a))
    ctx.close_path()


COLOUR_MARKS = [mark_ring, mark_star, mark_triangle, mark_heart, mark_diamond, mark_cross, mark_hexagon]


# ---------------------------------------------------------------- bonus signs
# Frames 0..9 of a ball's third layer: bonus type - 1.

def sign_multiball(ctx, fill):
    cols = [(0.95, 0.25, 0.25), (0.25, 0.55, 1.0), (1.0, 0.85, 0.2)]
    pos = [(-0.42, 0.32), (0.42, 0.32), (0, -0.4)]
    for (x, y), c in zip(pos, cols):
        ctx.arc(x, y, 0.44, 0, 2 * math.pi)
        ctx.close_path()
        fill(c)


def sign_target(ctx, fill):
    ctx.set_fill_rule(0)
    ctx.arc(0, 0, 0.86, 0, 2 * math.pi)
    ctx.new_sub_path()
    ctx.arc_negative(0, 0, 0.6, 2 * math.pi, 0)
    ctx.new_sub_path()
    ctx.arc(0, 0, 0.2, 0, 2 * math.pi)
    for (x, y, w, h) in ((-0.09, -1.0, 0.18, 0.52), (-0.09, 0.48, 0.18, 0.52),
                         (-1.0, -0.09, 0.52, 0.18), (0.48, -0.09, 0.52, 0.18)):
        ctx.rectangle(x, y, w, h)
    fill(None)


def _text_sign(label):
    def f(ctx, fill):
        # a bold "x" and digit built from strokes: crisp at any size
        ctx.save()
        ctx.set_line_cap(1)
        ctx.set_line_join(1)
        ctx.set_line_width(0.26)
        ctx.move_to(-0.92, -0.3)
        ctx.line_to(-0.28, 0.5)
        ctx.move_to(-0.28, -0.3)
        ctx.line_to(-0.92, 0.5)
        if label == "2":
            ctx.move_to(0.1, -0.45)
            ctx.curve_to(0.2, -0.85, 0.9, -0.85, 0.9, -0.42)
            ctx.curve_to(0.9, -0.1, 0.5, 0.1, 0.1, 0.55)
            ctx.line_to(0.95, 0.55)
        else:
            ctx.move_to(0.72, 0.7)
            ctx.line_to(0.72, -0.75)
            ctx.line_to(0.05, 0.25)
            ctx.line_to(1.0, 0.25)
        path = ctx.copy_path()
        ctx.restore()
        ctx.new_path()
        ctx.append_path(path)
        fill(None, stroke=0.26)
    return f


def sign_freeze(ctx, fill):
    ctx.set_line_cap(1)
    for i in range(3):
        a = i * math.pi / 3
        ca, sa = math.cos(a), math.sin(a)
        ctx.move_to(-ca * 0.95, -sa * 0.95)
        ctx.line_to(ca * 0.95, sa * 0.95)
        for s in (-1, 1):
            bx, by = ca * 0.55 * s, sa * 0.55 * s
            for t in (-1, 1):
                b = a + t * math.pi / 4 + (0 if s > 0 else math.pi)
                ctx.move_to(bx, by)
                ctx.line_to(bx + math.cos(b) * 0.32, by + math.sin(b) * 0.32)
    fill(None, stroke=0.17)


def sign_small_bomb(ctx, fill):
    ctx.arc(-0.1, 0.2, 0.62, 0, 2 * math.pi)
    ctx.close_path()
    fill((0.25, 0.25, 0.3))
    ctx.rectangle(0.12, -0.62, 0.34, 0.3)
    fill((0.4, 0.4, 0.45))
    core.star_path(ctx, 0.55, -0.72, 0.36, 0.14, 6)
    fill((1.0, 0.75, 0.2))


def sign_net_expand(ctx, fill):
    ctx.move_to(-1.0, 0)
    ctx.line_to(-0.45, -0.5)
    ctx.line_to(-0.45, -0.18)
    ctx.line_to(0.45, -0.18)
    ctx.line_to(0.45, -0.5)
    ctx.line_to(1.0, 0)
    ctx.line_to(0.45, 0.5)
    ctx.line_to(0.45, 0.18)
    ctx.line_to(-0.45, 0.18)
    ctx.line_to(-0.45, 0.5)
    ctx.close_path()
    fill(None)


def sign_up(ctx, fill):
    ctx.move_to(0, -1.0)
    ctx.line_to(0.8, -0.12)
    ctx.line_to(0.3, -0.12)
    ctx.line_to(0.3, 0.92)
    ctx.line_to(-0.3, 0.92)
    ctx.line_to(-0.3, -0.12)
    ctx.line_to(-0.8, -0.12)
    ctx.close_path()
    fill(None)


def sign_rocket(ctx, fill):
    ctx.save()
    ctx.rotate(math.pi / 4)
    ctx.move_to(0, -1.05)
    ctx.curve_to(0.38, -0.7, 0.36, 0.2, 0.3, 0.55)
    ctx.line_to(-0.3, 0.55)
    ctx.curve_to(-0.36, 0.2, -0.38, -0.7, 0, -1.05)
    ctx.close_path()
    p = ctx.copy_path()
    ctx.restore()
    ctx.new_path()
    ctx.append_path(p)
    fill(None)
    ctx.save()
    ctx.rotate(math.pi / 4)
    ctx.move_to(-0.3, 0.15)
    ctx.line_to(-0.62, 0.7)
    ctx.line_to(-0.3, 0.55)
    ctx.close_path()
    ctx.move_to(0.3, 0.15)
    ctx.line_to(0.62, 0.7)
    ctx.line_to(0.3, 0.55)
    ctx.close_path()
    p = ctx.copy_path()
    ctx.restore()
    ctx.new_path()
    ctx.append_path(p)
    fill((1.0, 0.45, 0.3))
    ctx.save()
    ctx.rotate(math.pi / 4)
    ctx.move_to(-0.18, 0.62)
    ctx.line_to(0, 1.05)
    ctx.line_to(0.18, 0.62)
    ctx.close_path()
    p = ctx.copy_path()
    ctx.restore()
    ctx.new_path()
    ctx.append_path(p)
    fill((1.0, 0.8, 0.2))


def sign_colour_bomb(ctx, fill):
    cols = [(1, 0.2, 0.2), (1, 0.85, 0.1), (0.2, 0.85, 0.3), (0.2, 0.5, 1), (0.85, 0.3, 0.95)]
    for i, c in enumerate(cols):
        a0 = -math.pi / 2 + i * 2 * math.pi / 5
        ctx.move_to(0, 0)
        ctx.arc(0, 0, 0.92, a0, a0 + 2 * math.pi / 5)
        ctx.close_path()
        fill(c, outline=False)
    ctx.arc(0, 0, 0.92, 0, 2 * math.pi)
    fill(None, stroke=0.1, only_outline=True)
    ctx.arc(0, 0, 0.3, 0, 2 * math.pi)
    fill((1, 1, 1))


BONUS_SIGNS = [sign_multiball, sign_target, _text_sign("2"), _text_sign("4"), sign_freeze,
               sign_small_bomb, sign_net_expand, sign_up, sign_rocket, sign_colour_bomb]
