"""Panel materials: bevelled metal-glass plates, recesses, glowing rims."""
import math

import numpy as np

from . import core, shapes

PANEL_TOP = (0.16, 0.18, 0.38)
PANEL_BOTTOM = (0.08, 0.09, 0.22)
RIM = (0.55, 0.68, 1.0)
GLOW = (0.25, 0.85, 1.0)
GOLD = (0.98, 0.78, 0.32)


def mask_of(w, h, fn, ss=2):
    """Coverage of whatever fn(ctx) fills."""
    def paint(ctx):
        ctx.set_source_rgba(1, 1, 1, 1)
        fn(ctx)
    return core.draw(w, h, paint, scale=ss)[..., 3]


def shade(mask, radius=3.0, strength=1.0):
    """Lambert shading of the relief a blurred mask makes (light from the top left)."""
    img = np.zeros(mask.shape + (4,), np.float32)
    img[..., 3] = mask
    hgt = core.blur(img, radius)[..., 3]
    gy, gx = np.gradient(hgt)
    k = 2.2 * radius * strength
    nx, ny, nz = -gx * k, -gy * k, np.ones_like(gx)
    norm = np.sqrt(nx * nx + ny * ny + nz * nz)
    lam = (nx * shapes.LIGHT[0] + ny * shapes.LIGHT[1] + nz * shapes.LIGHT[2]) / norm
    flat = shapes.LIGHT[2]
    return lam - flat  # 0 on flat parts, + on lit slopes, - on shaded ones


def plate(mask, seed, top=PANEL_TOP, bottom=PANEL_BOTTOM, bevel=3.0, grain=0.05, gloss=0.22):
    """A bevelled plate filling mask: vertical gradient, faint brushed grain, lit edges."""
    h, w = mask.shape
    rng = np.random.default_rng(seed)
    t = np.linspace(0, 1, h, dtype=np.float32)[:, None]
    col = np.array(top, np.float32) * (1 - t[..., None]) + np.array(bottom, np.float32) * t[..., None]
    col = np.broadcast_to(col, (h, w, 3)).copy()
    if grain:
        n = core.noise(w, h, rng, octaves=3, base=max(2, w // 64))
        streak = np.repeat(rng.random((h, 1)).astype(np.float32), w, axis=1)
        col *= (1 + grain * (n - 0.5) * 2 + grain * 0.6 * (streak - 0.5))[..., None]
    s = shade(mask, bevel)
    col = col * (1 + 1.4 * s)[..., None] + np.clip(s, 0, 1)[..., None] * 0.9
    # a glassy sheen over the upper part of every plate
    col += gloss * np.clip(1 - t * 2.2, 0, 1)[..., None] * 0.35
    img = np.zeros((h, w, 4), np.float32)
    img[..., :3] = np.clip(col, 0, 1) * mask[..., None]
    img[..., 3] = mask
    return img


def recess(img, mask, depth=3.0, floor=(0.02, 0.03, 0.08), alpha=1.0):
    """Sinks the area of mask into img: a dark floor with shaded walls."""
    s = shade(1 - mask, depth)  # the inverted relief lights the far wall
    col = np.array(floor, np.float32)[None, None, :] * (1 + 2.5 * s[..., None]) + np.clip(s, 0, 1)[..., None] * 0.5
    layer = np.zeros_like(img)
    layer[..., :3] = np.clip(col, 0, 1) * (mask * alpha)[..., None]
    layer[..., 3] = mask * alpha
    # the inner shadow under the top-left lip
    sh = np.zeros_like(mask)
    sh[2:, 2:] = mask[:-2, :-2]
    inner = np.clip(mask - sh, 0, 1)
    layer[..., :3] *= (1 - 0.6 * inner)[..., None]
    core.over(img, layer)
    return img


def glow_line(w, h, fn, rgb=GLOW, width=1.6, blur=3.0, strength=1.0, ss=2):
    """A stroked path with a soft light around it, premultiplied."""
    def paint(ctx):
        ctx.set_source_rgba(1, 1, 1, 1)
        ctx.set_line_width(width)
        ctx.set_line_cap(1)
        ctx.set_line_join(1)
        fn(ctx)
        ctx.stroke()
    m = core.draw(w, h, paint, scale=ss)[..., 3]
    core_ = core.tint_mask(m, core.lighten(rgb, 0.55), strength)
    halo = core.blur(core.tint_mask(m, rgb, strength), blur)
    out = core.blank(w, h)
    core.add(out, halo, opacity=1.6)
    core.add(out, core_)
    return out


def stroke_mask(w, h, fn, width, ss=2):
    def paint(ctx):
        ctx.set_source_rgba(1, 1, 1, 1)
        ctx.set_line_width(width)
        ctx.set_line_join(1)
        fn(ctx)
        ctx.stroke()
    return core.draw(w, h, paint, scale=ss)[..., 3]


def metal_rim(w, h, fn, width=4.0, seed=3, rgb=RIM):
    """A raised metal tube along a path."""
    m = stroke_mask(w, h, fn, width)
    img = plate(m, seed, top=core.mix(rgb, (0.2, 0.22, 0.35), 0.35), bottom=core.mix(rgb, (0.05, 0.06, 0.12), 0.65),
                bevel=width * 0.45, grain=0.0, gloss=0.4)
    return img


def label(text, size, rgb=(0.75, 0.85, 1.0), font="DejaVuSans-Bold.ttf", spacing=1.5, glow=None):
    """A small engraved caption."""
    from PIL import Image, ImageDraw, ImageFont
    ss = 3
    f = ImageFont.truetype("/usr/share/fonts/truetype/dejavu/" + font, size * ss)
    widths = [f.getlength(ch) for ch in text]
    total = sum(widths) + spacing * ss * (len(text) - 1)
    asc, desc = f.getmetrics()
    W = int(math.ceil(total / ss)) + 6
    H = int(math.ceil((asc + desc) / ss)) + 6
    m = Image.new("L", (W * ss, H * ss), 0)
    d = ImageDraw.Draw(m)
    x = 3 * ss
    for ch, wd in zip(text, widths):
        d.text((x, 3 * ss), ch, font=f, fill=255)
        x += wd + spacing * ss
    mask = np.asarray(m, np.float32) / 255.0
    img = np.zeros(mask.shape + (4,), np.float32)
    if glow:
        core.add(img, core.blur(core.tint_mask(mask, glow, 0.8), 2.5 * ss))
    core.over(img, core.shadow(core.tint_mask(mask, (0, 0, 0)), ss, ss, ss * 0.6, 0.8))
    grad = np.linspace(1.0, 0.78, mask.shape[0], dtype=np.float32)[:, None]
    fill = np.zeros_like(img)
    for c in range(3):
        fill[..., c] = mask * rgb[c] * grad
    fill[..., 3] = mask
    core.over(img, fill)
    return core.downsample(img, W, H)
