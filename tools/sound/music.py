"""The three pieces of music.

menu    F major, 76 BPM, 32 bars (A A' B A): electric piano, pad, round bass, brushed kit,
        a bell melody. Calm.
puzzle  D dorian, 92 BPM, 32 bars (A A' B A): mallet arpeggios, pad, bass, shaker and rim,
        a sparse piano melody. Thoughtful.
arcade  A minor, 140 BPM, a tracker module of 16 orders of 4 bars each: intro, verse, chorus,
        breakdown (orders 0-11), then from order 12 a brighter C major section the game jumps
        to on even levels. Driving.

The streams are rendered a little past their end; the reverb tail that spills over is folded
back onto the start, so the loop point is seamless.
"""

import numpy as np

import compose as cp
import synth as sy
from xm import Instrument, Module

RATE = sy.RATE

TRACKS = [
    ("music_menu", "menu", "ogg", "calm"),
    ("music_arcade", "arcade", "xm", "driving"),
    ("music_puzzle", "puzzle", "ogg", "thoughtful"),
]

MUSIC_RMS = -22.0  # dBFS: about 6 dB under the bursts, so effects stay on top

CALM_RHYTHMS = [[(0, 6), (6, 2), (8, 8)], [(0, 4), (4, 4), (8, 4), (12, 4)], [(0, 12), (12, 4)],
                [(0, 8), (8, 4), (12, 4)], [(2, 2), (4, 4), (8, 8)]]
CALM_CADENCE = [(0, 4), (4, 12)]


class Score:
    """A stereo buffer with note placement by step."""

    def __init__(self, bpm, bars, seed):
        self.step = 60.0 / bpm / 4
        self.length = int(round(bars * 16 * self.step * RATE))
        self.tail = int(3.0 * RATE)
        self.left = np.zeros(self.length + self.tail)
        self.right = np.zeros(self.length + self.tail)
        self.rng = np.random.default_rng(seed)

    def at(self, step):
        return int(round(step * self.step * RATE))

    def seconds(self, steps):
        return steps * self.step

    def add(self, sound, step, gain, pan=0.0):
        """pan -1 (left) .. 1 (right), constant power."""
        a = (pan + 1) * np.pi / 4
        # a few milliseconds of humanised timing keep the grid from sounding mechanical
        start = self.at(step) + int(self.rng.integers(0, int(0.004 * RATE)))
        sy.mix_at(self.left, sound, start, gain * np.cos(a))
        sy.mix_at(self.right, sound, start, gain * np.sin(a))

    def finish(self, reverb_seed, wet):
        rl = sy.reverb(self.left, np.random.default_rng(reverb_seed), wet=wet)
        rr = sy.reverb(self.right, np.random.default_rng(reverb_seed + 1), wet=wet)
        out = np.stack([rl, rr], axis=1)
        body = out[: self.length].copy()
        spill = out[self.length:]
        body[: len(spill)] += spill  # the end's tail rings on into the start of the loop
        body -= body.mean(axis=0)
        rms = np.sqrt(np.mean(body ** 2))
        body *= 10 ** (MUSIC_RMS / 20) / rms
        peak = np.abs(body).max()
        if peak > 10 ** (-1.5 / 20):
            body *= 10 ** (-1.5 / 20) / peak
        return body


def menu():
    s = Score(76, 32, 11)
    a = ["Fmaj7", "Dm7", "Bbmaj7", "C", "Fmaj7", "Am7", "Bbmaj7", "C7"]
    b = ["Bbmaj7", "C", "Am7", "Dm7", "Gm7", "C", "Fmaj7", "C7"]
    bars = a + a + b + a
    scale = cp.scale_pcs(5, "major")
    rng = np.random.default_rng(1)
    mel_a = cp.melody(rng, a, scale, 69, 84, CALM_RHYTHMS, CALM_CADENCE, 77)
    # the second time round the phrase answers differently in its last four bars
    mel_a2 = [n for n in mel_a if n[0] < 64] + [
        n for n in cp.melody(rng, a, scale, 69, 84, CALM_RHYTHMS, CALM_CADENCE, 72) if n[0] >= 64]
    mel_b = cp.melody(rng, b, scale, 72, 86, CALM_RHYTHMS, CALM_CADENCE, 79)
    melody = mel_a + cp.shift(mel_a2, 128) + cp.shift(mel_b, 256) + cp.shift(mel_a, 384)
    for bar, sym in enumerate(bars):
        base = bar * 16
        chord_notes = cp.voicing(sym, 53)
        for m in chord_notes:  # pad under everything
            s.add(sy.pad(sy.midi_hz(m), s.seconds(16) - 0.1, attack=0.8, release=1.0, harmonics=5),
                  base, 0.05, pan=-0.3 if m % 2 else 0.3)
        for k, m in enumerate(chord_notes + [chord_notes[1] + 12]):  # broken electric piano
            s.add(sy.epiano(sy.midi_hz(m), 2.5, decay=2.2), base + 2 * k + (8 if k >= 2 else 0), 0.12, pan=-0.2)
        root = cp.chord(sym)[0]
        low = 36 + (root - 36) % 12
        s.add(sy.bass(sy.midi_hz(low), s.seconds(7)), base, 0.35)
        s.add(sy.bass(sy.midi_hz(low + 7 if bar % 2 else low), s.seconds(7)), base + 8, 0.28)
        if bar >= 4 and bar < 28 or bar >= 30:  # the kit rests for the opening bars
            s.add(sy.kick(seconds=0.3, top=110, bottom=50), base, 0.35)
            s.add(sy.kick(seconds=0.3, top=110, bottom=50), base + 10, 0.2)
            s.add(sy.snare(s.rng, seconds=0.18, tone=200), base + 4, 0.08)
            s.add(sy.snare(s.rng, seconds=0.18, tone=200), base + 12, 0.08)
            for k in range(0, 16, 2):
                s.add(sy.shaker(s.rng), base + k, 0.05 if k % 4 else 0.08, pan=0.4)
    for step, length, m in melody:
        s.add(sy.bell(sy.midi_hz(m), s.seconds(length) + 0.6, decay=max(0.6, s.seconds(length) * 1.2),
                      bright=0.45, ratio=2.0), step, 0.16, pan=0.15)
    return s.finish(101, 0.3)


def puzzle():
    s = Score(92, 32, 23)
    a = ["Dm7", "Bbmaj7", "Fmaj7", "C", "Dm7", "Gm7", "Bbmaj7", "A7"]
    b = ["Gm7", "Am7", "Bbmaj7", "Fmaj7", "Gm7", "Em7b5", "A7", "A7"]
    bars = a + a + b + a
    scale = cp.scale_pcs(2, "dorian")
    rng = np.random.default_rng(2)
    sparse = [[(0, 8), (8, 8)], [(0, 12), (12, 4)], [(4, 4), (8, 8)], [(0, 6), (6, 6), (12, 4)]]
    mel_a = cp.melody(rng, a, scale, 62, 79, sparse, [(0, 16)], 69)
    mel_b = cp.melody(rng, b, scale, 65, 81, sparse, [(0, 16)], 74)
    melody = cp.shift(mel_a, 128) + cp.shift(mel_b, 256) + cp.shift(mel_a, 384)  # the first A: mallets alone
    arp_shape = [0, 1, 2, 3, 2, 1, 2, 3]
    for bar, sym in enumerate(bars):
        base = bar * 16
        notes = cp.voicing(sym, 57)
        for k in range(16 if bar >= 2 else 8):  # eighth notes, answered an octave up
            m = notes[arp_shape[k % 8] % len(notes)] + (12 if k >= 8 and bar % 2 else 0)
            s.add(sy.pluck(sy.midi_hz(m), 0.9, decay=0.7), base + 2 * (k % 8), 0.13 if k % 2 == 0 else 0.09,
                  pan=-0.35 + 0.1 * (k % 4))
        for m in notes[:3]:
            s.add(sy.pad(sy.midi_hz(m - 12), s.seconds(16) - 0.1, attack=1.0, release=1.2, harmonics=4),
                  base, 0.045, pan=0.3)
        root = cp.chord(sym)[0]
        low = 38 + (root - 38) % 12
        s.add(sy.bass(sy.midi_hz(low), s.seconds(10), bright=0.2), base, 0.4)
        s.add(sy.bass(sy.midi_hz(low + 12 if bar % 2 else low + 7), s.seconds(5), bright=0.2), base + 10, 0.25)
        if bar >= 8:
            s.add(sy.kick(seconds=0.25, top=100, bottom=48), base, 0.3)
            s.add(sy.snare(s.rng, seconds=0.08, tone=330), base + 8, 0.06, pan=-0.2)
            for k in range(0, 16, 2):
                s.add(sy.shaker(s.rng, seconds=0.07), base + k + 1, 0.05, pan=0.45)
    for step, length, m in melody:
        s.add(sy.epiano(sy.midi_hz(m), s.seconds(length) + 0.8, decay=max(1.0, s.seconds(length) * 1.5)),
              step, 0.14, pan=0.1)
    return s.finish(202, 0.35)


def render_stream(stem):
    return {"menu": menu, "puzzle": puzzle}[stem]()


# --- the arcade module ------------------------------------------------------------------------

DRIVE_RHYTHMS = [[(0, 2), (2, 2), (4, 4), (8, 2), (10, 2), (12, 4)], [(0, 3), (3, 3), (6, 2), (8, 4), (12, 4)],
                 [(0, 4), (4, 2), (6, 2), (8, 6), (14, 2)], [(0, 2), (2, 4), (6, 2), (8, 2), (10, 6)]]
DRIVE_CADENCE = [(0, 4), (4, 4), (8, 8)]

K, S, H, O, BASS, LEAD, ARP, PAD = range(8)  # channels and instrument numbers - 1
CHANNELS = 8
# level of each instrument in the mix (a note's volume column is its accent times this)
MIX = {K: 0.62, S: 0.5, H: 0.45, O: 0.35, BASS: 0.6, LEAD: 0.5, ARP: 0.38, PAD: 0.3}


def arcade_instruments():
    rng = np.random.default_rng(31)
    drum_rate = 8363 * 4  # played at C-4 with relative note +24: the recorded speed
    kick = sy.kick(rate=drum_rate, seconds=0.28, top=160, bottom=50)
    snare = sy.snare(rng, rate=drum_rate, seconds=0.2, tone=210)
    hat = sy.hat(rng, rate=drum_rate, seconds=0.05, low=7000)
    ohat = sy.hat(rng, rate=drum_rate, seconds=0.25, low=5000)
    n = 256  # one cycle; relative note +36 makes C-4 sound at middle C
    ph = 2 * np.pi * np.arange(n) / n
    bass_wave = sum(np.sin(k * ph) / k ** 1.1 for k in range(1, 14)) + 0.6 * np.sin(ph)
    lead_wave = sum(np.sin(np.pi * k * 0.3) * np.sin(k * ph) / k for k in range(1, 12))
    arp_wave = sum(np.sin(k * ph) / k ** 2 * (1 if k % 2 else 0.3) for k in range(1, 10))
    pad_wave = sum(np.sin(k * ph) / k for k in range(1, 8))
    return [
        Instrument("kick", kick, 24, pan=128),
        Instrument("snare", snare, 24, pan=120),
        Instrument("hat", hat, 24, pan=170),
        Instrument("open hat", ohat, 24, pan=90),
        Instrument("bass", bass_wave, 36, pan=128, loop=True,
                   envelope=[(0, 64), (6, 48), (40, 40)], sustain=2, fadeout=4000),
        Instrument("lead", lead_wave, 36, pan=140, loop=True,
                   envelope=[(0, 0), (2, 64), (14, 48), (60, 40)], sustain=3, fadeout=1500, vibrato=(0, 8, 3, 14)),
        Instrument("arp", arp_wave, 36, pan=80, loop=True,
                   envelope=[(0, 64), (5, 32), (18, 10), (40, 0)]),
        Instrument("pad", pad_wave, 36, pan=128, loop=True,
                   envelope=[(0, 0), (30, 48), (80, 56)], sustain=2, fadeout=700),
    ]


def arcade_pattern(rng, chords, scale, drums, lead=None, arp=True, pad=False, bass_style="eighths", fill=False):
    """chords: one symbol per bar (4 bars = 64 rows); returns a 64 x CHANNELS grid of cells."""
    rows = [[None] * CHANNELS for _ in range(64)]

    def put(row, ch, midi, ins, vol=64, fx=None):
        # the volume column sets the note's level outright, so the mix balance lives here
        rows[row][ch] = (midi, ins, int(round(vol * MIX[ins - 1])), fx)

    for bar, sym in enumerate(chords):
        base = bar * 16
        root = cp.chord(sym)[0]
        low = 33 + (root - 33) % 12  # bass from A1 up
        if drums == "full":
            for r in (0, 4, 8, 12):
                put(base + r, K, 60, K + 1)
            put(base + 4, S, 60, S + 1)
            put(base + 12, S, 60, S + 1)
            for r in range(2, 16, 4):
                put(base + r, H, 60, H + 1, 40)
            put(base + 14, O, 60, O + 1, 30)
            if fill and bar == 3:
                for r in (10, 11, 13, 14, 15):
                    put(base + r, S, 60, S + 1, 30 + 6 * (r - 10))
        elif drums == "half":
            put(base, K, 60, K + 1)
            put(base + 8, S, 60, S + 1, 44)
            for r in range(0, 16, 4):
                put(base + r + 2, H, 60, H + 1, 24)
        elif drums == "kick":
            for r in (0, 4, 8, 12):
                put(base + r, K, 60, K + 1, 48)
        if bass_style == "eighths":
            for r in range(0, 16, 2):
                put(base + r, BASS, low + (12 if r in (6, 14) else 0), BASS + 1, 48 if r % 4 == 0 else 38)
        elif bass_style == "long":
            put(base, BASS, low, BASS + 1, 48)
            put(base + 8, BASS, low + 7, BASS + 1, 40)
        notes = cp.voicing(sym, 64)
        if arp:
            shape = [0, 1, 2, 1, 0, 2, 1, 2]
            for r in range(0, 16, 2):
                m = notes[shape[r // 2] % len(notes)] + (12 if r >= 8 else 0)
                put(base + r, ARP, m, ARP + 1, 40 if r % 4 == 0 else 30)
        if pad:
            put(base, PAD, notes[1] - 12, PAD + 1, 50)
    if lead:
        for step, length, m in lead:
            put(step, LEAD, m, LEAD + 1, 60)
            if step + length < 64 and rows[step + length][LEAD] is None:
                rows[step + length][LEAD] = ("off", None, None, None)
    return rows


def build_module(stem):
    assert stem == "arcade"
    rng = np.random.default_rng(41)
    minor = cp.scale_pcs(9, "minor")
    major = cp.scale_pcs(0, "major")
    verse = ["Am", "F", "C", "G"]
    verse2 = ["Am", "F", "C", "E"]
    chorus = ["F", "G", "Am", "Am"]
    chorus2 = ["F", "G", "E", "E"]
    low_down = ["Dm", "Am", "Dm", "E"]
    bright = ["C", "G", "Am", "F"]
    bright2 = ["Dm", "F", "G", "G"]
    mel = lambda chords, lo, hi, start: cp.melody(rng, chords, minor, lo, hi, DRIVE_RHYTHMS, DRIVE_CADENCE, start)
    lead_v1 = mel(verse, 64, 79, 69)
    lead_v2 = lead_v1[: len([n for n in lead_v1 if n[0] < 32])] + [n for n in mel(verse2, 64, 79, 72) if n[0] >= 32]
    lead_c1 = mel(chorus, 69, 84, 76)
    lead_c2 = mel(chorus2, 69, 84, 76)
    lead_b1 = cp.melody(rng, bright, major, 67, 86, DRIVE_RHYTHMS, DRIVE_CADENCE, 76)
    lead_b2 = cp.melody(rng, bright2, major, 67, 86, DRIVE_RHYTHMS, DRIVE_CADENCE, 79)
    patterns = [
        arcade_pattern(rng, verse, minor, "kick", arp=False),                          # 0 intro
        arcade_pattern(rng, verse, minor, "full", lead=lead_v1),                        # 1 verse
        arcade_pattern(rng, verse2, minor, "full", lead=lead_v2, fill=True),            # 2 verse, turn
        arcade_pattern(rng, chorus, minor, "full", lead=lead_c1, pad=True),             # 3 chorus
        arcade_pattern(rng, chorus2, minor, "full", lead=lead_c2, pad=True, fill=True), # 4 chorus, turn
        arcade_pattern(rng, low_down, minor, "half", pad=True, bass_style="long"),      # 5 breakdown
        arcade_pattern(rng, bright, major, "full", lead=lead_b1, pad=True),             # 6 bright
        arcade_pattern(rng, bright2, major, "full", lead=lead_b2, pad=True, fill=True), # 7 bright, turn
        arcade_pattern(rng, bright, major, "half", pad=True, bass_style="long"),        # 8 bright, breath
    ]
    orders = [0, 1, 2, 3, 4, 5, 1, 2, 3, 4, 3, 4,   # the first section
              6, 7, 8, 7]                           # order 12 on: the even levels' section
    return Module("quibblestar arcade", CHANNELS, speed=6, bpm=140, orders=orders, patterns=patterns,
                  instruments=arcade_instruments()).to_bytes()
