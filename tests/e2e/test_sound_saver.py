"""The fire sound and the carols end to end: the real saver on a private
X server with the disk audio driver, which writes what the saver plays into
a file in real time; the tests read it back."""

import os
import re
import struct
import tempfile
import time
import unittest

import numpy as np  # Debian's python3-numpy

import e2e_support as e2e

RATE = 44100
CHANNELS = 2
BYTES_PER_SECOND = RATE * CHANNELS * 2
SILENCE_DBFS = -60.0
# The seconds of output in each level of an envelope.
STEP = 0.05


def have_data(*names):
    return all(os.path.exists(os.path.join(e2e.DATA_DIR, name)) for name in names)


def level_dbfs(samples):
    if samples.size == 0:
        return -200.0
    rms = float(np.sqrt(np.mean(samples.astype(np.float64) ** 2)))
    return -200.0 if rms == 0.0 else 20.0 * np.log10(rms / 32768.0)


def write_tune_midi(path, keys, note_seconds=0.25):
    """A one-track MIDI file: the keys on the piano, one after another."""
    ticks = int(round(note_seconds * 960))  # 480 a quarter at 120 a minute
    def var_len(value):
        out = [value & 0x7F]
        value >>= 7
        while value:
            out.append((value & 0x7F) | 0x80)
            value >>= 7
        return bytes(reversed(out))
    track = b"\x00\xff\x51\x03\x07\xa1\x20" + b"\x00\xc0\x00"
    for key in keys:
        track += b"\x00" + bytes([0x90, key, 100]) + var_len(ticks) + bytes([0x80, key, 0])
    track += b"\x00\xff\x2f\x00"
    with open(path, "wb") as f:
        f.write(b"MThd" + struct.pack(">IHHH", 6, 0, 1, 480))
        f.write(b"MTrk" + struct.pack(">I", len(track)) + track)


class SaverRun:
    """One full-screen run whose sound goes to a file."""

    def __init__(self, desk, data_dir=None):
        self.desk = desk
        self.output = os.path.join(desk.home, "sound-%d.raw" % time.monotonic_ns())
        env = {"SDL_AUDIODRIVER": "disk", "SDL_DISKAUDIOFILE": self.output}
        if data_dir:
            env["EMBERLRN_DATA_DIR"] = data_dir
        self.proc = desk.start("/s", extra_env=env)
        self.wait_for_sound_output()

    def wait_for_sound_output(self):
        deadline = time.time() + 15
        while time.time() < deadline:
            if self.proc.poll() is not None:
                raise AssertionError("the saver ended: " + self.proc.stderr.read())
            if os.path.exists(self.output) and os.path.getsize(self.output) > 0:
                return
            time.sleep(0.05)
        raise AssertionError("the saver opened no sound output")

    def now(self):
        """Seconds of sound written so far."""
        return os.path.getsize(self.output) / BYTES_PER_SECOND

    def wait(self, seconds):
        target = self.now() + seconds
        deadline = time.time() + seconds * 3 + 10
        while self.now() < target:
            if time.time() > deadline:
                raise AssertionError("the sound output stalled")
            time.sleep(0.02)

    def key(self, name):
        result = self.desk.xdotool("key", name)
        if result.returncode != 0:
            raise AssertionError("xdotool: " + result.stderr)

    def end(self):
        # A key pressed before the window is up and has the keyboard is lost.
        if self.now() < 2.0:
            self.wait(2.0 - self.now())
        self.key("Escape")
        status = e2e.wait_exit(self.proc, 10)
        e2e.stop(self.proc)
        self.stderr = self.proc.stderr.read()
        return status

    def samples(self, start, end):
        with open(self.output, "rb") as f:
            f.seek(int(start * RATE) * CHANNELS * 2)
            data = f.read(int((end - start) * RATE) * CHANNELS * 2)
        return np.frombuffer(data[: len(data) // 2 * 2], dtype="<i2")

    def level(self, start, end):
        return level_dbfs(self.samples(start, end))

    def envelope(self, step=0.05):
        """The level of every step of the whole output."""
        data = self.samples(0, self.now())
        frames = int(step * RATE) * CHANNELS
        count = data.size // frames
        blocks = data[: count * frames].reshape(count, frames).astype(np.float64)
        rms = np.sqrt(np.mean(blocks ** 2, axis=1))
        with np.errstate(divide="ignore"):
            return np.where(rms > 0, 20 * np.log10(rms / 32768.0), -200.0)


class FireSoundTest(unittest.TestCase):
    def setUp(self):
        if not have_data("fire.wav"):
            self.skipTest("no fire.wav in the data folder")

    def test_the_fire_plays_at_the_chosen_volume_and_q_and_s_stop_and_restart_it(self):
        with e2e.Desktop() as desk:
            # The first run writes the first-run settings: volume -1667.
            run = SaverRun(desk)
            run.wait(3.0)
            first_run = run.level(1.0, run.now() - 0.2)
            self.assertEqual(run.end(), 0)
            self.assertGreater(first_run, SILENCE_DBFS, "the fire sound is not heard")

            levels = {}
            for volume in ("0", "-2500"):
                desk.write_settings(e2e.set_keys(desk.read_settings(), {("Settings", "Vol"): volume}))
                run = SaverRun(desk)
                run.wait(3.0)
                levels[volume] = run.level(1.0, run.now() - 0.2)
                if volume == "0":
                    # Q silences the fire; S brings it back, from its start.
                    q_at = run.now()
                    run.key("q")
                    run.wait(2.0)
                    s_at = run.now()
                    run.key("s")
                    run.wait(2.0)
                    quiet = run.level(q_at + 0.5, s_at - 0.1)
                    back = run.level(s_at + 0.5, run.now() - 0.2)
                self.assertEqual(run.end(), 0)
            print("fire sound: %.1f dBFS at 0, %.1f at -1667, %.1f at -2500"
                  % (levels["0"], first_run, levels["-2500"]))
            self.assertAlmostEqual(levels["0"] - levels["-2500"], 25.0, delta=1.5)
            self.assertAlmostEqual(levels["0"] - first_run, 16.7, delta=1.5)
            self.assertLess(quiet, -150.0, "Q left the fire playing")
            self.assertAlmostEqual(back, levels["0"], delta=2.0)

    def test_the_sound_off_time_stops_the_fire(self):
        with e2e.Desktop() as desk:
            run = SaverRun(desk)
            self.assertEqual(run.end(), 0)
            # A tenth of a minute, as a hand-edited file may hold it: six seconds.
            desk.write_settings(e2e.set_keys(desk.read_settings(), {("Settings", "SoundOff"): "0.1"}))
            run = SaverRun(desk)
            run.wait(10.0)
            envelope = run.envelope(0.5)
            self.assertEqual(run.end(), 0)
            self.assertTrue(all(level > SILENCE_DBFS for level in envelope[1:10]),
                            "the fire stopped before its six seconds were up")
            self.assertTrue(all(level < -150.0 for level in envelope[15:19]),
                            "the fire went on after its six seconds")


class CarolTest(unittest.TestCase):
    def test_each_carol_follows_the_last_note_of_the_one_before_within_a_second_and_a_half(self):
        with e2e.Desktop() as desk, tempfile.TemporaryDirectory(prefix="emberlrn-data-") as data:
            # The installed data, with two short carols of our own in place of
            # carols 1 and 3.
            if e2e.DATA_DIR and os.path.isdir(e2e.DATA_DIR):
                for name in os.listdir(e2e.DATA_DIR):
                    os.symlink(os.path.join(e2e.DATA_DIR, name), os.path.join(data, name))
            for name in ("midi1.mid", "midi3.mid"):
                if os.path.lexists(os.path.join(data, name)):
                    os.remove(os.path.join(data, name))
            write_tune_midi(os.path.join(data, "midi1.mid"), [60, 64, 67, 72])
            write_tune_midi(os.path.join(data, "midi3.mid"), [72, 67, 64, 60])
            data += "/"

            run = SaverRun(desk, data)
            self.assertEqual(run.end(), 0)
            desk.write_settings(e2e.set_keys(desk.read_settings(), {
                ("Settings", "SoundOn"): "0",
                ("xmas", "SoundOn"): "True",
                ("xmas", "Midi1"): "1",
                ("xmas", "Midi3"): "1",
            }))
            run = SaverRun(desk, data)
            run.wait(10.0)
            envelope = run.envelope(STEP)
            self.assertEqual(run.end(), 0)

            # A carol starts where its first note stands out of the quiet
            # before it: silence, or the faded tail of the carol before.
            starts = [i for i in range(len(envelope))
                      if envelope[i] > -40.0 and (i == 0 or envelope[i - 1] < -45.0)]
            self.assertGreaterEqual(len(starts), 4, "fewer than four carols in 10 s")
            # The saver's start-up (its pictures) comes first; on a busy
            # machine that takes a second or two.
            self.assertLess(starts[0] * STEP, 5.0, "carol 1 did not start with the saver")
            # Each carol is a second of notes.
            gaps = [(starts[k + 1] - starts[k]) * STEP - 1.0 for k in range(3)]
            print("from the last note to the next carol: " + ", ".join("%.2f s" % g for g in gaps))
            for gap in gaps:
                self.assertGreater(gap, 0.0, "a carol was cut before its last note")
                self.assertLessEqual(gap, 1.5)
            self.assertNotIn("cannot play", run.stderr)


if __name__ == "__main__":
    e2e.main()
