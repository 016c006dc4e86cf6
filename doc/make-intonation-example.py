#!/usr/bin/env python3
"""Writes the recording behind doc/intonation-example.png: a D major scale
played with vibrato, three notes of it out of tune, as a 16-bit mono WAV.

    python3 doc/make-intonation-example.py scale.wav
    zelvo-analyze --notes --plot doc/intonation-example.png scale.wav
"""
import math
import struct
import sys
import wave

RATE = 11025
A4 = 440.0

# (MIDI note, seconds, cents off at the start, cents off at the end)
NOTES = [
    (62, 1.4, 0, 0),     # D4
    (64, 1.4, 0, 0),     # E4
    (66, 1.4, 14, 14),   # F#4, a sharp leading tone
    (67, 1.4, -12, 2),   # G4, found late
    (69, 1.4, 0, 0),     # A4
    (71, 1.4, 0, 0),     # B4
    (73, 1.4, -16, -16), # C#5, flat
    (74, 2.0, 0, 0),     # D5
]
GAP = 0.25           # seconds of silence between notes
VIBRATO_HZ = 5.0
VIBRATO_CENTS = 20.0
VIBRATO_DELAY = 0.35  # the player starts each note straight
# A bowed-string-like spectrum: strong low partials, weaker high ones.
PARTIALS = [1.0, 0.6, 0.45, 0.3, 0.2, 0.12]


def note_samples(midi, seconds, start_off, end_off):
    count = int(seconds * RATE)
    phase = 0.0
    out = []
    for i in range(count):
        t = i / RATE
        progress = i / count
        cents = start_off + (end_off - start_off) * min(1.0, progress * 2.0)
        if t > VIBRATO_DELAY:
            depth = VIBRATO_CENTS * min(1.0, (t - VIBRATO_DELAY) / 0.3)
            cents += depth * math.sin(2.0 * math.pi * VIBRATO_HZ * (t - VIBRATO_DELAY))
        frequency = A4 * 2.0 ** ((midi - 69) / 12.0 + cents / 1200.0)
        phase += 2.0 * math.pi * frequency / RATE
        envelope = min(1.0, t / 0.05, (seconds - t) / 0.08)
        value = sum(a * math.sin(k * phase) for k, a in enumerate(PARTIALS, start=1))
        out.append(0.3 * envelope * value / sum(PARTIALS))
    return out


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    samples = []
    for midi, seconds, start_off, end_off in NOTES:
        samples += note_samples(midi, seconds, start_off, end_off)
        samples += [0.0] * int(GAP * RATE)
    with wave.open(sys.argv[1], "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(b"".join(struct.pack("<h", int(32767 * s)) for s in samples))


if __name__ == "__main__":
    main()
