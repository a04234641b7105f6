#!/usr/bin/env python3
"""Writes resources/samples/a4.wav: two seconds of an A4 (440 Hz) with
harmonics, 44100 Hz stereo 16-bit PCM, the sample the analyzer runs on.

Usage: tools/make-sample.py [--seconds S] [OUTPUT.wav]
"""
import argparse
import math
import os
import struct
import wave

RATE = 44100
SECONDS = 2.0
FREQ_HZ = 440.0
# Relative amplitudes of harmonics 1, 2, 3, ...: a plucked-string-like tone.
HARMONICS = [1.0, 0.55, 0.35, 0.22, 0.15, 0.08]
PEAK = 0.5 * 32767


def sample(i):
    t = i / RATE
    attack = min(1.0, t / 0.02)
    envelope = attack * math.exp(-0.6 * t)
    value = sum(a * math.sin(2 * math.pi * FREQ_HZ * (h + 1) * t)
                for h, a in enumerate(HARMONICS))
    return envelope * value / sum(HARMONICS) * 2.0


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    parser = argparse.ArgumentParser(description="Writes the A4 sample WAV.")
    parser.add_argument("--seconds", type=float, default=SECONDS)
    parser.add_argument("output", nargs="?",
                        default=os.path.join(root, "resources", "samples", "a4.wav"))
    args = parser.parse_args()
    out = args.output
    frames = bytearray()
    for i in range(int(RATE * args.seconds)):
        v = sample(i) * PEAK
        left = max(-32768, min(32767, round(v)))
        right = max(-32768, min(32767, round(0.8 * v)))
        frames += struct.pack("<hh", left, right)
    with wave.open(out, "wb") as w:
        w.setnchannels(2)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(bytes(frames))
    print(out)


if __name__ == "__main__":
    main()
