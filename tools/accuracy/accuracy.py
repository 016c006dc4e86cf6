#!/usr/bin/python3
"""Accuracy of the analysis engine on real instrument notes and exact tones.

Renders a small set of General MIDI notes with fluidsynth and the FluidR3 sound
font (several instruments and registers, some detuned by pitch bend, some with
white noise at about -66 dBFS) and synthetic tones whose pitch is known
exactly, at 11025 and 44100 Hz, into OUT (kept out of the source tree). The
true pitch of a sampled note is measured from the recording itself: the
frequency of its first partial over the steady part, found as the peak of a
long, zero-padded Hann-windowed spectrum (the MIDI number only says where to
look). Then zelvo-analyze reads every file in both analysis qualities and in
each of its pitch modes, and a table of the hop readings is printed:

  read      share of the hops in which the note is audible that give a reading
  <50c      share of readings within 50 cents of the truth
  <10c      share of readings within 10 cents of the truth
  med|c|    median absolute error (cents) of the readings within 50 cents
  octave    share of readings within 50 cents of 2, 3, 4, 1/2 or 1/3 times
            the truth (the wrong octave or twelfth)
  false     hops read in silence, in noise and after a note is no longer
            audible by more than half a second, out of all such hops
  flips     files with a run of 3 or more hops read in a wrong octave
  last<1c   notes whose last reading (what the tuner keeps showing once the
            note ends) lies within a cent of the truth
  legato    the slowest of the legato octave jumps (a second note starting
            as the first ends): seconds until 3 hops in a row read it

A note is audible while it stands over the -66 dBFS background noise (mixed
in or not) within the critical band around one of its partials and over the
threshold of hearing there (--audibility band, the default); --audibility
wideband takes the older rule, its 20 ms wideband level 6 dB over the noise,
which declares a note gone while a listener still hears its partials over
the noise in their own bands. --details prints a line per file, for notes
with the longest wrong-octave run, the last reading's error and the note's
own pitch over the second before it (samples drift: vibrato, beating, loops).

Usage: accuracy.py --analyze PATH/zelvo-analyze --out DIR [--details]
                   [--audibility band|wideband] [--mode M] [--quality Q]
                   [--rate R] [--only TEXT]
"""

import argparse
import json
import math
import os
import struct
import subprocess
import sys
import wave

import numpy as np

SOUND_FONT = "/usr/share/sounds/sf2/FluidR3_GM.sf2"
RATES = (11025, 44100)
NOISE_DBFS = -66.0
ONSET = 0.25  # seconds of silence before every note
FULL_SCALE_SPL = 96.0  # dB SPL of a full-scale sinusoid, for the threshold of hearing
FLIP_HOPS = 3  # a run of this many hops in a wrong octave counts as a flip

# name, GM program (0-based), MIDI note, held seconds, bend in cents, noise
SAMPLED = [
    ("nylon-E2", 24, 40, 9.0, 0, True),
    ("nylon-A2", 24, 45, 8.0, 0, False),
    ("nylon-D3", 24, 50, 8.0, -18, False),
    ("nylon-G3", 24, 55, 8.0, 0, True),
    ("nylon-B3", 24, 59, 8.0, 0, False),
    ("nylon-E4", 24, 64, 8.0, 12, False),
    ("steel-E2", 25, 40, 9.0, 0, False),
    ("steel-A2", 25, 45, 8.0, 23, True),
    ("steel-G3", 25, 55, 8.0, 0, False),
    ("steel-E4", 25, 64, 8.0, -9, False),
    ("bass-B0", 33, 23, 8.0, 0, False),
    ("bass-E1", 33, 28, 8.0, 0, True),
    ("bass-A1", 32, 33, 8.0, -25, False),
    ("bass-D2", 32, 38, 6.0, 0, False),
    ("piano-A0", 0, 21, 8.0, 0, False),
    ("piano-E1", 0, 28, 8.0, 0, True),
    ("piano-C2", 0, 36, 8.0, 15, False),
    ("piano-C4", 0, 60, 6.0, 0, False),
    ("piano-A4", 0, 69, 6.0, -30, True),
    ("organ-C2", 19, 36, 4.0, 0, False),
    ("organ-C4", 19, 60, 4.0, 0, True),
    ("organ-G4", 19, 67, 4.0, 20, False),
    ("cello-C2", 42, 36, 5.0, 0, False),
    ("cello-G2", 42, 43, 5.0, -14, True),
    ("violin-G3", 40, 55, 5.0, 0, False),
    ("violin-A4", 40, 69, 5.0, 8, False),
    ("strings-D4", 48, 62, 5.0, 0, True),
]


def write_midi(path, program, note, held, bend_cents, then=None):
    """A one-note Standard MIDI File: 480 ticks per quarter at 120 bpm. With
    `then` (note, seconds), the second note starts as the first ends: legato."""
    ticks_per_second = 960

    def var_len(value):
        out = [value & 0x7F]
        value >>= 7
        while value:
            out.append((value & 0x7F) | 0x80)
            value >>= 7
        return bytes(reversed(out))

    bend = max(0, min(16383, 8192 + round(bend_cents / 200.0 * 8192)))
    on = round(ONSET * ticks_per_second)
    off = round(held * ticks_per_second)
    tail = round(2.5 * ticks_per_second)  # room for the release
    events = [
        (0, bytes([0xC0, program])),
        (0, bytes([0xE0, bend & 0x7F, bend >> 7])),
        (on, bytes([0x90, note, 100])),
        (off, bytes([0x80, note, 0])),
    ]
    if then is not None:
        events[-1:] = [(off, bytes([0x90, then[0], 100])), (0, bytes([0x80, note, 0])),
                       (round(then[1] * ticks_per_second), bytes([0x80, then[0], 0]))]
    events += [
        (tail, bytes([0xB0, 110, 0])),  # an undefined controller: renders the tail
        (0, bytes([0xFF, 0x2F, 0x00])),
    ]
    track = b"".join(var_len(delta) + data for delta, data in events)
    with open(path, "wb") as f:
        f.write(b"MThd" + struct.pack(">IHHH", 6, 0, 1, 480))
        f.write(b"MTrk" + struct.pack(">I", len(track)) + track)


def read_wav(path):
    with wave.open(path, "rb") as w:
        channels, width, rate = w.getnchannels(), w.getsampwidth(), w.getframerate()
        data = w.readframes(w.getnframes())
    if width != 2:
        raise SystemExit(f"{path}: expected 16-bit samples")
    x = np.frombuffer(data, dtype="<i2").astype(np.float64) / 32768.0
    return x.reshape(-1, channels).mean(axis=1), rate


def write_wav(path, x, rate):
    pcm = np.clip(np.round(x * 32767.0), -32768, 32767).astype("<i2")
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(rate)
        w.writeframes(pcm.tobytes())


def add_noise(x, seed):
    rng = np.random.default_rng(seed)
    # White noise whose RMS is NOISE_DBFS relative to a full-scale sinusoid.
    rms = 10.0 ** (NOISE_DBFS / 20.0) / math.sqrt(2.0)
    return x + rng.normal(0.0, rms, len(x))


def render(entry, rate, folder, then=None):
    name, program, note, held, bend, noisy = entry
    midi = os.path.join(folder, name + ".mid")
    raw = os.path.join(folder, name + ".raw.wav")
    write_midi(midi, program, note, ONSET + held, bend, then)
    subprocess.run(["fluidsynth", "-ni", "-q", "-R", "0", "-C", "0", "-g", "0.6", "-r", str(rate),
                    "-F", raw, SOUND_FONT, midi], check=True, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)
    x, got = read_wav(raw)
    os.remove(raw)
    os.remove(midi)
    if got != rate:
        raise SystemExit(f"fluidsynth wrote {got} Hz instead of {rate}")
    # Normalise the loudest sample to -6 dBFS so every note sits well over
    # the gate; the noise keeps its absolute level.
    x = x * (0.5 / max(1e-9, np.max(np.abs(x))))
    if noisy:
        x = add_noise(x, note * 7 + rate)
    return x


def frame_rms_db(x, rate, seconds=0.02):
    n = max(1, int(rate * seconds))
    frames = len(x) // n
    r = np.sqrt(np.mean(x[: frames * n].reshape(frames, n) ** 2, axis=1) + 1e-30)
    return 20.0 * np.log10(r * math.sqrt(2.0)), n


def steady_span(x, rate):
    """First and last time the 20 ms level is within 45 dB of the loudest
    frame and above the background noise: where a note's pitch is measured."""
    return span_above(x, rate, lambda db: max(np.max(db) - 45.0, NOISE_DBFS + 6.0))


def audible_span(x, rate):
    """First and last time the 20 ms level stands 6 dB over the -66 dBFS
    background noise every file is judged against (mixed in or not): where a
    listener still hears the note, however far it has decayed."""
    return span_above(x, rate, lambda db: NOISE_DBFS + 6.0)


def noise_seed(name, rate):
    """The seed of the background noise build_set() mixed into a file, None
    when it mixed in none."""
    for i, kind in enumerate(SYNTHETIC):
        if kind == name:
            return 1000 + i + rate
    for entry in SAMPLED:
        if entry[0] == name:
            return entry[2] * 7 + rate if entry[5] else None
    return None


def heard_span(x, rate):
    """First and last time a note stands over the -66 dBFS background within
    the critical band (one ERB, at least the window's main lobe) around one
    of its frequencies, and over the threshold of hearing there, from the
    note without the noise mixed into it. The
    ear hears a tone against the noise in its own band only: white noise
    spreads its power over the whole spectrum, so a partial is still heard
    long after the wideband level of the note has sunk under the noise's."""
    size = 1 << int(round(math.log2(rate * 0.093)))
    step = int(rate * 0.02)
    window = np.hanning(size)
    frames = (len(x) - size) // step + 1
    if frames < 1:
        return None
    at = np.arange(size)[None, :] + step * np.arange(frames)[:, None]
    # Power per bin: a sinusoid of amplitude A sums to A^2 / 2 over its lobe,
    # white noise of variance s^2 gives 2 s^2 / size per bin.
    power = np.abs(np.fft.rfft(x[at] * window, axis=1)) ** 2 * 2.0 / (size * np.sum(window * window))
    bins = np.arange(power.shape[1])
    erb = 24.7 * (4.37 * bins * rate / size / 1000.0 + 1.0)
    half = np.maximum(np.ceil(erb / 2.0 / (rate / size)), 2).astype(int)
    lo = np.clip(bins - half, 0, len(bins) - 1)
    hi = np.clip(bins + half, 0, len(bins) - 1)
    total = np.concatenate([np.zeros((frames, 1)), np.cumsum(power, axis=1)], axis=1)
    band = total[:, hi + 1] - total[:, lo]
    noise_variance = (10.0 ** (NOISE_DBFS / 20.0) / math.sqrt(2.0)) ** 2
    noise_band = 2.0 * noise_variance / size * (hi - lo + 1)
    # And over the threshold of hearing in quiet (Terhardt's fit), with a
    # full-scale sinusoid at 96 dB SPL: the alignment perceptual coders use
    # for 16-bit sound, which puts the background at a quiet room's 30 dB SPL.
    khz = np.maximum(bins * rate / size, 20.0) / 1000.0
    quiet = 3.64 * khz ** -0.8 - 6.5 * np.exp(-0.6 * (khz - 3.3) ** 2) + 1e-3 * khz ** 4
    threshold = np.maximum(noise_band, 0.5 * 10.0 ** ((quiet - FULL_SCALE_SPL) / 10.0))
    audible = bins * rate / size >= 20.0
    heard = np.nonzero(np.max((band / threshold)[:, audible], axis=1) >= 1.0)[0]
    if len(heard) == 0:
        return None
    centre = size / 2.0 / rate
    return heard[0] * step / rate + centre - 0.01, heard[-1] * step / rate + centre + 0.01


def add_heard_spans(out, files):
    """Adds each note's heard span to the manifest once (kept with the set)."""
    missing = [f for f in files if f["kind"] == "note" and "heard" not in f]
    for f in missing:
        x, rate = read_wav(os.path.join(out, str(f["rate"]), f["name"] + ".wav"))
        seed = noise_seed(f["name"], rate)
        clean = x if seed is None else x - add_noise(np.zeros(len(x)), seed)
        span = heard_span(clean, rate)
        f["heard"] = list(span) if span else None
    if missing:
        manifest_path = os.path.join(out, "manifest.json")
        with open(manifest_path) as f:
            recipe = json.load(f)["recipe"]
        with open(manifest_path, "w") as f:
            json.dump({"recipe": recipe, "files": files}, f, indent=1)


def span_above(x, rate, limit_of):
    db, n = frame_rms_db(x, rate)
    limit = limit_of(db)
    loud = np.nonzero(db > limit)[0]
    if len(loud) == 0:
        return None
    return loud[0] * n / rate, (loud[-1] + 1) * n / rate


def spectral_peak(x, rate, lo, hi):
    """Frequency of the largest peak of x in [lo, hi] Hz from a Hann-windowed,
    zero-padded FFT refined by a parabola through the log magnitudes."""
    size = 1 << int(math.ceil(math.log2(len(x) * 16)))
    spectrum = np.abs(np.fft.rfft(x * np.hanning(len(x)), size))
    bins = np.arange(len(spectrum)) * rate / size
    inside = np.nonzero((bins >= lo) & (bins <= hi))[0]
    if len(inside) < 3:
        return None, 0.0
    k = inside[np.argmax(spectrum[inside])]
    a, b, c = np.log(spectrum[k - 1:k + 2] + 1e-300)
    shift = 0.5 * (a - c) / (a - 2.0 * b + c) if a - 2.0 * b + c != 0 else 0.0
    return (k + shift) * rate / size, spectrum[k]


def measure_truth(x, rate, nominal):
    """The first partial of a sampled note over its steady part. A partial 1
    more than 40 dB under the strongest of partials 1 to 4 is taken as absent,
    and the lowest present partial n gives the pitch as f_n / n."""
    span = steady_span(x, rate)
    start = span[0] + 0.3
    end = min(span[1] - 0.2, start + 3.0)
    return pitch_of(x[int(start * rate):int(end * rate)], rate, nominal)


def pitch_of(segment, rate, nominal):
    """The first partial of a segment as measure_truth() takes it."""
    window = 2.0 ** (60.0 / 1200.0)
    partials = []
    for n in range(1, 5):
        if n * nominal * window > rate / 2:
            break
        f, height = spectral_peak(segment, rate, n * nominal / window, n * nominal * window)
        partials.append((n, f, height))
    strongest = max(h for _, _, h in partials)
    for n, f, height in partials:
        if f is not None and height > strongest * 10.0 ** (-40.0 / 20.0):
            return f / n
    return nominal


def synthetic(kind, rate):
    """Exact tones: (signal, truth in Hz, held seconds)."""
    t = np.arange(int(rate * (ONSET + 6.0))) / rate
    u = np.maximum(t - ONSET, 0.0)
    on = (t >= ONSET).astype(np.float64)

    def tone(f0, amplitudes, stretch=0.0, decays=None, length=None):
        x = np.zeros_like(t)
        for k, a in enumerate(amplitudes, start=1):
            fk = k * f0 * math.sqrt(1.0 + stretch * k * k)
            if fk >= rate / 2:
                break
            env = np.exp(-(decays[k - 1] if decays else 0.0) * u)
            x += a * env * np.sin(2.0 * math.pi * fk * u + 0.3 * k)
        x *= on
        if length is not None:
            x[t >= ONSET + length] = 0.0
        return x

    if kind == "synth-harmonic-A3":
        return tone(220.0, [0.3 / k for k in range(1, 11)], length=4.0), 220.0, 4.0
    if kind == "synth-stretched-E2":
        f0 = 82.41
        return tone(f0, [0.25 / k for k in range(1, 13)], 0.0002, length=4.0), f0 * math.sqrt(1.0002), 4.0
    if kind == "synth-weak-fundamental-A1":
        amps = [0.03] + [0.3 / k for k in range(2, 9)]
        return tone(55.0, amps, length=4.0), 55.0, 4.0
    if kind == "synth-decaying-A2":
        # 40 dB over four seconds, the higher partials faster.
        decays = [math.log(100.0) / 4.0 * (1.0 + 0.15 * k) for k in range(8)]
        return tone(110.0, [0.4 / k for k in range(1, 9)], 0.0, decays), 110.0, 6.0
    if kind == "synth-odd-decay-E2":
        decays = [2.5 if k % 2 == 1 else 0.6 for k in range(1, 11)]
        return tone(82.41, [0.3 / k for k in range(1, 11)], 0.0, decays), 82.41, 6.0
    if kind == "synth-cut-A2":
        f0 = 110.0 * 2.0 ** (-12.0 / 1200.0)
        return tone(f0, [0.3 / k for k in range(1, 7)], length=3.0), f0, 3.0
    raise ValueError(kind)


# Legato octave jumps: name, GM program, first and second MIDI note, each held
# LEGATO_HELD seconds, the second starting as the first ends.
LEGATO = [
    ("legato-nylon-E3-E4", 24, 52, 64),
    ("legato-piano-C4-C5", 0, 60, 72),
    ("legato-flute-G4-G5", 73, 67, 79),
    ("legato-violin-G3-G4", 40, 55, 67),
    ("legato-organ-C3-C4", 19, 48, 60),
    ("legato-flute-G5-G4", 73, 79, 67),
    ("legato-violin-A4-A3", 40, 69, 57),
    ("legato-organ-C4-C3", 19, 60, 48),
]
LEGATO_HELD = 2.0
FOLLOW_HOPS = 3  # a jump is followed once this many hops in a row read the new note


def midi_hz(note):
    return 440.0 * 2.0 ** ((note - 69) / 12.0)


def build_legato(out):
    """The legato jumps, in their own folder so the main set is kept."""
    files = []
    for rate in RATES:
        folder = os.path.join(out, "legato", str(rate))
        path_of = lambda name: os.path.join(folder, name + ".wav")
        os.makedirs(folder, exist_ok=True)
        for name, program, first, second in LEGATO:
            if not os.path.exists(path_of(name)):
                x = render((name, program, first, LEGATO_HELD, 0, False), rate, folder, (second, LEGATO_HELD))
                write_wav(path_of(name), x, rate)
            # render() holds the first note ONSET + LEGATO_HELD after its start.
            files.append(dict(name=name, rate=rate, path=path_of(name), jump=2 * ONSET + LEGATO_HELD,
                              second=midi_hz(second)))
    return files


def follow_time(hops, jump, second):
    """Seconds from the jump until the first of FOLLOW_HOPS hops in a row that
    read the new note within 50 cents; None when it is never followed."""
    run = 0
    for i, (time, freq) in enumerate(hops):
        if time <= jump:
            continue
        run = run + 1 if freq > 0 and abs(1200.0 * math.log2(freq / second)) < 50.0 else 0
        if run == FOLLOW_HOPS:
            return hops[i - FOLLOW_HOPS + 1][0] - jump
    return None


SYNTHETIC = ["synth-harmonic-A3", "synth-stretched-E2", "synth-weak-fundamental-A1", "synth-decaying-A2",
             "synth-odd-decay-E2", "synth-cut-A2"]


def build_set(out):
    """Writes every file of the set with its manifest, once per rate. A set
    rendered from the same list is reused."""
    manifest_path = os.path.join(out, "manifest.json")
    recipe = repr((SAMPLED, SYNTHETIC, RATES, NOISE_DBFS, ONSET, "audible: 6 dB over the noise"))
    if os.path.exists(manifest_path):
        with open(manifest_path) as f:
            manifest = json.load(f)
        if manifest.get("recipe") == recipe:
            return manifest["files"]
    files = []
    for rate in RATES:
        folder = os.path.join(out, str(rate))
        os.makedirs(folder, exist_ok=True)
        for entry in SAMPLED:
            x = render(entry, rate, folder)
            nominal = 440.0 * 2.0 ** ((entry[2] - 69) / 12.0 + entry[4] / 1200.0)
            truth = measure_truth(x, rate, nominal)
            files.append(dict(name=entry[0], rate=rate, kind="note", truth=truth, nominal=nominal))
            write_wav(os.path.join(folder, entry[0] + ".wav"), x, rate)
        for i, kind in enumerate(SYNTHETIC):
            x, truth, _ = synthetic(kind, rate)
            x = add_noise(x, 1000 + i + rate)
            files.append(dict(name=kind, rate=rate, kind="note", truth=truth, nominal=truth))
            write_wav(os.path.join(folder, kind + ".wav"), x, rate)
        quiet = np.zeros(rate * 3)
        for name, x in (("silence", quiet), ("noise-66dB", add_noise(quiet, 1 + rate)),
                        ("noise-40dB", quiet + np.random.default_rng(2 + rate).normal(0, 0.007, len(quiet)))):
            files.append(dict(name=name, rate=rate, kind="empty", truth=None, nominal=None))
            write_wav(os.path.join(folder, name + ".wav"), x, rate)
    for f in files:
        x, rate = read_wav(os.path.join(out, str(f["rate"]), f["name"] + ".wav"))
        span = audible_span(x, rate) if f["kind"] == "note" else None
        f["audible"] = list(span) if span else None
    with open(manifest_path, "w") as f:
        json.dump({"recipe": recipe, "files": files}, f, indent=1)
    return files


def analyze(tool, path, quality, extra):
    out = subprocess.run([tool, "--quality", quality] + extra + [path], check=True, capture_output=True,
                         text=True).stdout
    hops = []
    for line in out.splitlines():
        fields = line.split("\t")
        if len(fields) >= 2:
            hops.append((float(fields[0]), float(fields[1])))
    return hops


WRONG_OCTAVES = (2, 3, 4, 0.5, 1.0 / 3.0)


def in_wrong_octave(freq, truth):
    cents = 1200.0 * math.log2(freq / truth)
    return abs(cents) >= 50.0 and any(abs(cents - 1200.0 * math.log2(r)) < 50.0 for r in WRONG_OCTAVES)


def longest_flip(hops, truth, audible):
    """The longest run of consecutive hops read in a wrong octave or twelfth,
    up to half a second after the note stopped being audible."""
    longest = run = 0
    for time, freq in hops:
        if time > audible[1] + 0.5:
            break
        run = run + 1 if freq > 0 and in_wrong_octave(freq, truth) else 0
        longest = max(longest, run)
    return longest


def last_reading(hops, audible):
    """The time and frequency of the last reading of a note (what the tuner
    keeps showing once it ends), or None when the note gave none."""
    last = None
    for time, freq in hops:
        if audible[0] <= time <= audible[1] + 0.5 and freq > 0:
            last = (time, freq)
    return last


def late_pitch_cents(x, rate, truth, end):
    """The note's own pitch over the second before `end` (the time of its
    last reading), measured as its truth is, in cents from the truth: sampled
    notes drift (vibrato, the loop of a sample, a damper), and the truth is
    taken early in the note."""
    segment = x[max(0, int((end - 1.0) * rate)):int(end * rate)]
    return 1200.0 * math.log2(pitch_of(segment, rate, truth) / truth)


class Tally:
    def __init__(self):
        self.audible = self.read = self.judged = self.within50 = self.within10 = self.octave = 0
        self.empty = self.false = 0
        self.errors = []
        self.notes = self.flipped = self.last_within = 0

    def add_note(self, hops, truth, audible, frame_seconds):
        start, end = audible
        for time, freq in hops:
            if time < start or time > end + 0.5:
                # Before the note, or more than half a second after it stopped
                # being audible: any reading is a false one.
                self.empty += 1
                self.false += freq > 0
                continue
            # A hop counts as audible once its whole frame could hold the note.
            if start + frame_seconds <= time <= end:
                self.audible += 1
                self.read += freq > 0
            if freq <= 0:
                continue
            self.judged += 1
            cents = 1200.0 * math.log2(freq / truth)
            if abs(cents) < 50.0:
                self.within50 += 1
                self.errors.append(abs(cents))
                self.within10 += abs(cents) < 10.0
            elif in_wrong_octave(freq, truth):
                self.octave += 1
        self.notes += 1
        self.flip = longest_flip(hops, truth, audible)
        self.flipped += self.flip >= FLIP_HOPS
        last = last_reading(hops, audible)
        self.last = None if last is None else 1200.0 * math.log2(last[1] / truth)
        self.last_time = None if last is None else last[0]
        self.last_within += self.last is not None and abs(self.last) <= 1.0

    def add_empty(self, hops):
        for _, freq in hops:
            self.empty += 1
            self.false += freq > 0

    def note_details(self, late=None):
        """Longest wrong-octave run (hops), the last reading's error and the
        note's own pitch over the second before it."""
        last = f"{self.last:+8.2f}c" if self.last is not None else "       -"
        late = f"  late {late:+7.2f}c" if late is not None else ""
        return f"  flip {self.flip:3d}  last {last}{late}"

    def summary(self):
        """Files with a flip of FLIP_HOPS or more, last readings within a cent."""
        return f"  flips {self.flipped:2d}  last<1c {self.last_within:2d}/{self.notes:<2d}"

    def row(self):
        def share(a, b):
            return f"{100.0 * a / b:5.1f} %" if b else "    -  "

        median = f"{float(np.median(self.errors)):6.2f}" if self.errors else "     -"
        return (f"{share(self.read, self.audible)}  {share(self.within50, self.judged)}  "
                f"{share(self.within10, self.judged)}  {median}  {share(self.octave, self.judged)}  "
                f"{self.false:4d}/{self.empty:<5d}")


def run_row(args, files, legato, mode, extra, quality, rate):
    """One line of the table, with one line per file before it on --details."""
    tally = Tally()
    frame_seconds = 256 * (4 if rate == 44100 else 1) / rate * (8 if quality == "normal" else 4)
    for f in files:
        if f["rate"] != rate or (args.only and args.only not in f["name"]):
            continue
        path = os.path.join(args.out, str(rate), f["name"] + ".wav")
        hops = analyze(args.analyze, path, quality, extra)
        one = Tally()
        span = f["audible"] if args.audibility == "wideband" else f.get("heard")
        if f["kind"] == "empty" or span is None:
            tally.add_empty(hops)
            one.add_empty(hops)
        else:
            tally.add_note(hops, f["truth"], span, frame_seconds)
            one.add_note(hops, f["truth"], span, frame_seconds)
        if args.details:
            truth = f"{f['truth']:9.3f}" if f["truth"] else "        -"
            late = None
            if one.notes and one.last_time is not None:
                x, _ = read_wav(path)
                late = late_pitch_cents(x, rate, f["truth"], one.last_time)
            notes = one.note_details(late) if one.notes else ""
            print(f"    {f['name']:26} {truth}  {one.row()}{notes}")
    slowest = 0.0
    for f in legato:
        if f["rate"] != rate or (args.only and args.only not in f["name"]):
            continue
        follow = follow_time(analyze(args.analyze, f["path"], quality, extra), f["jump"], f["second"])
        slowest = max(slowest, follow if follow is not None else math.inf)
        if args.details:
            shown = f"{follow:5.2f} s" if follow is not None else "never"
            print(f"    {f['name']:26} follows the jump after {shown}")
    print(f"{mode:8} {quality:7} {rate:5}  {tally.row()}{tally.summary()}  legato {slowest:5.2f} s", flush=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--analyze", required=True, help="path of zelvo-analyze")
    parser.add_argument("--out", required=True, help="folder for the rendered set")
    parser.add_argument("--details", action="store_true", help="also print one line per file")
    parser.add_argument("--only", help="only the files whose name holds this text")
    parser.add_argument("--mode", choices=("default", "classic"), help="only this pitch mode")
    parser.add_argument("--quality", choices=("normal", "fast"), help="only this quality")
    parser.add_argument("--rate", type=int, choices=RATES, help="only this rate")
    parser.add_argument("--audibility", choices=("band", "wideband"), default="band",
                        help="a note is audible while it stands over the background in a critical band "
                        "(default) or while its wideband level stands 6 dB over it")
    args = parser.parse_args()
    os.makedirs(args.out, exist_ok=True)
    files = build_set(args.out)
    add_heard_spans(args.out, files)
    legato = build_legato(args.out)

    help_text = subprocess.run([args.analyze, "--help"], capture_output=True, text=True).stdout
    modes = [("default", [])]
    if "--classic" in help_text:
        modes.append(("classic", ["--classic"]))
    else:
        print("zelvo-analyze has no --classic: one mode only.")

    print(f"{'mode':8} {'quality':7} {'rate':>5}   read     <50c     <10c    med|c|  octave   false")
    for mode, extra in modes:
        for quality in ("normal", "fast"):
            for rate in RATES:
                if (args.mode or mode) == mode and (args.quality or quality) == quality and (args.rate or rate) == rate:
                    run_row(args, files, legato, mode, extra, quality, rate)


if __name__ == "__main__":
    sys.exit(main())
