#!/usr/bin/python3
"""Synthesises the crackle bank: the short pops, snaps, ticks, hisses and
settling logs that the saver scatters over the fire's bed while it runs.

Every sound is made once and then rendered at three pitches, because the
mixer that plays them has no pitch control of its own.  All of them lie one
after another in one mono file, "crackles.wav"; "crackles.txt" names the
kind, first frame and length of each.  A picture of the waveforms can be
written for review.

The makers and the seeded generator are the fire sound's own, so the same
sources always give the same bytes.
"""

import argparse
import math
import os
import sys

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import make_fire_wav as fire  # noqa: E402

kSampleRate = fire.kSampleRate
kDefaultSeed = 0x43_72_61_63_6B  # "Crack"
# Pitch factors of the three renderings: a little lower, as made, higher.
kPitches = (0.84, 1.0, 1.19)
# How many sounds of each kind are made.
kMakers = (
    ("tick", fire.make_tick, 12),
    ("snap", fire.make_snap, 10),
    ("pop", fire.make_pop, 8),
    ("hiss", None, 5),
    ("settle", None, 4),
)
kPeak = 0.94
# A few milliseconds of silence after each sound, so none runs into the next.
kGapSeconds = 0.004
kFadeSeconds = 0.003
# The room's softening of the highs smears a little of each sound ahead of
# it; a fifth of a millisecond of fade-in keeps the start free of a step.
kRiseSeconds = 0.0002


def make_hiss(rng):
    """A shorter hiss of sap than the bed's, a quarter to two thirds of a second."""
    sound = fire.make_hiss(rng)
    length = int(rng.one(0.25, 0.65) * kSampleRate)
    sound = sound[:length]
    return fire.normalised(sound * fade_out(len(sound), 0.08))


def make_settle(rng):
    """A log settling in the grate: a soft low knock and a trickle of embers."""
    length = int(rng.one(0.45, 0.8) * kSampleRate)
    t = fire.times(length)
    knock = fire.damped_partials(rng, length, 55.0, 130.0, 2, 0.03, 0.08, glide=0.2)
    body = fire.damped_partials(rng, length, 220.0, 700.0, 2, 0.008, 0.03)
    sound = knock + 0.5 * body
    sound += 0.4 * fire.burst_noise(rng, length, 300.0, 3000.0) * np.exp(-t / 0.03)
    # The trickle: little ticks falling after the knock.
    at = int(0.04 * kSampleRate)
    while True:
        at += int(rng.exponential(0.06) * kSampleRate) + 40
        tick = fire.make_tick(rng)
        if at + len(tick) >= length:
            break
        sound[at:at + len(tick)] += rng.one(0.08, 0.3) * tick
    return fire.normalised(sound * fire.attack(length, 0.0008) * fade_out(length, 0.1))


def fade_in(length, seconds):
    return fade_out(length, seconds)[::-1]


def fade_out(length, seconds):
    ramp = np.ones(length)
    fall = min(length, max(1, int(seconds * kSampleRate)))
    ramp[length - fall:] = 0.5 + 0.5 * np.cos(np.pi * np.arange(fall) / fall)
    return ramp


def warmed(sound):
    """The room's air takes the glassy top off, as it does the bed's crackles."""
    padded = np.concatenate([sound, np.zeros(len(sound) + 256)])
    soft = fire.soften_highs(padded[np.newaxis, :], fire.kCrackleWarmthHz)[0]
    return soft[:len(sound)]


def at_pitch(sound, factor):
    """The sound played factor times faster, so higher and shorter (or lower)."""
    length = max(2, int(len(sound) / factor))
    positions = np.arange(length) * factor
    return np.interp(positions, np.arange(len(sound)), sound, right=0.0)


def make_bank(seed):
    """The sounds of the bank as (kind, number, pitch, samples), unit peak."""
    rng = fire.Rng(seed)
    makers = {"hiss": make_hiss, "settle": make_settle}
    bank = []
    for kind, maker, count in kMakers:
        make = maker or makers[kind]
        for number in range(1, count + 1):
            base = warmed(make(rng))
            for factor in kPitches:
                sound = at_pitch(base, factor)
                sound = sound * fade_in(len(sound), kRiseSeconds) * fade_out(len(sound), kFadeSeconds)
                bank.append((kind, number, factor, kPeak * fire.normalised(sound)))
    return bank


def write_bank(wave_path, index_path, bank):
    gap = np.zeros(int(kGapSeconds * kSampleRate))
    parts = []
    lines = ["# kind first-frame frames: the sounds of crackles.wav, %d frames a second"
             % kSampleRate]
    at = 0
    for kind, _number, _factor, sound in bank:
        lines.append("%s %d %d" % (kind, at, len(sound)))
        parts += [sound, gap]
        at += len(sound) + len(gap)
    fire.write_wav(wave_path, np.concatenate(parts)[np.newaxis, :])
    temporary = index_path + ".part"
    with open(temporary, "w") as out:
        out.write("\n".join(lines) + "\n")
    os.replace(temporary, index_path)


def draw_review(path, bank):
    """One waveform per sound as made (the middle pitch), in rows by kind."""
    from PIL import Image, ImageDraw  # Debian's python3-pil

    cell_w, cell_h, columns = 180, 90, 6
    made = [entry for entry in bank if entry[2] == 1.0]
    rows = math.ceil(len(made) / columns)
    image = Image.new("RGB", (cell_w * columns, cell_h * rows), (24, 20, 18))
    draw = ImageDraw.Draw(image)
    colours = {"tick": (240, 200, 90), "snap": (250, 150, 60), "pop": (235, 90, 50),
               "hiss": (150, 190, 230), "settle": (170, 140, 110)}
    for index, (kind, number, _factor, sound) in enumerate(made):
        x0, y0 = (index % columns) * cell_w, (index // columns) * cell_h
        draw.rectangle([x0 + 2, y0 + 2, x0 + cell_w - 3, y0 + cell_h - 3], outline=(70, 60, 55))
        middle, half = y0 + cell_h // 2 + 6, cell_h // 2 - 14
        width = cell_w - 10
        per_column = max(1, math.ceil(len(sound) / width))
        for column in range(width):
            piece = sound[column * per_column:(column + 1) * per_column]
            if piece.size == 0:
                break
            top, bottom = middle - piece.max() * half, middle - piece.min() * half
            draw.line([x0 + 5 + column, top, x0 + 5 + column, bottom], fill=colours[kind])
        millis = 1000.0 * len(sound) / kSampleRate
        draw.text((x0 + 6, y0 + 4), "%s %d  %.0f ms" % (kind, number, millis), fill=(220, 220, 220))
    directory = os.path.dirname(path)
    if directory:
        os.makedirs(directory, exist_ok=True)
    image.save(path)


def main(argv):
    parser = argparse.ArgumentParser(description="Make the crackle bank.")
    parser.add_argument("--output", required=True, help="the WAV file to write")
    parser.add_argument("--index", required=True, help="the index of the sounds to write")
    parser.add_argument("--review", help="a PNG picture of the waveforms to write")
    parser.add_argument("--seed", type=int, default=kDefaultSeed, help="the random seed")
    args = parser.parse_args(argv)
    bank = make_bank(args.seed)
    write_bank(args.output, args.index, bank)
    if args.review:
        draw_review(args.review, bank)
    seconds = sum(len(entry[3]) for entry in bank) / kSampleRate
    print("make_crackles: %s: %d sounds (%d made, each at %d pitches), %.1f s"
          % (args.output, len(bank), len(bank) // len(kPitches), len(kPitches), seconds))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
