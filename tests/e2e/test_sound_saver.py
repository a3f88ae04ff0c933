"""The fire sound and the carols end to end: the real saver on a private
X server with the disk audio driver, which writes what the saver plays into
a file in real time; the tests read it back."""

import os
import re
import struct
import tempfile
import time
import unittest

import e2e_support as e2e

SILENCE_DBFS = -60.0
# The seconds of output in each level of an envelope.
STEP = 0.05


def have_data(*names):
    return all(os.path.exists(os.path.join(e2e.DATA_DIR, name)) for name in names)


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


class FireSoundTest(unittest.TestCase):
    def setUp(self):
        if not have_data("fire.wav"):
            self.skipTest("no fire.wav in the data folder")

    def test_the_fire_plays_at_the_chosen_volume_and_q_and_s_stop_and_restart_it(self):
        with e2e.Desktop() as desk:
            # The first run writes the first-run settings: volume -1667.
            run = e2e.SaverRun(desk)
            run.wait(3.0)
            first_run = run.level(1.0, run.now() - 0.2)
            self.assertEqual(run.end(), 0)
            self.assertGreater(first_run, SILENCE_DBFS, "the fire sound is not heard")

            levels = {}
            # The volume law is the bed's; the crackles, random and held at
            # full scale when loud, are measured on their own.
            desk.write_settings(e2e.add_key(desk.read_settings(), "Settings", "Crackle", "0"))
            for volume in ("0", "-1667", "-2500"):
                desk.write_settings(e2e.set_keys(desk.read_settings(), {("Settings", "Vol"): volume}))
                run = e2e.SaverRun(desk)
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
                  % (levels["0"], levels["-1667"], levels["-2500"]))
            self.assertAlmostEqual(levels["0"] - levels["-2500"], 25.0, delta=1.5)
            self.assertAlmostEqual(levels["0"] - levels["-1667"], 16.7, delta=1.5)
            self.assertLess(quiet, -150.0, "Q left the fire playing")
            self.assertAlmostEqual(back, levels["0"], delta=2.0)

    def test_the_sound_off_time_stops_the_fire(self):
        with e2e.Desktop() as desk:
            run = e2e.SaverRun(desk)
            self.assertEqual(run.end(), 0)
            # A tenth of a minute, as a hand-edited file may hold it: six seconds.
            desk.write_settings(e2e.set_keys(desk.read_settings(), {("Settings", "SoundOff"): "0.1"}))
            run = e2e.SaverRun(desk)
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

            run = e2e.SaverRun(desk, data)
            self.assertEqual(run.end(), 0)
            desk.write_settings(e2e.set_keys(desk.read_settings(), {
                ("Settings", "SoundOn"): "0",
                ("xmas", "SoundOn"): "True",
                ("xmas", "Midi1"): "1",
                ("xmas", "Midi3"): "1",
            }))
            run = e2e.SaverRun(desk, data)
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
