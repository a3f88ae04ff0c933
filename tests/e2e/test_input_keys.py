"""The saver's keys end to end: any key but S and Q ends it at once with
status 0; Q silences the fire sound and S brings it back, heard in the disk
audio driver's output."""

import os
import time
import unittest

import e2e_support as e2e

class KeyCloseTest(unittest.TestCase):
    def test_a_key_ends_the_saver_within_a_second_with_status_0(self):
        with e2e.Desktop() as desk:
            e2e.prime(desk)
            for key in ("a", "space", "Return", "F1", "Left"):
                saver = e2e.SaverRun(desk)
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
            desk.write_settings(e2e.set_keys(e2e.prime(desk), {("Settings", "Vol"): "0"}))
            saver = e2e.SaverRun(desk)
            saver.wait(2.0)
            playing = saver.level(0.5, saver.now() - 0.1)

            q_at = saver.now()
            saver.key("q")
            saver.wait(1.0)
            saver.key("q")  # a second Q changes nothing
            saver.wait(1.0)
            s_at = saver.now()
            saver.key("s")
            saver.wait(2.0)
            quiet = saver.level(q_at + 0.4, s_at - 0.05)
            back = saver.level(s_at + 0.4, saver.now() - 0.1)
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
