"""Deep-space backdrops: nebula clouds, star fields, a planet."""
import math

import numpy as np

from . import core, shapes


def nebula(w, h, seed, palette, density=1.0):
    rng = np.random.default_rng(seed)
    img = np.zeros((h, w, 4), np.float32)
    base_top = np.array(palette["top"], np.float32)
    base_bottom = np.array(palette["bottom"], np.float32)
    t = np.linspace(0, 1, h, dtype=np.float32)[:, None, None]
    img[..., :3] = base_top * (1 - t) + base_bottom * t
    img[..., 3] = 1
    for (col, strength, oct_base, sharp) in palette["clouds"]:
        n = core.noise(w, h, rng, octaves=6, base=oct_base, persistence=0.58)
        m = core.noise(w, h, rng, octaves=3, base=2, persistence=0.5)
        cloud = np.clip((n - 0.45) * sharp, 0, 1) ** 1.6 * np.clip((m - 0.25) * 2.0, 0, 1)
        cloud *= strength * density
        img[..., :3] += np.array(col, np.float32) * cloud[..., None]
    # dust lanes darken parts of the glow
    d = core.noise(w, h, rng, octaves=5, base=5, persistence=0.6)
    img[..., :3] *= (1.0 - 0.45 * np.clip((d - 0.55) * 3, 0, 1))[..., None]
    img[..., :3] = np.clip(img[..., :3], 0, 1)
    return img


def stars(img, seed, count, big=12, tint=True):
    rng = np.random.default_rng(seed)
    h, w = img.shape[:2]
    for i in range(count):
        x, y = rng.random() * w, rng.random() * h
        b = rng.random() ** 3.2
        if tint:
            hue = rng.random()
            col = (1.0, 0.85 + 0.15 * hue, 0.75 + 0.25 * hue) if hue < 0.3 else \
                  (0.8 + 0.2 * hue, 0.9, 1.0)
        else:
            col = (1, 1, 1)
        xi, yi = int(x), int(y)
        if 0 <= xi < w - 1 and 0 <= yi < h - 1:
            fx, fy = x - xi, y - yi
            for dx, dy, wgt in ((0, 0, (1 - fx) * (1 - fy)), (1, 0, fx * (1 - fy)),
                                (0, 1, (1 - fx) * fy), (1, 1, fx * fy)):
                a = (0.25 + 0.95 * b) * wgt
                img[yi + dy, xi + dx, :3] = np.clip(img[yi + dy, xi + dx, :3] + np.array(col) * a, 0, 1)
    for i in range(big):
        x, y = rng.random() * w, rng.random() * h
        s = 9 + int(rng.random() * 14)
        core.add(img, core.glow_dot(s * 2 + 1, (0.75, 0.85, 1.0), core=0.2, falloff=2.6), int(x) - s, int(y) - s,
                 opacity=0.5)
        core.add(img, shapes.sparkle(s * 2 + 1, s + 0.5, s + 0.5, s * 0.9, rgb=(0.85, 0.9, 1.0), thickness=0.6,
                                     ss=2), int(x) - s, int(y) - s, opacity=0.8)
    img[..., 3] = 1
    return img


def planet(size, seed, body=(0.25, 0.45, 0.85), atmosphere=(0.45, 0.75, 1.0), bands=True):
    rng = np.random.default_rng(seed)
    ss = 2
    n = size * ss
    yy, xx = np.mgrid[0:n, 0:n].astype(np.float32)
    c = n / 2.0
    r = n / 2.0 * 0.86
    nx, ny = (xx - c) / r, (yy - c) / r
    d = np.sqrt(nx * nx + ny * ny)
    nz = np.sqrt(np.clip(1 - d * d, 0, 1))
    light = np.clip(nx * -0.6 + ny * -0.5 + nz * 0.62, 0, 1)
    tex = core.noise(n, n, rng, octaves=5, base=4)
    if bands:
        lat = ny + 0.22 * (tex - 0.5) + 0.04 * np.sin(nx * 9.0)
        band = 0.5 + 0.3 * np.sin(lat * 11.0) + 0.2 * np.sin(lat * 27.0 + 1.3)
    else:
        band = tex
    second = np.array(body, np.float32)[::-1] * 0.6 + 0.25
    col = np.array(body, np.float32) * (0.55 + 0.5 * band[..., None])
    col = col * (1 - 0.3 * tex[..., None]) + second * (0.3 * tex[..., None] * band[..., None])
    col = col * (0.05 + 1.05 * light[..., None])
    edge = np.clip((1 - d) * r, 0, 1)
    img = np.zeros((n, n, 4), np.float32)
    img[..., :3] = np.clip(col, 0, 1) * edge[..., None]
    img[..., 3] = edge
    # atmosphere: a thin bright rim on the lit side and a soft outer glow
    rim = np.exp(-((d - 1.0) ** 2) / (2 * 0.035 ** 2)) * np.clip(nx * -0.5 + ny * -0.6 + 0.45, 0, 1)
    glow = np.clip(1 - (d - 1.0) / 0.08, 0, 1) * (d > 1.0) * 0.35 * np.clip(nx * -0.5 + ny * -0.6 + 0.6, 0, 1)
    add = np.clip(rim + glow, 0, 1)
    over = np.zeros_like(img)
    for i in range(3):
        over[..., i] = add * atmosphere[i]
    over[..., 3] = add
    core.add(img, over)
    return core.downsample(img, size, size)


PALETTE_GAME = {
    "top": (0.015, 0.02, 0.07),
    "bottom": (0.03, 0.015, 0.08),
    "clouds": [((0.25, 0.10, 0.45), 0.9, 3, 2.2), ((0.05, 0.22, 0.42), 0.8, 4, 2.4), ((0.45, 0.12, 0.30), 0.35, 6, 3.0)],
}
PALETTE_MENU = {
    "top": (0.01, 0.015, 0.06),
    "bottom": (0.05, 0.02, 0.10),
    "clouds": [((0.10, 0.28, 0.55), 1.0, 3, 2.2), ((0.42, 0.12, 0.50), 0.9, 3, 2.4), ((0.55, 0.30, 0.15), 0.25, 6, 3.2)],
}


def game_background(w=800, h=600):
    img = nebula(w, h, 101, PALETTE_GAME, density=0.85)
    stars(img, 102, 900, big=10)
    p = planet(150, 103, body=(0.75, 0.45, 0.3), atmosphere=(1.0, 0.7, 0.45))
    core.over(img, p, 610, 430, opacity=0.9)
    img[..., 3] = 1
    return img


def menu_background(w=800, h=600):
    img = nebula(w, h, 201, PALETTE_MENU, density=1.0)
    stars(img, 202, 1100, big=16)
    p = planet(420, 203)
    core.over(img, p, 470, 380)
    moon = planet(70, 204, body=(0.7, 0.7, 0.75), atmosphere=(0.8, 0.85, 1.0), bands=False)
    core.over(img, moon, 80, 420, opacity=0.95)
    img[..., 3] = 1
    return img
