"""Pixel plumbing shared by every generator module.

Images are handled as numpy float32 arrays of shape (h, w, 4) holding
premultiplied RGBA in 0..1.  Vector drawing goes through cairo surfaces that
are converted to and from that form; everything ends as straight-alpha PNG.
"""
import math
import os

import cairo
import numpy as np
from PIL import Image, ImageFilter

DATA = None  # set by main: absolute path of the content root being written


def set_data_root(path):
    global DATA
    DATA = path


# ---------------------------------------------------------------- arrays

def blank(w, h):
    return np.zeros((h, w, 4), np.float32)


def surface(w, h):
    surf = cairo.ImageSurface(cairo.FORMAT_ARGB32, int(w), int(h))
    ctx = cairo.Context(surf)
    ctx.set_antialias(cairo.ANTIALIAS_BEST)
    return surf, ctx


def from_surface(surf):
    """cairo ARGB32 (premultiplied, BGRA in memory) -> premultiplied RGBA float."""
    surf.flush()
    h, w, stride = surf.get_height(), surf.get_width(), surf.get_stride()
    buf = np.frombuffer(surf.get_data(), np.uint8).reshape(h, stride // 4, 4)[:, :w]
    return buf[..., [2, 1, 0, 3]].astype(np.float32) / 255.0


def to_surface(img):
    h, w = img.shape[:2]
    surf = cairo.ImageSurface(cairo.FORMAT_ARGB32, w, h)
    stride = surf.get_stride()
    data = np.clip(np.rint(img[..., [2, 1, 0, 3]] * 255.0), 0, 255).astype(np.uint8)
    buf = np.zeros((h, stride // 4, 4), np.uint8)
    buf[:, :w] = data
    surf.get_data()[:] = buf.tobytes()
    surf.mark_dirty()
    return surf


def draw(w, h, fn, scale=1.0):
    """Runs fn(ctx) on a fresh surface of w x h (optionally supersampled) and returns the image."""
    if scale == 1.0:
        surf, ctx = surface(w, h)
        fn(ctx)
        return from_surface(surf)
    sw, sh = int(round(w * scale)), int(round(h * scale))
    surf, ctx = surface(sw, sh)
    ctx.scale(scale, scale)
    fn(ctx)
    return downsample(from_surface(surf), w, h)


def downsample(img, w, h):
    """Area-averaging resize of a premultiplied image (so edges stay clean)."""
    ih, iw = img.shape[:2]
    if iw % w == 0 and ih % h == 0:
        fx, fy = iw // w, ih // h
        return img.reshape(h, fy, w, fx, 4).mean(axis=(1, 3))
    out = np.zeros((h, w, 4), np.float32)
    for c in range(4):
        im = Image.fromarray(img[..., c].astype(np.float32), mode="F")
        out[..., c] = np.asarray(im.resize((w, h), Image.BOX), np.float32)
    return out


def resize(img, w, h):
    out = np.zeros((h, w, 4), np.float32)
    for c in range(4):
        im = Image.fromarray(img[..., c].astype(np.float32), mode="F")
        out[..., c] = np.asarray(im.resize((w, h), Image.BICUBIC if w > img.shape[1] else Image.BOX), np.float32)
    return np.clip(out, 0, 1)


def over(dst, src, x=0, y=0, opacity=1.0):
    """Composites premultiplied src over dst at (x, y) in place; clips at the edges."""
    x, y = int(x), int(y)
    h, w = src.shape[:2]
    dh, dw = dst.shape[:2]
    x0, y0 = max(x, 0), max(y, 0)
    x1, y1 = min(x + w, dw), min(y + h, dh)
    if x0 >= x1 or y0 >= y1:
        return dst
    s = src[y0 - y:y1 - y, x0 - x:x1 - x] * opacity
    d = dst[y0:y1, x0:x1]
    dst[y0:y1, x0:x1] = s + d * (1.0 - s[..., 3:4])
    return dst


def add(dst, src, x=0, y=0, opacity=1.0):
    """Additive light: colour adds, alpha grows as light would."""
    x, y = int(x), int(y)
    h, w = src.shape[:2]
    dh, dw = dst.shape[:2]
    x0, y0 = max(x, 0), max(y, 0)
    x1, y1 = min(x + w, dw), min(y + h, dh)
    if x0 >= x1 or y0 >= y1:
        return dst
    s = src[y0 - y:y1 - y, x0 - x:x1 - x] * opacity
    d = dst[y0:y1, x0:x1]
    rgb = np.clip(d[..., :3] + s[..., :3], 0, 1)
    a = np.clip(np.maximum(d[..., 3:4], rgb.max(axis=2, keepdims=True)), 0, 1)
    a = np.maximum(a, d[..., 3:4] + s[..., 3:4] * (1 - d[..., 3:4]))
    dst[y0:y1, x0:x1, :3] = np.minimum(rgb, a)
    dst[y0:y1, x0:x1, 3:4] = np.clip(a, 0, 1)
    return dst


def _kernel(radius):
    sigma = max(radius, 0.1)
    half = int(math.ceil(sigma * 3))
    x = np.arange(-half, half + 1, dtype=np.float32)
    k = np.exp(-(x * x) / (2 * sigma * sigma))
    return k / k.sum(), half


def blur(img, radius):
    """Separable gaussian blur (premultiplied images blur without dark fringes)."""
    if radius <= 0:
        return img.copy()
    k, half = _kernel(radius)
    out = np.pad(img, ((half, half), (half, half), (0, 0)))
    tmp = np.zeros_like(out)
    for i, w in enumerate(k):
        tmp += w * np.roll(out, i - half, axis=1)
    out2 = np.zeros_like(out)
    for i, w in enumerate(k):
        out2 += w * np.roll(tmp, i - half, axis=0)
    return out2[half:-half, half:-half]


def pad(img, left, top, right, bottom):
    return np.pad(img, ((top, bottom), (left, right), (0, 0)))


def tint_mask(mask, rgb, alpha=1.0):
    """A flat colour image from a coverage mask (h, w) in 0..1."""
    h, w = mask.shape
    out = np.zeros((h, w, 4), np.float32)
    a = np.clip(mask * alpha, 0, 1)
    for c in range(3):
        out[..., c] = a * rgb[c]
    out[..., 3] = a
    return out


def shadow(img, dx, dy, radius, strength=0.6, rgb=(0.0, 0.0, 0.02)):
    """A soft drop shadow of img, same size (offset applied inside)."""
    mask = img[..., 3]
    h, w = mask.shape
    shifted = np.zeros_like(mask)
    xs, ys = int(dx), int(dy)
    shifted[max(ys, 0):h + min(ys, 0), max(xs, 0):w + min(xs, 0)] = \
        mask[max(-ys, 0):h - max(ys, 0), max(-xs, 0):w - max(xs, 0)]
    sh = tint_mask(shifted, rgb, strength)
    return blur(sh, radius)


def with_shadow(img, dx=2, dy=3, radius=2.5, strength=0.55):
    out = shadow(img, dx, dy, radius, strength)
    return over(out, img)


def outline(mask, width):
    """Grows a coverage mask by width pixels (a soft max filter)."""
    im = Image.fromarray(np.clip(mask * 255, 0, 255).astype(np.uint8), mode="L")
    size = int(width) * 2 + 1
    grown = im.filter(ImageFilter.MaxFilter(size))
    grown = grown.filter(ImageFilter.GaussianBlur(max(width * 0.35, 0.6)))
    g = np.asarray(grown, np.float32) / 255.0
    return np.clip(np.maximum(g * 1.15, mask), 0, 1)


def colour(hexv, a=1.0):
    return ((hexv >> 16 & 255) / 255.0, (hexv >> 8 & 255) / 255.0, (hexv & 255) / 255.0, a)


def mix(c1, c2, t):
    return tuple(a + (b - a) * t for a, b in zip(c1, c2))


def lighten(c, t):
    return mix(c, (1, 1, 1), t)


def darken(c, t):
    return mix(c, (0, 0, 0), t)


def multiply(img, rgb):
    out = img.copy()
    for c in range(3):
        out[..., c] *= rgb[c]
    return out


def opacity(img, a):
    return img * a


# ---------------------------------------------------------------- sheets and files

def sheet(frames, cols=None):
    """Lays equal frames out row by row, the order the sprite loader numbers them."""
    n = len(frames)
    h, w = frames[0].shape[:2]
    if cols is None:
        cols = max(1, min(n, int(math.ceil(math.sqrt(n * h / float(w))))))
        cols = min(cols, max(1, 4096 // w))
    rows = int(math.ceil(n / float(cols)))
    out = np.zeros((rows * h, cols * w, 4), np.float32)
    for i, f in enumerate(frames):
        assert f.shape[:2] == (h, w), "frames differ in size"
        r, c = divmod(i, cols)
        out[r * h:(r + 1) * h, c * w:(c + 1) * w] = f
    return out


def to_rgba8(img):
    a = np.clip(img[..., 3], 0, 1)
    rgb = np.where(a[..., None] > 1e-6, img[..., :3] / np.maximum(a[..., None], 1e-6), 0)
    out = np.zeros(img.shape[:2] + (4,), np.uint8)
    out[..., :3] = np.clip(np.rint(np.clip(rgb, 0, 1) * 255), 0, 255)
    out[..., 3] = np.clip(np.rint(a * 255), 0, 255)
    out[out[..., 3] == 0] = 0
    return out


def _palette_image(indices, entries):
    """A paletted image: indices (h, w) into entries (n, 4) of straight RGBA, n <= 256."""
    im = Image.fromarray(np.ascontiguousarray(indices.astype(np.uint8)), "P")
    im.putpalette(entries[:, :3].astype(np.uint8).tobytes(), rawmode="RGB")
    return im, entries[:, 3].astype(np.uint8).tobytes()


def _exact_palette(rgba):
    """Every colour of an image of at most 256 colours, or None when it has more."""
    flat = rgba.reshape(-1, 4)
    keys = flat.view(np.uint32).reshape(-1)
    values, indices = np.unique(keys, return_inverse=True)
    if len(values) > 256:
        return None
    entries = values.view(np.uint8).reshape(-1, 4)
    return _palette_image(indices.reshape(rgba.shape[:2]), entries)


def _quantized_palette(rgba):
    """256 colours chosen for the image and dithered; a fully transparent pixel stays 0, 0, 0, 0."""
    q = Image.fromarray(rgba, "RGBA").quantize(
        colors=255, method=Image.Quantize.LIBIMAGEQUANT, dither=Image.Dither.FLOYDSTEINBERG)
    indices = np.asarray(q).astype(np.int32)
    raw = np.frombuffer(q.palette.tobytes(), np.uint8)
    entries = raw.reshape(-1, len(q.palette.mode))[: indices.max() + 1]
    if entries.shape[1] == 3:
        entries = np.concatenate([entries, np.full((len(entries), 1), 255, np.uint8)], axis=1)
    entries = entries.copy()
    entries[entries[:, 3] == 0] = 0
    clear = len(entries)
    entries = np.concatenate([entries, np.zeros((1, 4), np.uint8)])
    indices[rgba[..., 3] == 0] = clear
    return _palette_image(indices, entries)


def write_png(rel, img, opaque=False, quantize=False):
    """Writes data/<rel> (rel uses "/"), deterministic bytes.

    A picture of at most 256 colours is stored with a palette: the same pixels in a quarter of
    the bytes to inflate, so the game loads it faster. quantize=True brings any picture down to
    256 colours that way (for big, rarely seen animation sheets where loading time counts most).
    """
    path = os.path.join(DATA, rel)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    rgba = to_rgba8(img)
    if opaque:
        Image.fromarray(np.ascontiguousarray(rgba[..., :3]), "RGB").save(path, compress_level=9)
        return rgba.shape[1], rgba.shape[0]
    paletted = _exact_palette(rgba)
    if paletted is None and quantize:
        paletted = _quantized_palette(rgba)
    if paletted is None:
        Image.fromarray(rgba, "RGBA").save(path, compress_level=9)
    else:
        im, alphas = paletted
        im.save(path, compress_level=9, transparency=alphas)
    return rgba.shape[1], rgba.shape[0]


def write_jpg(rel, img, quality=90):
    path = os.path.join(DATA, rel)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    rgba = to_rgba8(img)
    Image.fromarray(np.ascontiguousarray(rgba[..., :3]), "RGB").save(
        path, quality=quality, optimize=False, progressive=False, subsampling=0)
    return rgba.shape[1], rgba.shape[0]


def write_text(rel, lines, crlf=True):
    """Game text files use CR LF line ends (the sprite reader splits on CR)."""
    path = os.path.join(DATA, rel)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    end = "\r\n" if crlf else "\n"
    with open(path, "wb") as f:
        f.write((end.join(lines) + end).encode("latin-1"))


# ---------------------------------------------------------------- vector helpers

def rounded_rect(ctx, x, y, w, h, r):
    r = min(r, w / 2.0, h / 2.0)
    ctx.new_sub_path()
    ctx.arc(x + w - r, y + r, r, -math.pi / 2, 0)
    ctx.arc(x + w - r, y + h - r, r, 0, math.pi / 2)
    ctx.arc(x + r, y + h - r, r, math.pi / 2, math.pi)
    ctx.arc(x + r, y + r, r, math.pi, 1.5 * math.pi)
    ctx.close_path()


def linear(x0, y0, x1, y1, stops):
    g = cairo.LinearGradient(x0, y0, x1, y1)
    for s in stops:
        g.add_color_stop_rgba(*s)
    return g


def radial(cx0, cy0, r0, cx1, cy1, r1, stops):
    g = cairo.RadialGradient(cx0, cy0, r0, cx1, cy1, r1)
    for s in stops:
        g.add_color_stop_rgba(*s)
    return g


def star_path(ctx, cx, cy, r_out, r_in, points=5, rot=-math.pi / 2):
    for i in range(points * 2):
        r = r_out if i % 2 == 0 else r_in
        a = rot + i * math.pi / points
        (ctx.move_to if i == 0 else ctx.line_to)(cx + r * math.cos(a), cy + r * math.sin(a))
    ctx.close_path()


def glow_dot(size, rgb, core=0.35, falloff=2.2):
    """A round light: bright core and soft halo, premultiplied, size x size."""
    yy, xx = np.mgrid[0:size, 0:size].astype(np.float32)
    c = (size - 1) / 2.0
    d = np.sqrt((xx - c) ** 2 + (yy - c) ** 2) / (size / 2.0)
    a = np.clip(1 - d, 0, 1) ** falloff
    hot = np.clip(1 - d / core, 0, 1) ** 1.5
    out = np.zeros((size, size, 4), np.float32)
    for i in range(3):
        out[..., i] = np.clip(a * rgb[i] + hot * (1 - rgb[i]) * 0.9, 0, 1) * 1.0
    out[..., 3] = np.clip(a + hot * 0.5, 0, 1)
    out[..., :3] = np.minimum(out[..., :3], out[..., 3:4])
    return out


def noise(w, h, rng, octaves=5, base=4, persistence=0.55):
    """Deterministic value noise in 0..1 (sum of bicubic-upsampled random grids)."""
    total = np.zeros((h, w), np.float32)
    amp, norm = 1.0, 0.0
    for o in range(octaves):
        n = base * (2 ** o)
        grid = rng.random((n + 3, n + 3)).astype(np.float32)
        im = Image.fromarray(grid, mode="F").resize((w + w // n * 3 + 3, h + h // n * 3 + 3), Image.BICUBIC)
        arr = np.asarray(im, np.float32)[:h, :w]
        total += arr * amp
        norm += amp
        amp *= persistence
    total /= norm
    lo, hi = total.min(), total.max()
    return (total - lo) / max(hi - lo, 1e-6)
