#!/usr/bin/python3
"""Synthesises fire.wav, the looping sound of a wood fire.

The sound has two layers:

* the bed: a warm, low roar of shaped noise whose loudness and colour
  drift gently and flicker a little, made in the frequency domain over the
  whole length of the file so that it is exactly periodic and the loop has
  no seam;
* the embers: faint irregular ticks and little hisses of sap, each with its
  own size, pitch, decay and place in the stereo field.  None of them comes
  near the loop point, so the end of the file runs into its start as
  smoothly as any two other samples.

The loud pops and snaps are not in the file: the saver's crackle layer
plays them over it, never twice the same, so that the loop's own level
stays even and no stretch of it is heard coming round again.

Everything comes from one seeded counter-based generator of our own, so the
same sources always give the same bytes.
"""

import argparse
import math
import os
import sys
import wave

import numpy as np

kSampleRate = 44100
kDefaultSeconds = 30.0
kDefaultSeed = 0x45_6D_62_65_72  # "Ember"
kPeakDbfs = -3.0
# Level of the whole loop, and where the limiter starts to round off the
# loudest ticks.
kBedRmsDbfs = -29.3
kLimiterKneeDbfs = -10.0
kLimiterSpreadSeconds = 0.002
# Corner of the gentle roll-off above which the crackles lose their edge.
kCrackleWarmthHz = 10000.0
# Crackles stay this far from the join so that the first and last moments
# of the file hold only the (periodic) bed.
kLoopGuardSeconds = 0.25
kFullScale = 32767


class Rng:
    """Counter-based generator (SplitMix64 over a running index).

    Each draw hashes fresh counter values, so results depend only on the
    seed and the order of the calls, never on the numeric library's own
    generators.
    """

    kGolden = np.uint64(0x9E3779B97F4A7C15)
    kMix1 = np.uint64(0xBF58476D1CE4E5B9)
    kMix2 = np.uint64(0x94D049BB133111EB)

    def __init__(self, seed):
        self._seed = np.uint64(seed & 0xFFFFFFFFFFFFFFFF)
        self._counter = 0

    def _bits(self, n):
        index = np.arange(self._counter + 1, self._counter + 1 + n, dtype=np.uint64)
        self._counter += n
        z = self._seed + index * self.kGolden
        z = (z ^ (z >> np.uint64(30))) * self.kMix1
        z = (z ^ (z >> np.uint64(27))) * self.kMix2
        return z ^ (z >> np.uint64(31))

    def uniform(self, n, low=0.0, high=1.0):
        unit = (self._bits(n) >> np.uint64(11)).astype(np.float64) * (1.0 / 9007199254740992.0)
        return low + (high - low) * unit

    def normal(self, n):
        u1 = self.uniform(n)
        u2 = self.uniform(n)
        return np.sqrt(-2.0 * np.log1p(-u1)) * np.cos(2.0 * np.pi * u2)

    def one(self, low=0.0, high=1.0):
        return float(self.uniform(1, low, high)[0])

    def exponential(self, mean):
        return -mean * math.log1p(-self.one())

    def chance(self, probability):
        return self.one() < probability

    def log_uniform(self, low, high):
        return math.exp(self.one(math.log(low), math.log(high)))


# ---------------------------------------------------------------------------
# Periodic noise: shaped in the frequency domain, so it repeats seamlessly.


def shaped_noise(rng, n, magnitude):
    """Noise of length n whose spectrum follows magnitude(frequency in Hz).

    Returns unit-RMS noise; because it is one period of an inverse DFT it
    joins its own start without a seam.
    """
    bins = n // 2 + 1
    freqs = np.arange(bins) * (kSampleRate / n)
    spectrum = (rng.normal(bins) + 1j * rng.normal(bins)) * magnitude(freqs)
    spectrum[0] = 0.0
    signal = np.fft.irfft(spectrum, n)
    rms = np.sqrt(np.mean(signal * signal))
    return signal / rms if rms > 0 else signal


def periodic_envelope(rng, n, low_hz, high_hz, depth_db):
    """A smooth, positive gain curve that wanders between low_hz and high_hz.

    It is log-normal: depth_db is the standard deviation of the gain in
    decibels, and it repeats exactly every n samples.
    """
    def band(freqs):
        return ((freqs >= low_hz) & (freqs <= high_hz)).astype(np.float64)

    wander = shaped_noise(rng, n, band)
    return np.power(10.0, depth_db * wander / 20.0)


def band_shape(low_hz, high_hz, tilt=0.0):
    """A soft band-pass (second-order skirts) with an optional spectral tilt."""
    def magnitude(freqs):
        f = np.maximum(freqs, 1.0)
        high_pass = (f / low_hz) ** 2 / (1.0 + (f / low_hz) ** 2)
        low_pass = 1.0 / (1.0 + (f / high_hz) ** 2)
        return high_pass * low_pass * (f / 1000.0) ** tilt

    return magnitude


def stereo_pair(rng, n, magnitude, correlation):
    """Two noises with the given spectrum and inter-channel correlation."""
    common = shaped_noise(rng, n, magnitude)
    left = shaped_noise(rng, n, magnitude)
    right = shaped_noise(rng, n, magnitude)
    side = math.sqrt(1.0 - correlation)
    mid = math.sqrt(correlation)
    return np.stack([mid * common + side * left, mid * common + side * right])


def make_bed(rng, n):
    """The fire's roar: rumble, body and air, each breathing on its own.

    The breathing is gentle and the body carries as much as the rumble, so
    that the loop's level holds steady from one moment to the next and
    nothing in it is heard coming round again; the life of the fire is the
    crackle layer's."""
    # The deep rumble of burning logs: slow, heavy, nearly mono.
    rumble = stereo_pair(rng, n, band_shape(38.0, 170.0, tilt=-0.3), 0.85)
    rumble *= periodic_envelope(rng, n, 0.05, 0.45, 0.6)
    # The body of the flame: warm mid noise with a quick flicker.
    body = stereo_pair(rng, n, band_shape(160.0, 900.0, tilt=-0.6), 0.55)
    body *= periodic_envelope(rng, n, 0.08, 0.6, 0.8)
    body *= periodic_envelope(rng, n, 2.5, 11.0, 0.5)
    # A faint airy rush above, fading in and out with the draught.
    air = stereo_pair(rng, n, band_shape(1400.0, 5200.0, tilt=-0.8), 0.35)
    air *= periodic_envelope(rng, n, 0.05, 0.35, 2.0)
    air *= periodic_envelope(rng, n, 4.0, 20.0, 1.2)
    return 0.45 * rumble + 0.8 * body + 0.15 * air


# ---------------------------------------------------------------------------
# Crackles: each maker returns a short mono sound at unit peak.


def times(length):
    return np.arange(length) / kSampleRate


def normalised(sound):
    peak = np.max(np.abs(sound))
    return sound / peak if peak > 0 else sound


def burst_noise(rng, length, low_hz, high_hz):
    """A short band-limited noise with steep skirts, shaped over its own length."""
    size = max(length, 64)
    band = band_shape(low_hz, high_hz)
    noise = shaped_noise(rng, size, lambda freqs: band(freqs) ** 2)
    return noise[:length]


def damped_partials(rng, length, low_hz, high_hz, count, tau_low, tau_high, glide=0.0):
    """A few decaying sine partials, as a splinter rings for a moment."""
    t = times(length)
    sound = np.zeros(length)
    for _ in range(count):
        freq = rng.log_uniform(low_hz, high_hz)
        tau = rng.log_uniform(tau_low, tau_high)
        phase = rng.one(0.0, 2.0 * math.pi)
        weight = rng.one(0.4, 1.0)
        # A slight downward glide of pitch, as in a popping gas pocket.
        inst = freq * (1.0 - glide * (1.0 - np.exp(-t / 0.02)))
        sound += weight * np.exp(-t / tau) * np.sin(2.0 * math.pi * np.cumsum(inst) / kSampleRate + phase)
    return sound


def attack(length, seconds):
    """A quick rise so that no crackle starts with a digital step."""
    rise = max(1, int(seconds * kSampleRate))
    ramp = np.ones(length)
    ramp[:rise] = 0.5 - 0.5 * np.cos(np.pi * np.arange(rise) / rise)
    return ramp


def make_tick(rng):
    """A tiny dry tick: a fraction of a millisecond of bright noise."""
    length = int(rng.one(0.004, 0.009) * kSampleRate)
    tau = rng.log_uniform(0.0003, 0.0012)
    noise = burst_noise(rng, length, rng.one(900.0, 2500.0), rng.one(5000.0, 9000.0))
    sound = noise * np.exp(-times(length) / tau)
    sound += rng.one(0.2, 0.7) * damped_partials(rng, length, 2000.0, 7500.0, 1, 0.0003, 0.0015)
    return normalised(sound * attack(length, 0.0001))


def make_snap(rng):
    """A sharp snap of splitting wood: a click with a bright ring."""
    length = int(rng.one(0.02, 0.045) * kSampleRate)
    t = times(length)
    click = burst_noise(rng, length, 700.0, 9000.0) * np.exp(-t / rng.log_uniform(0.0006, 0.0025))
    ring = damped_partials(rng, length, 1200.0, 6500.0, 3, 0.0008, 0.005)
    thud = damped_partials(rng, length, 180.0, 600.0, 1, 0.003, 0.01)
    sound = click + rng.one(0.3, 0.8) * ring + rng.one(0.1, 0.4) * thud
    return normalised(sound * attack(length, 0.0001))


def make_pop(rng):
    """A bigger pop of a gas pocket: a thump, a woody knock and a spray."""
    length = int(rng.one(0.09, 0.16) * kSampleRate)
    t = times(length)
    knock = damped_partials(rng, length, 350.0, 1400.0, 3, 0.004, 0.018, glide=0.15)
    thump = damped_partials(rng, length, 70.0, 170.0, 1, 0.015, 0.04, glide=0.25)
    spray = burst_noise(rng, length, 900.0, 8000.0) * np.exp(-t / rng.log_uniform(0.002, 0.007))
    sound = knock + rng.one(0.5, 1.0) * thump + rng.one(0.5, 0.9) * spray
    return normalised(sound * attack(length, 0.0003))


def make_hiss(rng):
    """Sap boiling out of a log: a soft, fizzing hiss of half a second or so."""
    length = int(rng.one(0.35, 1.4) * kSampleRate)
    t = times(length)
    duration = length / kSampleRate
    noise = burst_noise(rng, length, rng.one(2500.0, 4000.0), rng.one(6500.0, 11000.0))
    rise = rng.one(0.05, 0.25) * duration
    fall = rng.one(0.3, 0.6) * duration
    shape = np.minimum(1.0, t / rise) * np.minimum(1.0, (duration - t) / fall)
    shape = np.clip(shape, 0.0, 1.0) ** 1.5
    # Fizz: fast random flutter of the hiss's level.
    fizz_len = max(64, length)
    fizz = shaped_noise(rng, fizz_len, band_shape(15.0, 70.0))[:length]
    fizz = np.clip(1.0 + 0.45 * fizz, 0.1, None)
    return normalised(noise * shape * fizz)


# ---------------------------------------------------------------------------
# Placing the crackles.


class Mixer:
    """Adds panned mono sounds into a stereo buffer, away from the loop join."""

    def __init__(self, n):
        self.n = n
        self.buffer = np.zeros((2, n))
        self.guard = int(kLoopGuardSeconds * kSampleRate)
        self.placed = 0

    def add(self, start_seconds, sound, amplitude, pan):
        start = int(round(start_seconds * kSampleRate))
        # Gives each side a slightly different arrival, for a little width.
        delay = int(abs(pan) * 12)
        end = start + len(sound) + delay
        if start < self.guard or end > self.n - self.guard:
            return
        angle = (pan + 1.0) * math.pi / 4.0
        gains = (math.cos(angle), math.sin(angle))
        late = 1 if pan < 0 else 0
        for channel in (0, 1):
            offset = start + (delay if channel == late else 0)
            self.buffer[channel, offset:offset + len(sound)] += amplitude * gains[channel] * sound
        self.placed += 1


def poisson_times(rng, seconds, rate, liveliness):
    """Event times of a Poisson process whose rate follows liveliness(t)."""
    peak = rate * 2.0
    t = 0.0
    result = []
    while True:
        t += rng.exponential(1.0 / peak)
        if t >= seconds:
            return result
        if rng.chance(min(1.0, rate * liveliness(t) / peak)):
            result.append(t)


def make_crackles(rng, n):
    """The faint embers of one loop, as a stereo buffer, and how many there are.

    Rates are events per second on average; amplitudes are peak levels as
    fractions of full scale before the final levelling (a centred sound
    reaches each channel at 0.71 of that).
    """
    seconds = n / kSampleRate
    mixer = Mixer(n)
    # How lively the fire is, wandering over a few seconds (periodic as well).
    lively_curve = periodic_envelope(rng, n, 0.08, 0.5, 3.0)

    def liveliness(t):
        return float(lively_curve[min(n - 1, int(t * kSampleRate))])

    def pan():
        return rng.one(-0.75, 0.75)

    # Small ticks all through.
    for t in poisson_times(rng, seconds, 3.0, liveliness):
        mixer.add(t, make_tick(rng), rng.log_uniform(0.04, 0.15), pan())
    # Now and then a quiet snap.
    for t in poisson_times(rng, seconds, 0.4, liveliness):
        mixer.add(t, make_snap(rng), rng.log_uniform(0.04, 0.12), pan())
    # Little hisses of sap.
    for t in poisson_times(rng, seconds, 0.1, lambda _: 1.0):
        mixer.add(t, make_hiss(rng), rng.log_uniform(0.02, 0.04), pan())
    return mixer.buffer, mixer.placed


# ---------------------------------------------------------------------------


def soften_highs(sound, corner_hz):
    """Takes the glassy top off, as the air of a room does to a fire's crackle.

    Filtering the whole loop in the frequency domain keeps it periodic.
    """
    n = sound.shape[1]
    freqs = np.arange(n // 2 + 1) * (kSampleRate / n)
    response = 1.0 / (1.0 + (freqs / corner_hz) ** 2)
    return np.fft.irfft(np.fft.rfft(sound, axis=1) * response, n, axis=1)


def db_to_gain(db):
    return 10.0 ** (db / 20.0)


def limit_peaks(mix, knee, ceiling):
    """Rides the gain down over the few tallest pops so they stay under ceiling.

    The wanted level follows a soft curve above knee; the gain that gives it
    is spread over a couple of milliseconds either side of each peak (a
    minimum filter, then a moving average of the same width), so the pops
    keep their shape instead of being clipped.  Both channels share one gain.
    This lets the crackles as a whole sit louder above the bed than the
    single biggest pop would otherwise allow.
    """
    magnitude = np.max(np.abs(mix), axis=0)
    room = ceiling - knee
    wanted = np.where(magnitude > knee, knee + room * np.tanh((magnitude - knee) / room), magnitude)
    gain = np.ones_like(magnitude)
    loud = magnitude > knee
    gain[loud] = wanted[loud] / magnitude[loud]
    width = int(kLimiterSpreadSeconds * kSampleRate) | 1
    half = width // 2
    # The sound is a loop, so the gain curve wraps around its ends as well.
    padded = np.concatenate([gain[-half:], gain, gain[:half]])
    floor = np.lib.stride_tricks.sliding_window_view(padded, width).min(axis=1)
    padded = np.concatenate([floor[-half:], floor, floor[:half]])
    smooth = np.convolve(padded, np.full(width, 1.0 / width), mode="valid")
    return mix * smooth


def synthesise(seconds, seed):
    n = int(round(seconds * kSampleRate))
    rng = Rng(seed)
    bed = make_bed(rng, n)
    bed *= db_to_gain(kBedRmsDbfs) / np.sqrt(np.mean(bed * bed))
    crackles, placed = make_crackles(rng, n)
    crackles = soften_highs(crackles, kCrackleWarmthHz)
    mix = bed + crackles
    mix *= db_to_gain(kBedRmsDbfs) / np.sqrt(np.mean(mix * mix))
    mix = limit_peaks(mix, db_to_gain(kLimiterKneeDbfs), db_to_gain(kPeakDbfs))
    return mix, placed


def to_pcm16(mix):
    samples = np.clip(np.round(mix * kFullScale), -kFullScale, kFullScale).astype("<i2")
    return samples.T.copy().tobytes()  # interleaved left, right


def write_wav(path, mix):
    # Write beside the target and rename, so a broken run never leaves half a file.
    temporary = path + ".part"
    with wave.open(temporary, "wb") as out:
        out.setnchannels(mix.shape[0])
        out.setsampwidth(2)
        out.setframerate(kSampleRate)
        out.writeframes(to_pcm16(mix))
    os.replace(temporary, path)


def main(argv):
    parser = argparse.ArgumentParser(description="Make the looping fire sound.")
    parser.add_argument("--output", required=True, help="the WAV file to write")
    parser.add_argument("--seconds", type=float, default=kDefaultSeconds,
                        help="length of one loop (10 to 30 s)")
    parser.add_argument("--seed", type=int, default=kDefaultSeed, help="the random seed")
    args = parser.parse_args(argv)
    if not 10.0 <= args.seconds <= 30.0:
        print("make_fire_wav: --seconds must lie between 10 and 30", file=sys.stderr)
        return 2
    mix, placed = synthesise(args.seconds, args.seed)
    write_wav(args.output, mix)
    print(f"make_fire_wav: {args.output}: {args.seconds:g} s, {placed} crackles")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
