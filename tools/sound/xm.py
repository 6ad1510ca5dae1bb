"""A small writer of FastTracker 2 modules (.xm, version 0x0104): 16-bit delta-coded samples,
volume envelopes, packed patterns. Notes are given as MIDI numbers (60 = middle C)."""

import struct

import numpy as np


def pad(text, size):
    data = text.encode("ascii")[:size]
    return data + b"\0" * (size - len(data))


class Instrument:
    def __init__(self, name, wave, relative_note, volume=64, pan=128, loop=False, envelope=None,
                 sustain=None, fadeout=0, vibrato=None):
        self.name, self.wave, self.relative_note = name, np.asarray(wave, dtype=np.float64), relative_note
        self.volume, self.pan, self.loop = volume, pan, loop
        self.envelope, self.sustain, self.fadeout = envelope or [], sustain, fadeout
        self.vibrato = vibrato or (0, 0, 0, 0)  # type, sweep, depth, rate

    def to_bytes(self):
        x = self.wave / (np.abs(self.wave).max() + 1e-12) * 0.95
        pcm = np.round(x * 32767).astype(np.int64)
        deltas = np.diff(np.concatenate([[0], pcm])) & 0xFFFF
        data = deltas.astype("<u2").tobytes()
        env = b"".join(struct.pack("<HH", x, y) for x, y in self.envelope) + bytes(48 - 4 * len(self.envelope))
        vol_type = (1 if self.envelope else 0) | (2 if self.sustain is not None else 0)
        head = pad(self.name, 22) + bytes([0]) + struct.pack("<H", 1) + struct.pack("<I", 40)
        head += bytes(96)                                   # every note uses sample 0
        head += env + bytes(48)                             # volume envelope, no panning envelope
        head += bytes([len(self.envelope), 0, self.sustain or 0, 0, 0, 0, 0, 0, vol_type, 0])
        head += bytes(self.vibrato)
        head += struct.pack("<H", self.fadeout) + bytes(22)
        instrument = struct.pack("<I", 4 + len(head)) + head
        length = len(data)
        loop_start, loop_len, kind = (0, length, 0x11) if self.loop else (0, 0, 0x10)
        sample = struct.pack("<III", length, loop_start, loop_len)
        sample += struct.pack("<BbBBbB", self.volume, 0, kind, self.pan, self.relative_note, 0) + pad(self.name, 22)
        return instrument + sample + data


def xm_note(midi):
    note = midi - 11  # XM note 49 (C-4) is MIDI 60 with these samples' relative notes
    if not 1 <= note <= 96:
        raise ValueError("note %d out of range" % midi)
    return note


def pack_pattern(rows, channels):
    data = bytearray()
    for row in rows:
        assert len(row) == channels
        for cell in row:
            if cell is None:
                data.append(0x80)
                continue
            note, ins, vol, fx = cell
            flags, body = 0x80, bytearray()
            if note is not None:
                flags |= 1
                body.append(97 if note == "off" else xm_note(note))
            if ins:
                flags |= 2
                body.append(ins)
            if vol is not None:
                flags |= 4
                body.append(0x10 + vol)
            if fx:
                flags |= 8 | 16
                body += bytes(fx)
            data.append(flags)
            data += body
    return struct.pack("<IBHH", 9, 0, len(rows), len(data)) + bytes(data)


class Module:
    def __init__(self, title, channels, speed, bpm, orders, patterns, instruments, restart=0):
        self.title, self.channels, self.speed, self.bpm = title, channels, speed, bpm
        self.orders, self.patterns, self.instruments, self.restart = orders, patterns, instruments, restart

    def to_bytes(self):
        head = b"Extended Module: " + pad(self.title, 20) + b"\x1a" + pad("tools/sound", 20)
        head += struct.pack("<H", 0x0104)
        body = struct.pack("<HHHHHHHH", len(self.orders), self.restart, self.channels, len(self.patterns),
                           len(self.instruments), 1, self.speed, self.bpm)  # flag 1: linear frequencies
        body += bytes(self.orders) + bytes(256 - len(self.orders))
        out = head + struct.pack("<I", 4 + len(body)) + body
        for rows in self.patterns:
            out += pack_pattern(rows, self.channels)
        for ins in self.instruments:
            out += ins.to_bytes()
        return out
