#!/usr/bin/python3
"""How the fire sounds, in figures, from what the saver played: the crackles
over the bed, whether stretches repeat, the level, and what the mixing costs.

The end-to-end test takes its figures from here; run by hand it measures a
real run of any length (at the first-run volume unless told otherwise):

    crackle_figures.py run --seconds 600            # the figures of ten minutes
    crackle_figures.py run --seconds 30 --crackle 0 # the bed alone
    crackle_figures.py cpu                          # the cost, crackles on and off
    crackle_figures.py carols                       # fire and carol levels side by side
    crackle_figures.py file OUTPUT.raw              # a capture of the disk audio driver

The environment of the end-to-end tests applies (EMBERLRN_BIN,
EMBERLRN_DATA_DIR).
"""

import argparse
import os
import sys
import time

import numpy as np

import e2e_support as e2e

# Onsets: levels of 1-ms windows, each against the median of the 200 ms before.
WINDOW = 0.001
BED_SPAN = 0.2
# A crackle rises this far above the bed, from no more than LOW_RISE above it,
# within ONSET seconds.
CRACKLE_RISE = 20.0
LOW_RISE = 6.0
ONSET = 0.005
# Envelopes for the repeat check: levels of 50-ms steps, in stretches of 20 s
# compared at every offset of more than a second.
STEP = 0.05
STRETCH = 20.0
MIN_OFFSET = 1.0
# The first seconds hold the saver's start-up.
SETTLE = 1.0


def mono(samples):
    """Interleaved 16-bit stereo as one channel of full-scale fractions."""
    frames = samples.size // e2e.CHANNELS
    pairs = samples[: frames * e2e.CHANNELS].reshape(frames, e2e.CHANNELS).astype(np.float64)
    return pairs.mean(axis=1) / 32768.0


def window_levels(signal, seconds):
    size = int(round(seconds * e2e.RATE))
    count = signal.size // size
    blocks = signal[: count * size].reshape(count, size)
    power = np.mean(blocks * blocks, axis=1)
    with np.errstate(divide="ignore"):
        return np.where(power > 0, 10.0 * np.log10(power), -200.0)


def rises(signal):
    """Each 1-ms window's level above the median of the 200 ms before it."""
    levels = window_levels(signal, WINDOW)
    span = int(round(BED_SPAN / WINDOW))
    if levels.size <= span:
        return np.zeros(0)
    history = np.lib.stride_tricks.sliding_window_view(levels[:-1], span)
    return levels[span:] - np.median(history, axis=1)


def onsets(rise, threshold, low=None, within=None):
    """Windows where the rise reaches the threshold, counted once per climb.

    With low and within: only climbs that start from at most `low` above the
    bed no more than `within` windows before."""
    above = rise >= threshold
    starts = np.flatnonzero(above[1:] & ~above[:-1]) + 1
    if low is None:
        return starts
    kept = [i for i in starts if np.min(rise[max(0, i - within):i]) <= low]
    return np.asarray(kept, dtype=int)


def low_band_share(signal, low=20.0, high=200.0):
    spectrum = np.abs(np.fft.rfft(signal)) ** 2
    freqs = np.fft.rfftfreq(signal.size, 1.0 / e2e.RATE)
    band = (freqs >= low) & (freqs <= high)
    return float(spectrum[band].sum() / spectrum[1:].sum())


def worst_repeat(envelope, stretch=STRETCH, min_offset=MIN_OFFSET, every=1.0):
    """The highest correlation between two stretches of the envelope more than
    min_offset apart, and that offset in seconds. Stretches start every
    `every` seconds and are compared with one starting at every later step."""
    n = int(round(stretch / STEP))
    gap = int(round(min_offset / STEP))
    hop = int(round(every / STEP))
    if envelope.size < n + gap + 1:
        return None, None
    windows = np.lib.stride_tricks.sliding_window_view(envelope, n)
    centred = windows - windows.mean(axis=1, keepdims=True)
    norms = np.linalg.norm(centred, axis=1)
    norms[norms == 0] = np.inf
    unit = centred / norms[:, None]
    best, best_offset = -1.0, None
    for a in range(0, unit.shape[0] - gap - 1, hop):
        later = unit[a + gap + 1:]
        if later.shape[0] == 0:
            break
        values = later @ unit[a]
        k = int(np.argmax(values))
        if values[k] > best:
            best, best_offset = float(values[k]), (gap + 1 + k) * STEP
    return best, best_offset


def figures(samples, repeat_every=1.0):
    """Every figure of one capture (16-bit interleaved stereo) as a dict."""
    signal = mono(samples)[int(SETTLE * e2e.RATE):]
    seconds = signal.size / e2e.RATE
    rise = rises(signal)
    within = int(round(ONSET / WINDOW))
    crackles = onsets(rise, CRACKLE_RISE, LOW_RISE, within)
    envelope = window_levels(signal, STEP)
    repeat, offset = worst_repeat(envelope, min(STRETCH, seconds / 2), MIN_OFFSET, repeat_every)
    return {
        "seconds": seconds,
        "rms_dbfs": e2e.level_dbfs(samples[int(SETTLE * e2e.RATE) * e2e.CHANNELS:]),
        "low_band_share": low_band_share(signal),
        "crackles_per_second": crackles.size / seconds,
        "rises_15_per_second": onsets(rise, 15.0).size / seconds,
        "rises_10_per_second": onsets(rise, 10.0).size / seconds,
        "loudest_rise_db": float(rise.max()) if rise.size else 0.0,
        "worst_repeat": repeat,
        "worst_repeat_offset": offset,
    }


def report(values, title):
    print(title)
    print("  %.0f s of sound, %.1f dBFS RMS, %.0f %% of the energy at 20-200 Hz"
          % (values["seconds"], values["rms_dbfs"], 100 * values["low_band_share"]))
    print("  crackles (20 dB within 5 ms): %.2f a second; rises of 15 dB %.2f, of 10 dB %.2f a second"
          % (values["crackles_per_second"], values["rises_15_per_second"],
             values["rises_10_per_second"]))
    print("  loudest moment %.1f dB above the median of the 200 ms before" % values["loudest_rise_db"])
    if values["worst_repeat"] is not None:
        print("  worst match of two stretches: correlation %.2f at %.2f s apart"
              % (values["worst_repeat"], values["worst_repeat_offset"]))


def captured(crackle, seconds, changes=None, data_dir=None):
    """The sound of one full-screen run of that many seconds, after a first run
    wrote the first-run values, with "Crackle" and the (section, key) changes."""
    with e2e.Desktop() as desk:
        text = e2e.add_key(e2e.prime(desk), "Settings", "Crackle", crackle)
        desk.write_settings(e2e.set_keys(text, changes) if changes else text)
        run = e2e.SaverRun(desk, data_dir)
        run.wait(seconds + SETTLE)
        samples = run.samples(0, run.now())
        status = run.end()
        if status != 0:
            raise AssertionError("the saver ended with %s: %s" % (status, run.stderr))
        return samples


def process_seconds(pid):
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def cpu_share(crackle, seconds=15.0, warm_up=3.0):
    """Percent of one core the saver uses while it plays, after its start-up."""
    with e2e.Desktop() as desk:
        desk.write_settings(e2e.add_key(e2e.prime(desk), "Settings", "Crackle", crackle))
        run = e2e.SaverRun(desk)
        run.wait(warm_up)
        used, began = process_seconds(run.proc.pid), time.monotonic()
        run.wait(seconds)
        share = 100.0 * (process_seconds(run.proc.pid) - used) / (time.monotonic() - began)
        run.end()
        return share


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    sub = parser.add_subparsers(dest="command", required=True)
    run = sub.add_parser("run")
    run.add_argument("--seconds", type=float, default=30.0)
    run.add_argument("--crackle", default="1")
    run.add_argument("--keep", help="also write the capture to this file")
    cpu = sub.add_parser("cpu")
    cpu.add_argument("--rounds", type=int, default=3)
    sub.add_parser("carols")
    read = sub.add_parser("file")
    read.add_argument("path")
    args = parser.parse_args(argv)

    if args.command == "file":
        report(figures(np.fromfile(args.path, dtype="<i2")), args.path)
    elif args.command == "run":
        samples = captured(args.crackle, args.seconds)
        if args.keep:
            samples.tofile(args.keep)
        report(figures(samples), "crackles %s" % ("on" if args.crackle == "1" else "off"))
    elif args.command == "cpu":
        # Side by side, in turns, so a busy moment of the machine falls on both.
        on, off = [], []
        for _ in range(args.rounds):
            off.append(cpu_share("0"))
            on.append(cpu_share("1"))
        print("saver CPU, %% of a core: crackles off %s, on %s; median difference %.2f points"
              % (" ".join("%.2f" % v for v in off), " ".join("%.2f" % v for v in on),
                 float(np.median(on) - np.median(off))))
    elif args.command == "carols":
        start = int(SETTLE * e2e.RATE) * e2e.CHANNELS
        fire = captured("1", 15.0)[start:]
        carols = captured("1", 15.0, {("Settings", "SoundOn"): "0", ("xmas", "SoundOn"): "True",
                                      ("xmas", "Midi1"): "1"})[start:]
        fire_level, carol_level = e2e.level_dbfs(fire), e2e.level_dbfs(carols)
        print("fire %.1f dBFS RMS, carol 1 %.1f dBFS RMS: the fire %.1f dB under the carol"
              % (fire_level, carol_level, carol_level - fire_level))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
