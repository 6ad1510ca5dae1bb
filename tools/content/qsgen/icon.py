"""The application icon: one of the game's glossy blue balls carrying a gold star, for the
desktop's menu, task bar and software centre, and for the window itself.

One vector drawing makes every size: the scalable SVG and the PNGs of the hicolor theme
(graphics/icon/quibblestar-N.png), plus the window's own icon as a 32-bit BMP with alpha
(SDL reads BMP without an image library). Light comes from the top left, as everywhere in
the game. Small sizes leave out the twinkle and draw the star larger
with a thicker outline, so that it still reads at 16 px.
"""
import math
import os
import struct

import cairo

from . import balls, core

FOLDER = "graphics/icon"
SIZES = [16, 24, 32, 48, 64, 128, 256, 512]
WINDOW_ICON_SIZE = 64
UNITS = 512.0  # the drawing's own square

BLUE = balls.BALL_RGB[1]
STAR_TOP = (1.0, 0.90, 0.40)
STAR_BOTTOM = (0.96, 0.56, 0.04)
STAR_EDGE = (0.22, 0.10, 0.02)
NAVY = (0.02, 0.05, 0.20)


def _ball(ctx, cx, cy, r, detailed):
    # body: lit from the top left, darkening to its rim
    ctx.arc(cx, cy, r, 0, 2 * math.pi)
    ctx.set_source(core.radial(cx - 0.35 * r, cy - 0.40 * r, 0, cx, cy, r, [
        (0.0, *core.lighten(BLUE, 0.55), 1),
        (0.45, *BLUE, 1),
        (0.85, *core.darken(BLUE, 0.40), 1),
        (1.0, *core.darken(BLUE, 0.62), 1)]))
    ctx.fill()
    # light bounced up from below right keeps the dark side colourful
    ctx.save()
    ctx.arc(cx, cy, r, 0, 2 * math.pi)
    ctx.clip()
    bright = tuple(min(1.0, c * 1.25 + 0.12) for c in BLUE)
    ctx.arc(cx, cy, r, 0, 2 * math.pi)
    ctx.set_source(core.radial(cx + 0.55 * r, cy + 0.62 * r, 0, cx + 0.55 * r, cy + 0.62 * r, 0.75 * r, [
        (0.0, *bright, 0.55), (1.0, *bright, 0.0)]))
    ctx.fill()
    ctx.restore()
    # the dark edge that parts the ball from a light background
    ctx.arc(cx, cy, r - 0.012 * r, 0, 2 * math.pi)
    ctx.set_source_rgba(*NAVY, 0.75)
    ctx.set_line_width(0.025 * r if detailed else 0.06 * r)
    ctx.stroke()


def _gloss(ctx, cx, cy, r, detailed):
    # the reflected window: a soft bright cap at the top left
    ctx.save()
    ctx.translate(cx - 0.26 * r, cy - 0.50 * r)
    ctx.rotate(-0.45)
    ctx.scale(0.56 * r, 0.34 * r)
    ctx.arc(0, 0, 1, 0, 2 * math.pi)
    ctx.restore()
    ctx.set_source(core.linear(0, cy - 0.90 * r, 0, cy - 0.10 * r, [
        (0.0, 1, 1, 1, 0.80), (1.0, 1, 1, 1, 0.0)]))
    ctx.fill()
    # the sharp specular point
    sx, sy = cx - 0.42 * r, cy - 0.50 * r
    ctx.arc(sx, sy, 0.11 * r, 0, 2 * math.pi)
    ctx.set_source(core.radial(sx, sy, 0, sx, sy, 0.11 * r, [(0.0, 1, 1, 1, 0.95), (1.0, 1, 1, 1, 0.0)]))
    ctx.fill()
    if detailed:
        # a four-pointed twinkle on the shine, as on the game's bonus balls
        tx, ty, arm, waist = cx - 0.50 * r, cy - 0.58 * r, 0.30 * r, 0.045 * r
        ctx.move_to(tx, ty - arm)
        for ax, ay, bx, by in ((waist, -waist, arm, 0), (waist, waist, 0, arm),
                               (-waist, waist, -arm, 0), (-waist, -waist, 0, -arm)):
            ctx.line_to(tx + ax, ty + ay)
            ctx.line_to(tx + bx, ty + by)
        ctx.close_path()
        ctx.set_source_rgba(1, 1, 1, 0.9)
        ctx.fill()


def _star(ctx, cx, cy, r, outline):
    outer, inner = r, 0.46 * r
    # its shadow on the ball
    ctx.save()
    ctx.translate(0.04 * r, 0.07 * r)
    core.star_path(ctx, cx, cy, outer, inner, 5)
    ctx.restore()
    ctx.set_source_rgba(*NAVY, 0.45)
    ctx.fill()
    core.star_path(ctx, cx, cy, outer, inner, 5)
    ctx.set_line_join(cairo.LINE_JOIN_ROUND)
    ctx.set_source_rgba(*STAR_EDGE, 1)
    ctx.set_line_width(outline)
    ctx.stroke_preserve()
    ctx.set_source(core.linear(0, cy - outer, 0, cy + outer, [(0.0, *STAR_TOP, 1), (1.0, *STAR_BOTTOM, 1)]))
    ctx.fill()
    # a lit facet on the upper left of each arm gives the star some relief
    ctx.save()
    core.star_path(ctx, cx, cy, outer, inner, 5)
    ctx.clip()
    ctx.move_to(cx - outer, cy - outer)
    ctx.line_to(cx + 0.55 * outer, cy - outer)
    ctx.line_to(cx - 0.45 * outer, cy + 0.55 * outer)
    ctx.close_path()
    ctx.set_source_rgba(1, 1, 1, 0.28)
    ctx.fill()
    ctx.restore()


def draw_icon(ctx, pixels):
    """The icon in a UNITS square, for an output of `pixels` pixels a side."""
    detailed = pixels >= 48
    cx = cy = UNITS / 2
    r = UNITS / 2 - (8 if detailed else 4)
    _ball(ctx, cx, cy, r, detailed)
    # one output pixel of outline at the least, so the star keeps its edge when small
    outline = max(0.05 * r, 1.1 * UNITS / pixels)
    star_r = 0.58 * r if detailed else 0.66 * r
    _star(ctx, cx, cy + 0.06 * r, star_r, outline)
    _gloss(ctx, cx, cy, r, detailed)


def _raster(pixels):
    def paint(ctx):
        ctx.scale(pixels / UNITS, pixels / UNITS)
        draw_icon(ctx, pixels)
    return core.draw(pixels, pixels, paint, scale=4)


def _write_svg(rel):
    path = os.path.join(core.DATA, rel)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    surf = cairo.SVGSurface(path, UNITS, UNITS)
    surf.set_document_unit(cairo.SVGUnit.PX)
    ctx = cairo.Context(surf)
    draw_icon(ctx, UNITS)
    surf.finish()


def _write_bmp(rel, img):
    """A 32-bit BMP with an alpha mask (BITMAPV4HEADER, BI_BITFIELDS), rows bottom up."""
    rgba = core.to_rgba8(img)
    h, w = rgba.shape[:2]
    pixels = rgba[::-1, :, [2, 1, 0, 3]].tobytes()
    header = struct.pack("<IiiHHIIiiII", 108, w, h, 1, 32, 3, len(pixels), 2835, 2835, 0, 0)
    header += struct.pack("<IIII", 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000)
    header += struct.pack("<I", 0x73524742)  # "sRGB"
    header += bytes(36 + 12)  # endpoints and gamma, unused for sRGB
    path = os.path.join(core.DATA, rel)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(struct.pack("<2sIHHI", b"BM", 14 + len(header) + len(pixels), 0, 0, 14 + len(header)))
        f.write(header)
        f.write(pixels)


def make_all():
    for pixels in SIZES:
        core.write_png("%s/quibblestar-%d.png" % (FOLDER, pixels), _raster(pixels))
    _write_svg(FOLDER + "/quibblestar.svg")
    _write_bmp(FOLDER + "/quibblestar.bmp", _raster(WINDOW_ICON_SIZE))
