#!/usr/bin/env python3
"""Writes data/Reload.wav, the short chime of the about box and its links:
8-bit unsigned mono PCM at 11025 samples per second in the canonical 44-byte
RIFF WAVE layout (the layout the trainer's sound files use)."""
import math
import struct
import sys

RATE = 11025


def chime():
    samples = []
    # Two short notes, a fifth apart, each with a quick rise and a decay.
    for freq, length in ((880.0, 0.07), (1320.0, 0.13)):
        n = int(RATE * length)
        for i in range(n):
            t = i / RATE
            rise = min(1.0, i / 40.0)
            decay = math.exp(-t * 28.0)
            value = 0.55 * rise * decay * math.sin(2 * math.pi * freq * t)
            samples.append(max(0, min(255, int(round(128 + 127 * value)))))
    samples.extend([128] * 60)
    return bytes(samples)


def wave(data):
    header = b"RIFF" + struct.pack("<I", 36 + len(data)) + b"WAVE"
    header += b"fmt " + struct.pack("<IHHIIHH", 16, 1, 1, RATE, RATE, 1, 8)
    header += b"data" + struct.pack("<I", len(data))
    assert len(header) == 44
    return header + data


if __name__ == "__main__":
    target = sys.argv[1] if len(sys.argv) > 1 else "data/Reload.wav"
    with open(target, "wb") as f:
        f.write(wave(chime()))
