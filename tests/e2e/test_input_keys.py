"""The saver's keys end to end: any key but S and Q ends it at once with
status 0; Q silences the fire sound and S brings it back, heard in the disk
audio driver's output."""

import os
import time
import unittest

import numpy as np  # Debian's python3-numpy

import e2e_support as e2e

RATE = 44100
CHANNELS = 2
BYTES_PER_SECOND = RATE * CHANNELS * 2


class Saver:
    """One full-screen run, its sound written to a file in real time."""

    def __init__(self, desk):
        self.desk = desk
        self.output = os.path.join(desk.home, "sound-%d.raw" % time.monotonic_ns())
        self.proc = desk.start("/s", extra_env={"SDL_AUDIODRIVER": "disk",
                                                "SDL_DISKAUDIOFILE": self.output})
        # Up means: the sound plays and the saver's window has the keyboard.
        deadline = time.time() + 20
        while time.time() < deadline:
            if self.proc.poll() is not None:
                raise AssertionError("the saver ended at start: " + self.proc.stderr.read())
            if os.path.exists(self.output) and os.path.getsize(self.output) > 0 \
                    and self.focus_covers_screen():
                break
            time.sleep(0.05)
        else:
            raise AssertionError("the saver did not come up")
        self.started = time.monotonic()

    def focus_covers_screen(self):
        """True when the window with the keyboard focus covers the screen."""
        focus = self.desk.xdotool("getwindowfocus").stdout.strip()
        if not focus.isdigit() or int(focus) < 2:
            return False
        shell = self.desk.xdotool("getwindowgeometry", "--shell", focus).stdout.split()
        values = dict(item.split("=", 1) for item in shell if "=" in item)
        return values.get("WIDTH") == str(self.desk.width) and \
            values.get("HEIGHT") == str(self.desk.height)

    def sound_seconds(self):
        return os.path.getsize(self.output) / BYTES_PER_SECOND

    def wait_sound(self, seconds):
        target = self.sound_seconds() + seconds
        deadline = time.time() + seconds * 3 + 10
        while self.sound_seconds() < target:
            if time.time() > deadline:
                raise AssertionError("the sound output stalled")
            time.sleep(0.02)

    def level(self, start, end):
        with open(self.output, "rb") as f:
            f.seek(int(start * RATE) * CHANNELS * 2)
            data = f.read(int((end - start) * RATE) * CHANNELS * 2)
        samples = np.frombuffer(data[: len(data) // 2 * 2], dtype="<i2").astype(np.float64)
        if samples.size == 0:
            return -200.0
        rms = float(np.sqrt(np.mean(samples ** 2)))
        return -200.0 if rms == 0.0 else 20.0 * np.log10(rms / 32768.0)

    def key(self, name):
        result = self.desk.xdotool("key", name)
        if result.returncode != 0:
            raise AssertionError("xdotool: " + result.stderr)

    def running(self):
        return self.proc.poll() is None

    def expect_running(self, test, why):
        """Fails the test, with what the saver said, when it has ended."""
        if not self.running():
            test.fail("%s (status %s): %s" % (why, self.proc.returncode, self.finish()))

    def expect_window(self, test, window, why):
        if window is None:
            test.fail("%s: %s" % (why, self.finish()))

    def finish(self):
        e2e.stop(self.proc)
        return self.proc.stderr.read()


def prime(desk):
    """A first run writes the first-run settings; the text of that file."""
    saver = Saver(desk)
    saver.key("Escape")
    status = e2e.wait_exit(saver.proc, 10)
    stderr = saver.finish()
    if status != 0:
        raise AssertionError("the first run did not end cleanly (%s): %s" % (status, stderr))
    return desk.read_settings()


class KeyCloseTest(unittest.TestCase):
    def test_a_key_ends_the_saver_within_a_second_with_status_0(self):
        with e2e.Desktop() as desk:
            prime(desk)
            for key in ("a", "space", "Return", "F1", "Left"):
                saver = Saver(desk)
                time.sleep(1.0)
                self.assertTrue(saver.running(), key)
                pressed = time.monotonic()
                saver.key(key)
                status = e2e.wait_exit(saver.proc, 5)
                took = time.monotonic() - pressed
                stderr = saver.finish()
                self.assertEqual(status, 0, "%s: %s" % (key, stderr))
                self.assertLess(took, 1.0, "%s took %.2f s" % (key, took))

    def test_q_silences_the_fire_and_s_brings_it_back(self):
        with e2e.Desktop() as desk:
            desk.write_settings(e2e.set_keys(prime(desk), {("Settings", "Vol"): "0"}))
            saver = Saver(desk)
            saver.wait_sound(2.0)
            playing = saver.level(0.5, saver.sound_seconds() - 0.1)

            q_at = saver.sound_seconds()
            saver.key("q")
            saver.wait_sound(1.0)
            saver.key("q")  # a second Q changes nothing
            saver.wait_sound(1.0)
            s_at = saver.sound_seconds()
            saver.key("s")
            saver.wait_sound(2.0)
            quiet = saver.level(q_at + 0.4, s_at - 0.05)
            back = saver.level(s_at + 0.4, saver.sound_seconds() - 0.1)
            still_running = saver.running()

            saver.key("Escape")
            status = e2e.wait_exit(saver.proc, 10)
            stderr = saver.finish()
            print("fire: %.1f dBFS, after Q %.1f, after S %.1f" % (playing, quiet, back))
            self.assertTrue(still_running, "S or Q ended the saver: " + stderr)
            self.assertEqual(status, 0)
            self.assertGreater(playing, -60.0, "the fire sound is not heard")
            self.assertLess(quiet, -150.0, "Q left the fire playing")
            self.assertAlmostEqual(back, playing, delta=3.0)


if __name__ == "__main__":
    e2e.main()
