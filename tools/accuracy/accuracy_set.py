"""The accuracy set: General MIDI notes rendered with fluidsynth and the FluidR3
sound font, exact synthetic tones and legato octave jumps, with the truth of
every note measured from the recording itself and the spans in which it is
heard. Used by accuracy.py, which analyses the set and prints the table."""

import json
import math
import os
import struct
import subprocess
import wave

import numpy as np

SOUND_FONT = "/usr/share/sounds/sf2/FluidR3_GM.sf2"
RATES = (11025, 44100)
NOISE_DBFS = -66.0
ONSET = 0.25  # seconds of silence before every note
FULL_SCALE_SPL = 96.0  # dB SPL of a full-scale sinusoid, for the threshold of hearing

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
