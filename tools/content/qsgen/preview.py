"""Preview pictures composed the way the engine places sprites (frame per part,
object position + part offset, z order, additive parts), for looking at the
art without the game."""
import os

import numpy as np
from PIL import Image

from . import core

_cache = {}


def load_image(root, rel):
    key = (root, rel)
    if key not in _cache:
        im = Image.open(os.path.join(root, rel)).convert("RGBA")
        a = np.asarray(im, np.float32) / 255.0
        a[..., :3] *= a[..., 3:4]
        _cache[key] = a
    return _cache[key]


def parse(root, spr_rel):
    with open(os.path.join(root, spr_rel), "rb") as f:
        text = f.read().decode("latin-1")
    lines = [l.split(";")[0].strip().lower() for l in text.split("\r")]
    lines = [l.replace("\n", "") for l in lines if l.strip()]
    common = {}
    for field in lines[0].split(","):
        if "=" in field:
            k, v = field.split("=", 1)
            common[k.strip()] = float(v)
    parts = []
    remaining = 0
    folder = os.path.dirname(spr_rel)
    for line in lines[1:]:
        if remaining == 0:
            remaining = int(line)
            continue
        remaining -= 1
        spec, *fields = [x.strip() for x in line.split(",")]
        keys = {}
        for fld in fields:
            k, v = fld.split("=", 1)
            keys[k] = float(v)
        img_rel = os.path.normpath(os.path.join(folder, spec.replace("\\", "/")))
        parts.append((img_rel, keys))
    return common, parts


def frame_of(root, img_rel, keys, frame):
    img = load_image(root, img_rel)
    h, w = img.shape[:2]
    fw = int(keys.get("frame_width", 0)) or w
    fh = int(keys.get("frame_height", 0)) or h
    cols = w // fw
    n = cols * (h // fh)
    frame = int(frame) % max(n, 1)
    r, c = divmod(frame, cols)
    return img[r * fh:(r + 1) * fh, c * fw:(c + 1) * fw]


def compose(root, objects, size=(800, 600), background=(0.0, 0.0, 0.0)):
    """objects: dicts with spr, x, y and optional z, frames {part: frame}, hide {parts}, color {part: rgb},
    alpha (0..1), scale_x."""
    canvas = np.zeros((size[1], size[0], 4), np.float32)
    canvas[..., :3] = background
    canvas[..., 3] = 1
    draws = []
    for order, o in enumerate(objects):
        common, parts = parse(root, o["spr"])
        oz = o.get("z", common.get("z", 0))
        for i, (img_rel, keys) in enumerate(parts):
            if i in o.get("hide", ()):
                continue
            f = frame_of(root, img_rel, keys, o.get("frames", {}).get(i, 0))
            col = o.get("color", {}).get(i)
            if col is not None:
                f = core.multiply(f, col)
            sx = o.get("scale_x", 1.0)
            if sx != 1.0:
                f = core.resize(f, max(1, int(round(f.shape[1] * sx))), f.shape[0])
            x = o["x"] + keys.get("x", 0) * sx
            y = o["y"] + keys.get("y", 0)
            draws.append((oz + keys.get("z", 0), -order, f, x, y, keys.get("alpha_mode", 0), o.get("alpha", 1.0)))
    draws.sort(key=lambda d: (d[0], d[1]))
    for z, _, f, x, y, mode, alpha in draws:
        if mode:
            core.add(canvas, f, int(x), int(y), opacity=alpha)
        else:
            core.over(canvas, f, int(x), int(y), opacity=alpha)
    return canvas


def save(canvas, path, zoom=1):
    im = Image.fromarray(core.to_rgba8(canvas)[..., :3])
    if zoom != 1:
        im = im.resize((im.width * zoom, im.height * zoom), Image.NEAREST)
    im.save(path)


def read_map(root, rel):
    with open(os.path.join(root, rel), "rb") as f:
        lines = [l.strip() for l in f.read().decode("latin-1").replace("\r", "").split("\n")]
    n = int(lines[0])
    protos = [(l.lower() if l.lower().endswith(".spr") else l.lower() + ".spr").replace("\\", "/") for l in lines[1:1 + n]]
    m = int(lines[1 + n])
    out = []
    for line in lines[2 + n:2 + n + m]:
        i, x, y = [int(v) for v in line.split(",")[:3]]
        out.append({"spr": protos[i], "x": x, "y": y})
    return out
