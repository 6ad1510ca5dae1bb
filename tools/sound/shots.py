"""Waveform and spectrogram pictures of the generated audio, to look at by eye: DC offset
shows as a shifted waveform, clicks as vertical lines in the spectrogram, aliasing as
mirrored lines folding down from the top."""

import os

import numpy as np
from PIL import Image, ImageDraw

from synth import RATE

W, WAVE_H, GRAM_H, SEAM_W = 900, 160, 220, 300


def waveform(draw, x, top, height, width, color):
    n = len(x)
    for px in range(width):
        seg = x[px * n // width:max(px * n // width + 1, (px + 1) * n // width)]
        lo, hi = seg.min(), seg.max()
        mid = top + height / 2
        draw.line([(px, mid - hi * height / 2), (px, mid - lo * height / 2)], fill=color)
    draw.line([(0, top + height / 2), (width, top + height / 2)], fill=(90, 90, 90))


def spectrogram(x, width, height):
    size = 1024
    hop = max(1, (len(x) - size) // width) if len(x) > size else 1
    x = np.concatenate([x, np.zeros(size)])
    window = np.hanning(size)
    cols = []
    for i in range(width):
        frame = x[i * hop:i * hop + size]
        if len(frame) < size:
            frame = np.concatenate([frame, np.zeros(size - len(frame))])
        cols.append(20 * np.log10(np.abs(np.fft.rfft(frame * window)) + 1e-9))
    s = np.array(cols).T[::-1]  # low frequencies at the bottom
    s = np.clip((s + 40) / 80, 0, 1)  # -40..+40 dB of the FFT magnitude
    rows = np.linspace(0, s.shape[0] - 1, height).astype(int)
    img = (s[rows] * 255).astype(np.uint8)
    return Image.fromarray(np.stack([img, (img * 0.7).astype(np.uint8), 255 - img], axis=-1), "RGB")


def shot(path, name, x):
    mono = x.mean(axis=1) if x.ndim == 2 else x
    img = Image.new("RGB", (W + SEAM_W, WAVE_H + GRAM_H + 20), (20, 20, 24))
    d = ImageDraw.Draw(img)
    d.text((4, 2), "%s  %.2fs  mean %.5f" % (name, len(mono) / RATE, mono.mean()), fill=(230, 230, 230))
    waveform(d, mono, 20, WAVE_H, W, (120, 220, 140))
    img.paste(spectrogram(mono, W, GRAM_H), (0, 20 + WAVE_H))
    # the seam: the last and first 400 samples side by side, as the loop plays them
    seam = np.concatenate([mono[-400:], mono[:400]])
    seam_img = Image.new("RGB", (SEAM_W, WAVE_H), (30, 30, 36))
    sd = ImageDraw.Draw(seam_img)
    pts = [(i * SEAM_W / len(seam), WAVE_H / 2 - v * WAVE_H / 2 / max(1e-6, np.abs(seam).max())) for i, v in enumerate(seam)]
    sd.line(pts, fill=(240, 200, 90))
    sd.line([(SEAM_W / 2, 0), (SEAM_W / 2, WAVE_H)], fill=(200, 60, 60))
    img.paste(seam_img, (W, 20))
    d.text((W + 4, 24 + WAVE_H), "end | start (scaled)", fill=(200, 200, 200))
    img.save(path)


def write_all(out_dir, rows):
    os.makedirs(out_dir, exist_ok=True)
    for rel, _, pcm, _ in rows:
        shot(os.path.join(out_dir, rel.replace("/", "_") + ".png"), rel, pcm)
