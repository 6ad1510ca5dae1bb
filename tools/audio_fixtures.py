#!/usr/bin/env python3
"""Writes the tiny synthesised sounds the audio backend tests play.

    tools/audio_fixtures.py [OUT_DIR]    (default: tests/audio/fixtures)

tone.xm   a two-channel tracker module: 2 patterns of 8 rows, 16 orders (so order 12
          exists), one looped 8-bit square-ish wave instrument; speed 3, 125 BPM.
tone.ogg  two seconds of a soft two-note sine chord, mono 22050 Hz; needs `oggenc`
          (Debian package vorbis-tools) to encode the WAV it synthesises.

Everything is generated here from arithmetic; nothing is sampled from elsewhere.
The output is deterministic for the XM; oggenc output may differ between versions.
"""

import math
import os
import struct
import subprocess
import sys
import tempfile

ROWS = 8
CHANNELS = 2
ORDERS = [0, 1] * 8  # 16 entries
NOTE_C4 = 49


def pad(text, size):
    data = text.encode("ascii")
    return data[:size] + b"\0" * (size - len(data[:size]))


def xm_header(pattern_count, instrument_count):
    head = b"Extended Module: " + pad("quibblestar test", 20) + b"\x1a" + pad("audio_fixtures.py", 20)
    head += struct.pack("<H", 0x0104)
    order_table = bytes(ORDERS) + b"\0" * (256 - len(ORDERS))
    body = struct.pack("<HHHHHHHH", len(ORDERS), 0, CHANNELS, pattern_count, instrument_count,
                       1, 3, 125) + order_table
    return head + struct.pack("<I", 4 + len(body)) + body


def xm_pattern(notes):
    """notes: one (channel 0 note, channel 1 note) pair per row; 0 = empty cell."""
    data = b""
    for row in notes:
        for note in row:
            if note:
                data += bytes([note, 1, 0, 0, 0])  # note, instrument 1, no volume, no effect
            else:
                data += b"\x80"  # packed cell with nothing in it
    return struct.pack("<IBHH", 9, 0, len(notes), len(data)) + data


def xm_instrument():
    cycle = 32
    wave = [int(round(90 * math.sin(2 * math.pi * i / cycle) + 20 * math.sin(6 * math.pi * i / cycle)))
            for i in range(cycle)]
    deltas, previous = [], 0
    for value in wave:
        deltas.append((value - previous) & 0xFF)
        previous = value
    header = pad("tone", 22) + bytes([0]) + struct.pack("<H", 1)
    header += struct.pack("<I", 40)           # sample header size
    header += bytes(96)                       # every note uses sample 0
    header += bytes(48) + bytes(48)           # no envelopes
    header += bytes(14)                       # envelope counts, sustain/loop points, types, vibrato
    header += struct.pack("<H", 0)            # fade-out
    header += bytes(22)                       # reserved
    instrument = struct.pack("<I", 4 + len(header)) + header
    sample = struct.pack("<III", cycle, 0, cycle)          # length, loop start, loop length
    sample += bytes([48, 0, 1, 128, 0, 0]) + pad("tone", 22)  # volume, finetune, forward loop
    return instrument + sample + bytes(deltas)


def make_xm():
    up = [(NOTE_C4 + step, NOTE_C4 - 12 if i % 4 == 0 else 0) for i, step in enumerate([0, 4, 7, 12, 7, 4, 0, 4])]
    down = [(NOTE_C4 + step, NOTE_C4 - 17 if i % 4 == 0 else 0) for i, step in enumerate([5, 9, 12, 17, 12, 9, 5, 9])]
    return xm_header(2, 1) + xm_pattern(up) + xm_pattern(down) + xm_instrument()


def make_wav(path, seconds=2.0, rate=22050):
    frames = int(seconds * rate)
    samples = bytearray()
    for i in range(frames):
        t = i / rate
        envelope = min(1.0, t * 20, (seconds - t) * 20)
        value = 0.25 * envelope * (math.sin(2 * math.pi * 330 * t) + math.sin(2 * math.pi * 440 * t))
        samples += struct.pack("<h", int(round(value * 32767)))
    with open(path, "wb") as out:
        out.write(b"RIFF" + struct.pack("<I", 36 + len(samples)) + b"WAVE")
        out.write(b"fmt " + struct.pack("<IHHIIHH", 16, 1, 1, rate, rate * 2, 2, 16))
        out.write(b"data" + struct.pack("<I", len(samples)) + samples)


def main():
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "tests", "audio", "fixtures")
    os.makedirs(out_dir, exist_ok=True)
    with open(os.path.join(out_dir, "tone.xm"), "wb") as out:
        out.write(make_xm())
    with tempfile.TemporaryDirectory() as work:
        wav = os.path.join(work, "tone.wav")
        make_wav(wav)
        subprocess.run(["oggenc", "--quiet", "-q", "0", "-o", os.path.join(out_dir, "tone.ogg"), wav],
                       check=True)


if __name__ == "__main__":
    main()
