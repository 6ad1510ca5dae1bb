"""Small additive/FM/noise synthesis kit shared by the samples and the music.

Everything works on float64 numpy arrays at a given rate; randomness only comes from
numpy generators seeded by the caller, so two runs give the same samples.
"""

import numpy as np

RATE = 44100


def t_axis(seconds, rate=RATE):
    return np.arange(int(round(seconds * rate))) / rate


def midi_hz(note):
    return 440.0 * 2.0 ** ((note - 69) / 12.0)


def phase_of(freq, rate=RATE):
    """Running phase (radians) of a frequency curve, so sweeps stay continuous."""
    return 2 * np.pi * np.cumsum(freq) / rate


def env_exp(n, decay, rate=RATE):
    """Exponential decay; `decay` is the time (s) to fall by 60 dB."""
    return np.exp(-6.9078 * np.arange(n) / (decay * rate))


def env_ad(n, attack, rate=RATE):
    """Linear fade-in over `attack` seconds, so no onset clicks."""
    a = max(1, int(attack * rate))
    e = np.ones(n)
    e[:min(a, n)] = np.linspace(0.0, 1.0, a)[:min(a, n)]
    return e


def fade_out(x, seconds, rate=RATE):
    n = min(len(x), max(1, int(seconds * rate)))
    y = x.copy()
    y[-n:] *= np.cos(np.linspace(0, np.pi / 2, n)) ** 2
    return y


def fft_filter(x, low=None, high=None, rate=RATE, slope=1.0):
    """Smooth band filter in the frequency domain. The filter is circular, which is what the
    loops want: a filtered periodic buffer stays periodic."""
    spec = np.fft.rfft(x)
    f = np.fft.rfftfreq(len(x), 1.0 / rate)
    gain = np.ones_like(f)
    if low is not None:  # high-pass corner
        gain *= 1.0 / np.sqrt(1.0 + (low / np.maximum(f, 1e-3)) ** (4 * slope))
    if high is not None:  # low-pass corner
        gain *= 1.0 / np.sqrt(1.0 + (f / high) ** (4 * slope))
    return np.fft.irfft(spec * gain, len(x))


def noise(rng, n):
    return rng.standard_normal(n)


def swept_lowpass_noise(rng, n, cutoff_start, cutoff_end, rate=RATE, blocks=24):
    """Noise whose brightness glides from one cutoff to another (block-wise crossfaded)."""
    src = noise(rng, n)
    out = np.zeros(n)
    edges = np.linspace(0, n, blocks + 1).astype(int)
    cuts = np.geomspace(cutoff_start, cutoff_end, blocks)
    filtered = [fft_filter(src, high=c, rate=rate) for c in cuts]
    # linear crossfade between neighbouring filtered copies
    pos = np.arange(n) / max(1, n - 1) * (blocks - 1)
    i0 = np.floor(pos).astype(int)
    i1 = np.minimum(i0 + 1, blocks - 1)
    w = pos - i0
    stack = np.array(filtered)
    out = stack[i0, np.arange(n)] * (1 - w) + stack[i1, np.arange(n)] * w
    return out


def bell(freq, seconds, decay=0.8, bright=1.0, rate=RATE, ratio=3.5):
    """Glassy FM bell: inharmonic modulator whose index dies away faster than the tone."""
    t = t_axis(seconds, rate)
    n = len(t)
    index = bright * 2.2 * env_exp(n, decay * 0.35, rate)
    mod = np.sin(2 * np.pi * freq * ratio * t)
    tone = np.sin(2 * np.pi * freq * t + index * mod)
    tone += 0.25 * np.sin(2 * np.pi * freq * 2.76 * t) * env_exp(n, decay * 0.3, rate)
    return tone * env_exp(n, decay, rate) * env_ad(n, 0.002, rate)


def pluck(freq, seconds, decay=0.5, rate=RATE, partials=((1, 1.0), (4.0, 0.25), (9.2, 0.06))):
    """Mallet/marimba-like: a fundamental and a few quickly fading overtones."""
    t = t_axis(seconds, rate)
    n = len(t)
    out = np.zeros(n)
    for k, (mult, amp) in enumerate(partials):
        if freq * mult > rate * 0.45:
            continue
        out += amp * np.sin(2 * np.pi * freq * mult * t) * env_exp(n, decay / (1 + 1.5 * k), rate)
    return out * env_ad(n, 0.003, rate)


def epiano(freq, seconds, decay=1.6, rate=RATE):
    """Soft electric piano: 1:1 FM with a short bright attack."""
    t = t_axis(seconds, rate)
    n = len(t)
    index = 1.3 * env_exp(n, 0.5, rate) + 0.2
    tone = np.sin(2 * np.pi * freq * t + index * np.sin(2 * np.pi * freq * t))
    tine = 0.15 * np.sin(2 * np.pi * freq * 7.0 * t) * env_exp(n, 0.12, rate)
    if freq * 7 > rate * 0.45:
        tine = 0
    return (tone + tine) * env_exp(n, decay, rate) * env_ad(n, 0.004, rate)


def saw_additive(freq, t, harmonics=10, rate=RATE):
    out = np.zeros(len(t))
    for k in range(1, harmonics + 1):
        if freq * k > rate * 0.45:
            break
        out += np.sin(2 * np.pi * freq * k * t) / k
    return out


def pad(freq, seconds, attack=0.6, release=0.8, harmonics=7, rate=RATE, detune=0.004):
    """Warm pad: three slightly detuned soft saws with slow attack and release."""
    t = t_axis(seconds + release, rate)
    n = len(t)
    out = np.zeros(n)
    for d in (-detune, 0.0, detune):
        out += saw_additive(freq * (1 + d), t + d * 7, harmonics, rate)
    out /= 3
    e = env_ad(n, attack, rate)
    hold = int(seconds * rate)
    if hold < n:
        e[hold:] *= np.linspace(1, 0, n - hold) ** 2
    return out * e


def bass(freq, seconds, rate=RATE, bright=0.35):
    t = t_axis(seconds, rate)
    n = len(t)
    out = np.sin(2 * np.pi * freq * t) + bright * np.sin(4 * np.pi * freq * t) * env_exp(n, 0.4, rate)
    out += 0.1 * np.sin(6 * np.pi * freq * t) * env_exp(n, 0.2, rate)
    e = env_ad(n, 0.005, rate) * (0.55 + 0.45 * env_exp(n, 0.6, rate))
    return fade_out(out * e, 0.03, rate)


def kick(rate=RATE, seconds=0.35, top=140.0, bottom=48.0):
    t = t_axis(seconds, rate)
    n = len(t)
    f = bottom + (top - bottom) * np.exp(-t / 0.03)
    out = np.sin(phase_of(f, rate)) * env_exp(n, seconds, rate)
    return fade_out(out * env_ad(n, 0.001, rate), 0.02, rate)


def snare(rng, rate=RATE, seconds=0.25, tone=190.0):
    t = t_axis(seconds, rate)
    n = len(t)
    body = np.sin(2 * np.pi * tone * t) * env_exp(n, 0.08, rate)
    hiss = fft_filter(noise(rng, n), low=1500, high=9000, rate=rate) * env_exp(n, seconds * 0.8, rate)
    out = 0.6 * body + 0.9 * hiss / (np.abs(hiss).max() + 1e-9)
    return fade_out(out * env_ad(n, 0.001, rate), 0.02, rate)


def hat(rng, rate=RATE, seconds=0.06, low=6500.0):
    n = int(seconds * rate)
    h = fft_filter(noise(rng, n), low=low, high=min(15000, rate * 0.45), rate=rate)
    h /= np.abs(h).max() + 1e-9
    return fade_out(h * env_exp(n, seconds, rate) * env_ad(n, 0.0005, rate), 0.01, rate)


def shaker(rng, rate=RATE, seconds=0.09):
    n = int(seconds * rate)
    h = fft_filter(noise(rng, n), low=4000, high=11000, rate=rate)
    h /= np.abs(h).max() + 1e-9
    e = np.sin(np.linspace(0, np.pi, n)) ** 2
    return h * e


def mix_at(buf, sound, start, gain=1.0):
    """Adds `sound` into `buf` at sample `start` (clipped to the buffer)."""
    if start >= len(buf) or start + len(sound) <= 0:
        return
    a = max(0, start)
    b = min(len(buf), start + len(sound))
    buf[a:b] += gain * sound[a - start:b - start]


def reverb(x, rng, seconds=1.6, wet=0.22, rate=RATE):
    """Convolution with exponentially decaying noise: a soft, roomy tail."""
    n = int(seconds * rate)
    ir = fft_filter(noise(rng, n), high=6000, rate=rate) * env_exp(n, seconds, rate)
    ir[: int(0.012 * rate)] = 0  # a short predelay keeps the attacks clear
    ir /= np.sqrt(np.sum(ir ** 2)) + 1e-12
    size = 1
    while size < len(x) + n:
        size *= 2
    y = np.fft.irfft(np.fft.rfft(x, size) * np.fft.rfft(ir, size), size)[: len(x) + n]
    out = np.zeros(len(x) + n)
    out[: len(x)] += x
    return out + wet * y


def remove_dc(x):
    return x - np.mean(x)


def db(value):
    return 20 * np.log10(max(value, 1e-12))


def peak_db(x):
    return db(np.abs(x).max())


def rms_db(x):
    return db(np.sqrt(np.mean(np.square(x))))
