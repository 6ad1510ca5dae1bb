"""The game's sound effects, each built from arithmetic and a fixed seed.

One shared palette keeps them a family: glassy FM bells for everything that pops or
chimes, soft sine blips for the interface, filtered noise for bursts and rumbles, and
jingles drawn from one major pentatonic around C so they sit together with the music.
"""

import zlib

import numpy as np

from synth import (RATE, bell, env_ad, env_exp, fade_out, fft_filter, kick, midi_hz, mix_at, noise,
                   phase_of, pluck, remove_dc, swept_lowpass_noise, t_axis)


def rng_for(name):
    return np.random.default_rng(zlib.crc32(name.encode("ascii")))


def silence(seconds):
    return np.zeros(int(round(seconds * RATE)))


def add(*parts):
    """Sums sounds of different lengths, padding the shorter ones with silence."""
    out = np.zeros(max(len(p) for p in parts))
    for p in parts:
        out[:len(p)] += p
    return out


def blip(freq, seconds, decay, sweep=0.0):
    t = t_axis(seconds)
    f = freq * (1 + sweep * t / seconds)
    n = len(t)
    return np.sin(phase_of(f)) * env_exp(n, decay) * env_ad(n, 0.0015)


# --- interface ---------------------------------------------------------------------------

def mouse_over_button(rng):
    # a faint upward tick: present but never tiring when the pointer sweeps across a menu
    return add(blip(1760, 0.06, 0.05, sweep=0.15), 0.3 * blip(2637, 0.05, 0.03))


def mouse_down_button(rng):
    x = add(blip(880, 0.09, 0.07, sweep=-0.2), 0.5 * blip(1318.5, 0.07, 0.05))
    tick = fft_filter(noise(rng, len(x)), low=2000, high=8000) * env_exp(len(x), 0.01)
    return x + 0.25 * tick


def hit(rng):
    # the level check of the sound volume: a clear, neutral mallet note
    return add(pluck(midi_hz(76), 0.35, decay=0.3), 0.4 * pluck(midi_hz(83), 0.3, decay=0.25))


# --- shots and flying things ---------------------------------------------------------------

def shot1(rng):
    n = int(0.28 * RATE)
    t = np.arange(n) / RATE
    whoosh = fft_filter(noise(rng, n), low=600, high=5000) * np.sin(np.pi * np.minimum(t / 0.28, 1)) ** 2
    f = 220 + 500 * (1 - np.exp(-t / 0.05))
    tone = np.sin(phase_of(f)) * env_exp(n, 0.15) * env_ad(n, 0.002)
    return 0.5 * whoosh / np.abs(whoosh).max() + 0.8 * tone


def rocket_launch(rng):
    n = int(0.9 * RATE)
    t = np.arange(n) / RATE
    roar = swept_lowpass_noise(rng, n, 400, 5000) * env_ad(n, 0.04) * env_exp(n, 0.9)
    whistle = np.sin(phase_of(300 + 900 * t / 0.9)) * env_ad(n, 0.08) * env_exp(n, 0.8)
    return fade_out(roar / np.abs(roar).max() + 0.3 * whistle, 0.1)


def flying_bonus(rng):
    out = silence(0.7)
    for i, note in enumerate([84, 88, 91, 96, 91, 96]):
        mix_at(out, bell(midi_hz(note), 0.35, decay=0.25, bright=0.7), int(i * 0.065 * RATE), 0.6)
    shimmer = fft_filter(noise(rng, len(out)), low=7000, high=12000) * env_ad(len(out), 0.2) * env_exp(len(out), 0.7)
    return out + 0.08 * shimmer


# --- connections (the glassy pops) -----------------------------------------------------------

def glass_pop(rng, note, bright, extra=()):
    out = silence(0.5)
    pop = fft_filter(noise(rng, int(0.02 * RATE)), low=1500, high=9000) * env_exp(int(0.02 * RATE), 0.015)
    mix_at(out, pop, 0, 0.4)
    mix_at(out, bell(midi_hz(note), 0.5, decay=0.35, bright=bright), 0)
    for delay, n2, gain in extra:
        mix_at(out, bell(midi_hz(n2), 0.5 - delay, decay=0.3, bright=bright), int(delay * RATE), gain)
    return out


def connection(rng):
    return glass_pop(rng, 84, 0.8)


def connection_bonus(rng):
    return glass_pop(rng, 88, 1.3, extra=[(0.05, 95, 0.6)])


def connection_bomb(rng):
    out = glass_pop(rng, 91, 1.5, extra=[(0.04, 96, 0.5)])
    mix_at(out, kick(seconds=0.3, top=120, bottom=55), 0, 0.8)
    return out


# --- bursts ----------------------------------------------------------------------------------

def burst(rng, seconds, cutoff, thump, glass_notes, body=1.0):
    n = int(seconds * RATE)
    crack = swept_lowpass_noise(rng, n, cutoff, cutoff * 0.15) * env_exp(n, seconds * 0.8) * env_ad(n, 0.001)
    out = body * crack / np.abs(crack).max()
    mix_at(out, kick(seconds=min(seconds, 0.5), top=thump * 2.5, bottom=thump), 0, 0.9)
    for i, note in enumerate(glass_notes):  # splinters of the broken balls
        mix_at(out, bell(midi_hz(note), 0.3, decay=0.2, bright=1.2), int((0.015 + 0.03 * i) * RATE), 0.22)
    return fade_out(out, 0.05)


def explosion_small(rng):
    return burst(rng, 0.35, 6000, 90, [96, 100])


def explosion_middle(rng):
    return burst(rng, 0.6, 5000, 70, [91, 96, 100, 103])


def explosion_big(rng):
    return burst(rng, 1.0, 4500, 55, [88, 91, 96, 100, 103, 108])


def explosion_middle_bomb(rng):
    return burst(rng, 1.0, 3500, 50, [79, 84], body=1.3)


def explosion_big_bomb(rng):
    out = burst(rng, 1.7, 3000, 40, [76, 79, 84], body=1.4)
    n = len(out)
    rumble = fft_filter(noise(rng, n), low=25, high=180) * env_ad(n, 0.05) * env_exp(n, 1.7)
    return out + 1.2 * rumble / np.abs(rumble).max()


# --- seamless loops: every part is periodic in the loop length -----------------------------

def periodic_sine(freq, n, phase=0.0):
    cycles = max(1, round(freq * n / RATE))  # a whole number of cycles in the loop
    return np.sin(2 * np.pi * cycles * np.arange(n) / n + phase)


def burning_big_bomb(rng):
    n = int(1.6 * RATE)
    hiss = fft_filter(noise(rng, n), low=2500, high=9000)
    hiss /= np.abs(hiss).max()
    hiss *= 0.55 + 0.25 * periodic_sine(5.0, n) + 0.1 * periodic_sine(13.0, n, 1.0)
    sparks = np.zeros(n)
    for pos in rng.integers(0, n, 90):
        sparks[pos] += rng.uniform(0.3, 1.0) * rng.choice([-1, 1])
    # circular filtering keeps the crackles wrapping round the loop point
    ping = np.zeros(n)
    ping[: int(0.006 * RATE)] = env_exp(int(0.006 * RATE), 0.006)
    sparks = np.fft.irfft(np.fft.rfft(sparks) * np.fft.rfft(ping), n)
    sparks = fft_filter(sparks, low=1200, high=10000)
    return remove_dc(0.35 * hiss + 1.0 * sparks / np.abs(sparks).max())


def rumble_loop(rng, seconds, low_hz, grind, rising):
    n = int(seconds * RATE)
    base = fft_filter(noise(rng, n), low=30, high=low_hz * 3)
    base /= np.abs(base).max()
    drone = periodic_sine(low_hz, n) + 0.4 * periodic_sine(low_hz * 2, n, 0.5)
    grit = fft_filter(noise(rng, n), low=300, high=1500) * (0.5 + 0.5 * periodic_sine(grind, n))
    grit /= np.abs(grit).max()
    out = 0.8 * base + 0.35 * drone + 0.25 * grit
    if rising:
        out += 0.15 * periodic_sine(low_hz * 3, n) * (0.5 + 0.5 * periodic_sine(2.0, n))
    return remove_dc(out)


def balls_down(rng):
    return rumble_loop(rng, 2.0, 55.0, 6.0, False)


def balls_up(rng):
    return rumble_loop(rng, 2.0, 82.5, 9.0, True)


# --- jingles ---------------------------------------------------------------------------------

def jingle(notes, step, decay=0.5, bright=0.9, voice="bell", tail=0.5):
    """notes: midi numbers (a list inside the list is a chord); step: seconds apart."""
    out = silence(step * len(notes) + tail)
    for i, group in enumerate(notes):
        for note in (group if isinstance(group, (list, tuple)) else [group]):
            if note is None:
                continue
            if voice == "bell":
                sound = bell(midi_hz(note), decay + 0.1, decay=decay, bright=bright)
            else:
                sound = pluck(midi_hz(note), decay + 0.1, decay=decay)
            mix_at(out, sound, int(i * step * RATE), 0.6)
    return fade_out(out, 0.05)


def bonus_target(rng):
    return jingle([79, 84, 88, 84], 0.07)


def bonus_x2(rng):
    return jingle([84, 91, 84, 91], 0.08, voice="pluck", decay=0.3)


def bonus_x4(rng):
    return jingle([84, 88, 91, 96], 0.06, voice="pluck", decay=0.35)


def bonus_freeze(rng):
    out = jingle([100, 96, 93, 91, 88], 0.06, decay=0.8, bright=1.4, tail=0.8)
    n = len(out)
    frost = fft_filter(noise(rng, n), low=8000, high=14000) * env_ad(n, 0.05) * env_exp(n, 0.8)
    return out + 0.12 * frost / np.abs(frost).max()


def bonus_small_bomb(rng):
    out = jingle([72, 79, 84], 0.07, voice="pluck", decay=0.3)
    mix_at(out, kick(seconds=0.25, top=160, bottom=70), int(0.21 * RATE), 0.7)
    return out


def bonus_net_expand(rng):
    return jingle([72, 76, 79, 84, 88, 91, 96], 0.035, decay=0.35, bright=0.7)


def bonus_up(rng):
    n = int(0.45 * RATE)
    t = np.arange(n) / RATE
    sweep = np.sin(phase_of(midi_hz(72) * 2 ** (t / 0.45 * 1.0))) * env_ad(n, 0.01) * env_exp(n, 0.6)
    out = np.concatenate([0.4 * sweep, silence(0.4)])
    mix_at(out, bell(midi_hz(96), 0.5, decay=0.4), int(0.4 * RATE), 0.6)
    return fade_out(out, 0.05)


def bonus_paint_rocket(rng):
    out = jingle([[79, 84], 88, [84, 91], 93], 0.08, voice="pluck", decay=0.4)
    n = len(out)
    splash = swept_lowpass_noise(rng, n, 6000, 800) * env_exp(n, 0.4) * env_ad(n, 0.005)
    return out + 0.2 * splash / np.abs(splash).max()


def crystal(rng):
    out = silence(1.4)
    for i, (note, gain) in enumerate([(96, 0.6), (103, 0.45), (100, 0.4), (108, 0.3)]):
        mix_at(out, bell(midi_hz(note) * (1 + 0.002 * i), 1.3 - 0.04 * i, decay=1.1, bright=0.6, ratio=2.0),
               int(0.04 * i * RATE), gain)
    return fade_out(out, 0.1)


def puzzle_down(rng):
    out = silence(0.5)
    mix_at(out, kick(seconds=0.35, top=110, bottom=50), 0, 0.9)
    n = int(0.4 * RATE)
    t = np.arange(n) / RATE
    slide = np.sin(phase_of(midi_hz(67) * 2 ** (-t / 0.4 * 0.5))) * env_exp(n, 0.35) * env_ad(n, 0.01)
    mix_at(out, slide, int(0.03 * RATE), 0.3)
    return fade_out(out, 0.05)


def alarm(rng):
    # two alternating tones, soft-edged squares (odd harmonics only), twice
    out = silence(1.1)
    for i in range(4):
        f = midi_hz(81 if i % 2 == 0 else 76)
        n = int(0.22 * RATE)
        t = np.arange(n) / RATE
        tone = sum(np.sin(2 * np.pi * f * k * t) / k for k in (1, 3, 5, 7))
        tone *= env_ad(n, 0.01)
        mix_at(out, fade_out(tone, 0.02), int(i * 0.25 * RATE), 0.5)
    return out


def game_begin(rng):
    return jingle([72, 76, 79, [72, 76, 84], None, [76, 79, 84, 88]], 0.12, decay=0.9, voice="pluck", tail=1.0)


def level_complete(rng):
    notes = [72, 76, 79, 84, 79, 84, [76, 79, 88], None, [72, 76, 79, 84, 91]]
    return jingle(notes, 0.11, decay=1.0, bright=0.8, tail=1.3)


def game_over(rng):
    notes = [79, 75, 72, 67, None, [60, 63, 67]]
    return jingle(notes, 0.22, decay=1.1, voice="pluck", tail=1.3)


# --- dragon voices: a sung vowel through formant weighting of a harmonic tone ---------------

VOWELS = {"a": ((800, 1.0), (1200, 0.5), (2600, 0.2)), "e": ((450, 1.0), (2000, 0.5), (2700, 0.2)),
          "o": ((450, 1.0), (800, 0.6), (2600, 0.1)), "i": ((300, 1.0), (2300, 0.4), (3000, 0.2))}


def voice(contour, seconds, vowel, vibrato=6.0):
    """contour: (time fraction, midi note) points the pitch glides through."""
    n = int(seconds * RATE)
    t = np.arange(n) / RATE
    xs = [p for p, _ in contour]
    ys = [midi_hz(m) for _, m in contour]
    f0 = np.interp(t / seconds, xs, ys) * (1 + 0.012 * np.sin(2 * np.pi * vibrato * t) * np.minimum(1, t / 0.1))
    ph = phase_of(f0)
    out = np.zeros(n)
    for k in range(1, 30):
        fk = f0 * k
        gain = np.zeros(n)
        for formant, amp in VOWELS[vowel]:
            gain += amp / (1 + ((fk - formant) / (formant * 0.18)) ** 2)
        gain *= fk < RATE * 0.45
        out += gain * np.sin(k * ph) / k ** 0.5
    env = env_ad(n, 0.03) * np.minimum(1, (n - np.arange(n)) / (0.12 * RATE))
    return out * env


def dragon_joy1(rng):
    return voice([(0, 74), (0.35, 81), (1, 79)], 0.45, "a")


def dragon_joy2(rng):
    out = np.concatenate([voice([(0, 76), (1, 83)], 0.2, "e"), silence(0.03), voice([(0, 79), (0.5, 86), (1, 84)], 0.35, "e")])
    return out


def dragon_joy3(rng):
    return voice([(0, 72), (0.5, 84), (0.75, 88), (1, 86)], 0.6, "i", vibrato=8.0)


def dragon_sad(rng):
    return voice([(0, 74), (0.3, 72), (1, 62)], 0.9, "o", vibrato=4.5)


# name, file stem, maker, family, loops
SAMPLES = [
    ("sample_mouse_over_button", "mouse_over_button", mouse_over_button, "ui", False),
    ("sample_mouse_down_button", "mouse_down_button", mouse_down_button, "ui", False),
    ("sample_shot1", "shot1", shot1, "game", False),
    ("sample_rocket_launch", "rocket_launch", rocket_launch, "game", False),
    ("sample_flying_bonus", "flying_bonus", flying_bonus, "game", False),
    ("sample_connection", "connection", connection, "pop", False),
    ("sample_connection_bonus", "connection_bonus", connection_bonus, "pop", False),
    ("sample_connection_bomb", "connection_bomb", connection_bomb, "pop", False),
    ("sample_explosion_small", "explosion_small", explosion_small, "burst", False),
    ("sample_explosion_middle", "explosion_middle", explosion_middle, "burst", False),
    ("sample_explosion_big", "explosion_big", explosion_big, "burst", False),
    ("sample_bonus_target", "bonus_target", bonus_target, "jingle", False),
    ("sample_bonus_x2", "bonus_x2", bonus_x2, "jingle", False),
    ("sample_bonus_x4", "bonus_x4", bonus_x4, "jingle", False),
    ("sample_bonus_freeze", "bonus_freeze", bonus_freeze, "jingle", False),
    ("sample_bonus_small_bomb", "bonus_small_bomb", bonus_small_bomb, "jingle", False),
    ("sample_bonus_net_expand", "bonus_net_expand", bonus_net_expand, "jingle", False),
    ("sample_bonus_up", "bonus_up", bonus_up, "jingle", False),
    ("sample_bonus_paint_rocket", "bonus_paint_rocket", bonus_paint_rocket, "jingle", False),
    ("sample_burning_big_bomb", "burning_big_bomb", burning_big_bomb, "loop", True),
    ("sample_explosion_big_bomb", "explosion_big_bomb", explosion_big_bomb, "burst", False),
    ("sample_explosion_middle_bomb", "explosion_middle_bomb", explosion_middle_bomb, "burst", False),
    ("sample_crystal", "crystal", crystal, "jingle", False),
    ("sample_puzzle_down", "puzzle_down", puzzle_down, "game", False),
    ("sample_game_begin", "game_begin", game_begin, "jingle", False),
    ("sample_game_over", "game_over", game_over, "jingle", False),
    ("sample_level_complete", "level_complete", level_complete, "jingle", False),
    ("sample_alarm", "alarm", alarm, "game", False),
    ("sample_hit", "hit", hit, "ui", False),
    ("sample_dragon_joy1", "dragon_joy1", dragon_joy1, "voice", False),
    ("sample_dragon_joy2", "dragon_joy2", dragon_joy2, "voice", False),
    ("sample_dragon_joy3", "dragon_joy3", dragon_joy3, "voice", False),
    ("sample_dragon_sad", "dragon_sad", dragon_sad, "voice", False),
    ("sample_balls_down", "balls_down", balls_down, "loop", True),
    ("sample_balls_up", "balls_up", balls_up, "loop", True),
]

# Loudness (RMS dBFS) per family: the interface stays well under the game, bursts are loudest.
FAMILY_RMS = {"ui": -30.0, "game": -22.0, "pop": -21.0, "burst": -16.0, "jingle": -21.0, "loop": -24.0,
              "voice": -21.0}
PEAK_CAP = -1.5  # dBFS: headroom so nothing clips after the mixer's own rounding


def render(name, maker, family, loops):
    x = maker(rng_for(name))
    if loops:
        x = remove_dc(x)
    else:
        # silent, click-free ends: a short fade-in guard and a fade-out tail
        x = fade_out(x * env_ad(len(x), 0.001), 0.01)
    x = x / np.abs(x).max()
    if family == "burst":
        # a gentle saturation takes the edge off the transient so the body of the burst is heard
        x = np.tanh(2.5 * x) / np.tanh(2.5)
    gain = 10 ** (FAMILY_RMS[family] / 20) / np.sqrt(np.mean(x ** 2))
    gain = min(gain, 10 ** (PEAK_CAP / 20) / np.abs(x).max())
    return x * gain
