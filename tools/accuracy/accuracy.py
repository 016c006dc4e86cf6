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
  late<1c   the same against the note's own pitch over the second before its
            last reading (measured as the truth is; samples drift)
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
import math
import os
import subprocess
import sys

import numpy as np

from accuracy_set import RATES, add_heard_spans, build_legato, build_set, pitch_of, read_wav

FLIP_HOPS = 3  # a run of this many hops in a wrong octave counts as a flip
FOLLOW_HOPS = 3  # a jump is followed once this many hops in a row read the new note


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
        self.notes = self.flipped = self.last_within = self.late_within = 0

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
        """Files with a flip of FLIP_HOPS or more; last readings within a cent
        of the truth, and within a cent of the note's own pitch over its last
        second."""
        return (f"  flips {self.flipped:2d}  last<1c {self.last_within:2d}/{self.notes:<2d}"
                f"  late<1c {self.late_within:2d}/{self.notes:<2d}")

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
        late = None
        if one.notes and one.last_time is not None:
            x, _ = read_wav(path)
            late = late_pitch_cents(x, rate, f["truth"], one.last_time)
            tally.late_within += abs(one.last - late) <= 1.0
        if args.details:
            truth = f"{f['truth']:9.3f}" if f["truth"] else "        -"
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
