"""Shaded solids drawn per pixel: glossy spheres, gems, stones, glints.

Light comes from the top left in every picture of the game.
"""
import math

import numpy as np

from . import core

LIGHT = np.array([-0.55, -0.68, 0.48], np.float32)
LIGHT /= np.linalg.norm(LIGHT)
HALF = LIGHT + np.array([0, 0, 1], np.float32)
HALF /= np.linalg.norm(HALF)


def _grid(size, ss, cx=None, cy=None, radius=None):
    n = size * ss
    c = (size / 2.0) if cx is None else cx
    cyv = (size / 2.0) if cy is None else cy
    yy, xx = np.mgrid[0:n, 0:n].astype(np.float32)
    xx = (xx + 0.5) / ss
    yy = (yy + 0.5) / ss
    r = radius if radius else size / 2.0 - 0.5
    nx = (xx - c) / r
    ny = (yy - cyv) / r
    return nx, ny, r


def sphere(size, rgb, ss=4, radius=None, gloss=1.0, rim_dark=0.5, bounce=0.35, spec_power=70.0,
           flat=False):
    """A glossy ball of colour rgb (0..1 tuple) in a size x size image."""
    nx, ny, r = _grid(size, ss, radius=radius)
    d2 = nx * nx + ny * ny
    inside = d2 < 1.0
    nz = np.sqrt(np.clip(1.0 - d2, 0, 1))
    dist = np.sqrt(d2)
    diff = np.clip(nx * LIGHT[0] + ny * LIGHT[1] + nz * LIGHT[2], 0, 1)
    base = np.array(rgb, np.float32)
    shade = 0.30 + 0.85 * diff
    col = base[None, None, :] * shade[..., None]
    # light bounced up from below right: keeps the dark side colourful
    b = np.clip(nx * 0.45 + ny * 0.75 + nz * 0.2, 0, 1) ** 2
    bright = np.clip(base * 1.25 + 0.12, 0, 1)
    col += bright[None, None, :] * (b * bounce)[..., None]
    # darker rim gives the ball its edge
    rim = np.clip((dist - 0.72) / 0.28, 0, 1) ** 1.6
    col *= (1.0 - rim_dark * rim)[..., None]
    # reflected window: a soft bright cap at the top left
    gx, gy = (nx + 0.28) / 0.52, (ny + 0.50) / 0.34
    cap = np.clip(1.0 - (gx * gx + gy * gy), 0, 1) ** 0.8
    cap *= np.clip((0.05 - ny) / 0.55, 0, 1)
    col = col + (1.0 - col) * (cap * 0.62 * gloss)[..., None]
    # sharp specular point
    spec = np.clip(nx * HALF[0] + ny * HALF[1] + nz * HALF[2], 0, 1) ** spec_power
    col = col + (1.0 - col) * (spec * 0.95 * gloss)[..., None]
    # a faint rim light at the bottom right
    rl = np.clip((dist - 0.82) / 0.18, 0, 1) * np.clip(nx * 0.6 + ny * 0.8, 0, 1)
    col = col + (bright[None, None, :] - col) * (rl * 0.45)[..., None]
    col = np.clip(col, 0, 1)
    # coverage with an analytic soft edge one sample wide
    edge = np.clip((1.0 - dist) * r * ss, 0, 1)
    out = np.zeros(dist.shape + (4,), np.float32)
    out[..., :3] = col * edge[..., None]
    out[..., 3] = edge
    out[~inside & (edge <= 0)] = 0
    return core.downsample(out, size, size)


def sphere_mask(size, ss=4, radius=None):
    nx, ny, r = _grid(size, ss, radius=radius)
    dist = np.sqrt(nx * nx + ny * ny)
    edge = np.clip((1.0 - dist) * r * ss, 0, 1)
    img = np.zeros(edge.shape + (4,), np.float32)
    img[..., 3] = edge
    return core.downsample(img, size, size)[..., 3]


def glint_band(size, t, ss=2, radius=None, width=0.22, strength=0.75):
    """A bright diagonal band across the sphere at position t (-1.6 .. 1.6)."""
    nx, ny, r = _grid(size, ss, radius=radius)
    d2 = nx * nx + ny * ny
    nz = np.sqrt(np.clip(1 - d2, 0, 1))
    u = (nx + ny) / math.sqrt(2) - t
    band = np.exp(-(u * u) / (2 * width * width)) * (0.35 + 0.65 * nz)
    edge = np.clip((1.0 - np.sqrt(d2)) * r * ss, 0, 1)
    a = np.clip(band * strength * edge, 0, 1)
    img = np.zeros(a.shape + (4,), np.float32)
    img[..., 0] = a
    img[..., 1] = a
    img[..., 2] = a
    img[..., 3] = a * 0.9
    return core.downsample(img, size, size)


def sparkle(size, cx, cy, arm, rgb=(1, 1, 1), thickness=0.9, ss=4):
    """A four-pointed twinkle star (premultiplied, additive-friendly)."""
    n = size * ss
    yy, xx = np.mgrid[0:n, 0:n].astype(np.float32)
    xx = (xx + 0.5) / ss - cx
    yy = (yy + 0.5) / ss - cy
    ax, ay = np.abs(xx), np.abs(yy)
    h = np.exp(-ay * ay / (thickness * thickness * 0.5)) * np.clip(1 - ax / max(arm, 0.01), 0, 1)
    v = np.exp(-ax * ax / (thickness * thickness * 0.5)) * np.clip(1 - ay / max(arm, 0.01), 0, 1)
    d = np.sqrt(xx * xx + yy * yy)
    core_ = np.exp(-d * d / (arm * 0.18 + 0.3) ** 2)
    a = np.clip(h + v + core_, 0, 1)
    img = np.zeros((n, n, 4), np.float32)
    for c in range(3):
        img[..., c] = a * (rgb[c] * 0.6 + 0.4 * core_ + 0.4)
    img[..., :3] = np.clip(img[..., :3], 0, a[..., None])
    img[..., 3] = a
    return core.downsample(img, size, size)


def halo(size, rgb, inner=0.62, strength=0.75):
    """A soft ring of light around a ball (drawn beneath it)."""
    yy, xx = np.mgrid[0:size, 0:size].astype(np.float32)
    c = (size - 1) / 2.0
    d = np.sqrt((xx - c) ** 2 + (yy - c) ** 2) / (size / 2.0)
    ring = np.exp(-((d - inner) ** 2) / (2 * 0.16 ** 2)) * np.clip((1 - d) / 0.15, 0, 1)
    a = np.clip(ring * strength, 0, 1)
    img = np.zeros((size, size, 4), np.float32)
    bright = np.clip(np.array(rgb) * 0.8 + 0.3, 0, 1)
    for i in range(3):
        img[..., i] = a * bright[i]
    img[..., 3] = a
    return img
