"""Bitmap fonts: glyph sheets with outline, gradient and shadow, and their .pos width files.

The glyphs come from DejaVu Sans (Debian's fonts-dejavu-core; Bitstream Vera
licence, see data/fonts-LICENSE.txt).  Fills are light so that the colour a
text asks for tints them; outlines are dark so they stay dark under any tint.
"""
import math
import os

import numpy as np
from PIL import Image, ImageDraw, ImageFont

from . import core, spr

FONT_DIR = "/usr/share/fonts/truetype/dejavu"
PRINTABLE = [chr(c) for c in range(32, 127)]
SS = 3  # glyphs are drawn three times larger and reduced


def _order_digits_first():
    """Digit d is glyph frame d (the score display selects frames by digit value)."""
    digits = [chr(c) for c in range(48, 58)]
    rest = [chr(c) for c in range(32, 127) if not ("0" <= chr(c) <= "9")]
    return digits + rest


def _pos_lines(order, widths, spacing):
    lines = ["; widths of the glyph frames, in frame order; \"#n\" sets the character code",
             ("%.2f" % spacing).rstrip("0").rstrip(".") if spacing % 1 else str(int(spacing))]
    expected = None
    for ch in order:
        code = ord(ch)
        if code != expected:
            lines.append("#%d" % code)
        lines.append(str(widths[ch]))
        expected = code + 1
    return lines


def _gradient(h, stops):
    """Vertical colour ramp (h, 3) from [(t, (r, g, b)), ...]."""
    ys = np.linspace(0, 1, h)
    out = np.zeros((h, 3), np.float32)
    ts = [s[0] for s in stops]
    for c in range(3):
        out[:, c] = np.interp(ys, ts, [s[1][c] for s in stops])
    return out


def make_font(rel_spr, ttf, size, order, fill_stops, outline_px, outline_rgb=(0.03, 0.04, 0.13),
              shadow=(1.0, 1.5, 0.55), spacing=0.0, z=300, extra_width=0, ts=64, glow=None):
    font = ImageFont.truetype(os.path.join(FONT_DIR, ttf), size * SS)
    small = ImageFont.truetype(os.path.join(FONT_DIR, ttf), size)
    ascent, descent = font.getmetrics()
    pad = int(math.ceil(outline_px + 1.5))
    # ink extents over all glyphs decide the frame size
    left_overhang, right_extent = 0, 0
    for ch in order:
        l, t, r, b = font.getbbox(ch, anchor="ls")
        left_overhang = max(left_overhang, -l)
        right_extent = max(right_extent, r)
    origin_x = pad * SS + left_overhang
    fw = int(math.ceil((origin_x + right_extent) / SS + pad + 1))
    fh = int(math.ceil((ascent + descent) / SS + 2 * pad + 1))
    # a glyph frame's left edge sits at the pen: the ink must start at the pen plus the left pad
    base_y = pad * SS + ascent
    grad = _gradient(fh * SS, fill_stops)
    frames, widths = [], {}
    for ch in order:
        m = Image.new("L", (fw * SS, fh * SS), 0)
        ImageDraw.Draw(m).text((origin_x, base_y), ch, font=font, fill=255, anchor="ls")
        mask = np.asarray(m, np.float32) / 255.0
        ol = core.outline(mask, outline_px * SS)
        img = np.zeros((fh * SS, fw * SS, 4), np.float32)
        if glow is not None:
            g = core.blur(core.tint_mask(ol, glow[0], glow[1]), glow[2] * SS)
            core.add(img, g)
        if shadow:
            core.over(img, core.shadow(core.tint_mask(ol, outline_rgb), shadow[0] * SS, shadow[1] * SS,
                                       0.9 * SS, shadow[2]))
        core.over(img, core.tint_mask(ol, outline_rgb))
        fill = np.zeros_like(img)
        fill[..., :3] = grad[:, None, :] * mask[..., None]
        fill[..., 3] = mask
        # a thin light line along the top edges of the strokes
        edge = np.clip(mask - np.roll(mask, SS, axis=0), 0, 1) * 0.5
        fill[..., :3] = fill[..., :3] + (mask[..., None] - fill[..., :3]) * edge[..., None]
        core.over(img, fill)
        frames.append(core.downsample(img, fw, fh))
        widths[ch] = int(round(small.getlength(ch))) + extra_width
    rel_png = rel_spr[:-4] + ".png"
    img_rel = spr.image(rel_png, core.sheet(frames, 16))
    spr.write(rel_spr, [[spr.part(img_rel, fw, fh, ts, x=-round(origin_x / float(SS), 2), y=0)]], z=z)
    core.write_text(rel_spr[:-4] + ".pos", _pos_lines(order, widths, spacing))
    return {"frame": (fw, fh), "pad": pad, "widths": widths}


WHITE_CRYSTAL = [(0.0, (1, 1, 1)), (0.45, (0.97, 0.99, 1.0)), (0.62, (0.80, 0.86, 0.95)),
                 (1.0, (0.93, 0.96, 1.0))]
WHITE_GOLDISH = [(0.0, (1, 1, 1)), (0.5, (1.0, 0.99, 0.95)), (0.62, (0.86, 0.86, 0.84)), (1.0, (0.95, 0.95, 0.93))]
WHITE_COOL = [(0.0, (1, 1, 1)), (0.55, (0.96, 0.98, 1.0)), (0.68, (0.78, 0.82, 0.90)), (1.0, (0.90, 0.93, 0.98))]

FONT_INFO = {}


def make_all():
    FONT_INFO["font_crystal1"] = make_font(
        "graphics/fonts/font_crystal1.spr", "DejaVuSansCondensed-Bold.ttf", 18, _order_digits_first(),
        WHITE_CRYSTAL, 1.6, spacing=0, z=310, ts=32)
    FONT_INFO["font_taurus1"] = make_font(
        "graphics/fonts/font_taurus1.spr", "DejaVuSans-Bold.ttf", 24, PRINTABLE,
        WHITE_GOLDISH, 2.2, spacing=-1, z=320)
    FONT_INFO["font_taurus2"] = make_font(
        "graphics/fonts/font_taurus2.spr", "DejaVuSans-BoldOblique.ttf", 22, PRINTABLE,
        WHITE_COOL, 2.0, spacing=-1, z=320, glow=((1, 1, 1), 0.35, 2.5))
    write_licence()


def write_licence():
    src = "/usr/share/doc/fonts-dejavu-core/copyright"
    with open(src, "r", encoding="utf-8") as f:
        text = f.read()
    head = ["The bitmap fonts under graphics/fonts/ (font_crystal1, font_taurus1, font_taurus2)",
            "are rendered from DejaVu Sans Bold, DejaVu Sans Bold Oblique and DejaVu Sans",
            "Condensed Bold, as shipped by Debian's fonts-dejavu-core package.",
            "The rendered glyphs are a modified form of those fonts; their licence follows.",
            ""]
    core.write_text("fonts-LICENSE.txt", head + text.rstrip("\n").split("\n"), crlf=False)
