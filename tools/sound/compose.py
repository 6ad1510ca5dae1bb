"""Shared composition helpers: chords, scales and a small melody writer.

Time is counted in sixteenth-note steps, 16 to a 4/4 bar. A melody is a list of
(step, length in steps, midi note). The writer lands on chord tones at strong steps,
moves by scale steps between them, prefers small leaps, and repeats each section's
rhythm motif so a phrase sounds like a phrase rather than a dice roll.
"""

import numpy as np

CHORD_TYPES = {"": (0, 4, 7), "m": (0, 3, 7), "7": (0, 4, 7, 10), "m7": (0, 3, 7, 10),
               "maj7": (0, 4, 7, 11), "sus4": (0, 5, 7), "m7b5": (0, 3, 6, 10), "add9": (0, 4, 7, 14)}
NOTE_NAMES = {"C": 0, "Db": 1, "D": 2, "Eb": 3, "E": 4, "F": 5, "Gb": 6, "G": 7, "Ab": 8, "A": 9,
              "Bb": 10, "B": 11}


def chord(symbol):
    """'Dm7' -> (root pitch class, intervals)."""
    root = symbol[:2] if len(symbol) > 1 and symbol[1] == "b" else symbol[:1]
    return NOTE_NAMES[root], CHORD_TYPES[symbol[len(root):]]


def chord_pcs(symbol):
    root, ivs = chord(symbol)
    return {(root + i) % 12 for i in ivs}


def voicing(symbol, low):
    """Chord notes stacked upwards from the first root at or above `low`."""
    root, ivs = chord(symbol)
    base = low + (root - low) % 12
    return [base + i for i in ivs]


def scale_pcs(tonic, mode):
    steps = {"major": (0, 2, 4, 5, 7, 9, 11), "minor": (0, 2, 3, 5, 7, 8, 10),
             "dorian": (0, 2, 3, 5, 7, 9, 10)}[mode]
    return {(tonic + s) % 12 for s in steps}


def pick(rng, candidates, prev, spread=2.5, avoid_repeat=True):
    c = np.array(sorted(candidates))
    w = np.exp(-np.abs(c - prev) / spread)
    if avoid_repeat and len(c) > 1:
        w[c == prev] *= 0.12
    return int(rng.choice(c, p=w / w.sum()))


def melody(rng, chords, scale, low, high, rhythms, cadence, start):
    """One section's melody. chords: a symbol per bar; rhythms: bar rhythms as (step, length)
    lists; cadence: the rhythm of every fourth bar, ending on a long chord tone."""
    # two different bar rhythms alternate: the motif and its answer
    motif = [rhythms[int(i)] for i in rng.choice(len(rhythms), size=2, replace=False)]
    notes, prev = [], start
    for bar, sym in enumerate(chords):
        pcs = chord_pcs(sym)
        rhythm = cadence if bar % 4 == 3 else motif[bar % 2]
        for i, (pos, length) in enumerate(rhythm):
            last = bar % 4 == 3 and i == len(rhythm) - 1
            strong = pos % 8 == 0 or last
            pool = pcs if strong else scale
            cands = [m for m in range(low, high + 1) if m % 12 in pool]
            if last:  # phrase ends rest on the root or third
                root = chord(sym)[0]
                cands = [m for m in cands if (m - root) % 12 in (0, 3, 4)] or cands
            if not strong:  # passing notes move by step, leaps belong to the strong beats
                near = [m for m in cands if 0 < abs(m - prev) <= 4]
                cands = near or cands
            prev = pick(rng, cands, prev, spread=2.0 if strong else 1.5)
            notes.append((bar * 16 + pos, length, prev))
    return notes


def shift(notes, steps):
    return [(s + steps, l, m) for s, l, m in notes]
