#!/usr/bin/env python3
"""Writes the game's sound effects and music under data/ and the two lists naming them.

    tools/sound/generate [--data DIR] [--shots DIR]

data/sound/*.wav     the samples (16-bit mono 44100 Hz), listed in data/sound.ini
data/music/*.ogg     menu and puzzle music (Vorbis, via oggenc with a fixed serial number)
data/music/*.xm      the arcade music, a tracker module written here byte by byte
data/music.ini       the three music entries, all looping

Every random choice comes from a fixed seed, so two runs write the same bytes (with the
same oggenc). At the end it prints each file's peak, RMS and length, and fails when a file
clips (peak above -1 dBFS), when a loop's ends do not meet, or when the audio passes 8 MB.
"""

import argparse
import os
import shutil
import struct
import subprocess
import sys
import tempfile

import numpy as np

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import samples  # noqa: E402
from synth import RATE, peak_db, rms_db  # noqa: E402

MAX_BYTES = 8 * 1024 * 1024


def wav_bytes(x, rate=RATE, channels=1):
    pcm = np.round(np.clip(x, -1, 1) * 32767).astype("<i2").tobytes()
    head = b"RIFF" + struct.pack("<I", 36 + len(pcm)) + b"WAVE"
    head += b"fmt " + struct.pack("<IHHIIHH", 16, 1, channels, rate, rate * 2 * channels, 2 * channels, 16)
    return head + b"data" + struct.pack("<I", len(pcm)) + pcm


def read_wav(path):
    with open(path, "rb") as f:
        data = f.read()
    channels, rate = struct.unpack("<HI", data[22:28])
    pos = 12
    while pos < len(data):
        tag, size = data[pos:pos + 4], struct.unpack("<I", data[pos + 4:pos + 8])[0]
        if tag == b"data":
            pcm = np.frombuffer(data[pos + 8:pos + 8 + size], "<i2").astype(np.float64) / 32768.0
            return pcm.reshape(-1, channels), rate
        pos += 8 + size + (size & 1)
    raise ValueError(path + ": no data chunk")


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def encode_ogg(path, stereo, quality, serial):
    with tempfile.TemporaryDirectory() as work:
        wav = os.path.join(work, "music.wav")
        write(wav, wav_bytes(stereo.reshape(-1), channels=stereo.shape[1]))
        # a fixed serial number keeps the stream bytes the same from run to run
        subprocess.run(["oggenc", "--quiet", "-q", str(quality), "--serial", str(serial),
                        "-o", path, wav], check=True)


def decode_ogg(path):
    with tempfile.TemporaryDirectory() as work:
        wav = os.path.join(work, "out.wav")
        subprocess.run(["oggdec", "--quiet", "-o", wav, path], check=True)
        return read_wav(wav)


def render_xm(path):
    """Renders a module with the xmp player when it is installed, for the table only."""
    if not shutil.which("xmp"):
        return None
    with tempfile.TemporaryDirectory() as work:
        wav = os.path.join(work, "out.wav")
        subprocess.run(["xmp", "--quiet", "-o", wav, "-f", "44100", path], check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return read_wav(wav)


def write_list(path, header, lines):
    with open(path, "w", newline="\r\n") as f:
        f.write("\n".join(header + lines) + "\n")


def loop_seam_jump(x):
    """How far the last sample is from the first, against the typical step inside: a loop
    whose ends meet steps across the seam like it steps anywhere else."""
    x = x.reshape(len(x), -1)
    seam = np.abs(x[0] - x[-1]).max()
    steps = np.abs(np.diff(x, axis=0)).max(axis=1)
    return seam / (np.percentile(steps, 99.9) + 1e-9)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--data", default=os.path.join(HERE, "..", "..", "data"))
    ap.add_argument("--shots", default=None, help="write waveform/spectrogram PNGs here")
    ap.add_argument("--no-music", action="store_true", help="samples only (quicker while tuning)")
    args = ap.parse_args()
    root = os.path.abspath(args.data)
    problems = []
    rows = []

    sound_dir = os.path.join(root, "sound")
    if os.path.isdir(sound_dir):
        shutil.rmtree(sound_dir)
    entries = []
    rendered = {}
    for name, stem, maker, family, loops in samples.SAMPLES:
        x = samples.render(name, maker, family, loops)
        rel = "sound/%s.wav" % stem
        write(os.path.join(root, rel), wav_bytes(x))
        entries.append("%s, sound\\%s.wav%s" % (name, stem, ", loop" if loops else ""))
        rendered[stem] = x
        pcm, _ = read_wav(os.path.join(root, rel))
        rows.append((rel, family, pcm, loops))
    write_list(os.path.join(root, "sound.ini"),
               ["; sound effects: name, file[, loop]; written by tools/sound/generate"], entries)

    if not args.no_music:
        import music  # noqa: E402  (numpy-heavy; skipped with --no-music)
        music_dir = os.path.join(root, "music")
        if os.path.isdir(music_dir):
            shutil.rmtree(music_dir)
        os.makedirs(music_dir)
        lines = []
        for serial, (name, stem, kind, mood) in enumerate(music.TRACKS, start=1):
            rel = "music/%s.%s" % (stem, kind)
            path = os.path.join(root, rel)
            if kind == "ogg":
                stereo = music.render_stream(stem)
                encode_ogg(path, stereo, 2, serial)
                pcm, _ = decode_ogg(path)
            else:
                write(path, music.build_module(stem))
                pcm = render_xm(path)
                pcm = pcm[0] if pcm is not None else None
            lines.append("%s, music\\%s.%s, loop" % (name, stem, kind))
            if pcm is not None:
                rows.append((rel, "music", pcm, kind == "ogg"))
            else:
                print("(xmp not installed: %s not measured)" % rel)
        write_list(os.path.join(root, "music.ini"),
                   ["; music: name, file, loop; written by tools/sound/generate"], lines)

    print("%-34s %-7s %9s %9s %8s" % ("file", "family", "peak dB", "RMS dB", "seconds"))
    for rel, family, pcm, loops in rows:
        peak, rms = peak_db(pcm), rms_db(pcm)
        print("%-34s %-7s %9.1f %9.1f %8.2f" % (rel, family, peak, rms, len(pcm) / RATE))
        if peak > -1.0:
            problems.append("%s clips: peak %.2f dBFS" % (rel, peak))
        if abs(float(np.mean(pcm))) > 0.002:
            problems.append("%s has a DC offset of %.4f" % (rel, float(np.mean(pcm))))
        if loops and loop_seam_jump(pcm) > 1.0:
            problems.append("%s: the loop's ends do not meet" % rel)
        if not loops and family != "music" and max(abs(pcm[0]).max(), abs(pcm[-1]).max()) > 0.002:
            problems.append("%s does not start and end in silence" % rel)
    by_family = {}
    for rel, family, pcm, _ in rows:
        by_family.setdefault(family, []).append(rms_db(pcm))
    print("mean RMS by family: " + ", ".join("%s %.1f" % (k, np.mean(v)) for k, v in sorted(by_family.items())))

    total = 0
    for d in ("sound", "music"):
        for dirpath, _, files in os.walk(os.path.join(root, d)):
            total += sum(os.path.getsize(os.path.join(dirpath, f)) for f in files)
    print("audio on disk: %.2f MB" % (total / 1048576.0))
    if total > MAX_BYTES:
        problems.append("audio is %.2f MB, the limit is 8 MB" % (total / 1048576.0))

    if args.shots:
        import shots  # noqa: E402
        shots.write_all(args.shots, rows)

    for p in problems:
        print("problem: " + p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
