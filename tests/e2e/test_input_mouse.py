"""Mouse movement end to end: moves in the first seconds of a run do not
count, and after five seconds a quick burst of four ends the saver with
status 0 (three do not); a click ends it at once."""

import time
import unittest

import e2e_support as e2e


def move(desk, x, y):
    result = desk.xdotool("mousemove", str(x), str(y))
    if result.returncode != 0:
        raise AssertionError("xdotool: " + result.stderr)


class MouseCloseTest(unittest.TestCase):
    def test_early_moves_do_not_count_and_four_quick_moves_later_end_the_saver(self):
        with e2e.Desktop() as desk:
            desk.write_settings(e2e.set_keys(e2e.prime(desk), {("Settings", "MouseSen"): "4"}))
            move(desk, 500, 380)
            saver = e2e.SaverRun(desk)
            # The first seconds: many moves, none of them counted.
            for i in range(12):
                move(desk, 100 + 40 * i, 100 + 20 * i)
                time.sleep(0.15)
            time.sleep(0.5)
            saver.expect_running(self, "early moves ended the saver")

            # Well after five seconds: three quick moves are not enough...
            time.sleep(max(0.0, saver.started + 7.5 - time.monotonic()))
            for i in range(3):
                move(desk, 600 + 30 * i, 500)
                time.sleep(0.05)
            time.sleep(1.0)
            saver.expect_running(self, "three moves ended the saver")

            # ...the fourth is.
            moved = time.monotonic()
            move(desk, 300, 300)
            status = e2e.wait_exit(saver.proc, 5)
            took = time.monotonic() - moved
            stderr = saver.finish()
            self.assertEqual(status, 0, stderr)
            self.assertLess(took, 1.0, "the fourth move took %.2f s to end the saver" % took)

    def test_a_click_ends_the_saver(self):
        with e2e.Desktop() as desk:
            e2e.prime(desk)
            saver = e2e.SaverRun(desk)
            time.sleep(1.0)
            clicked = time.monotonic()
            desk.xdotool("click", "1")
            status = e2e.wait_exit(saver.proc, 5)
            took = time.monotonic() - clicked
            stderr = saver.finish()
            self.assertEqual(status, 0, stderr)
            self.assertLess(took, 1.0)


if __name__ == "__main__":
    e2e.main()
