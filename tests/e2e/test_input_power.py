"""The power-management hand-over end to end: with the desktop's screen-saver
wait in ~/.xscreensaver and a monitor time, the saver steps aside 45 seconds
before the monitor would go off and leaves the "Power Management" warning on
top; a key that types nothing leaves it, a movement or a typed key ends the
program with status 0."""

import os
import time
import unittest

import e2e_support as e2e

PM_WIDTH, PM_HEIGHT = 312, 213
FACE = (212, 208, 200)


def power_desk(desk, timeout_text, monitor):
    settings = e2e.prime(desk)
    with open(os.path.join(desk.home, ".xscreensaver"), "w") as f:
        f.write("# written by the test\nmode:\t\tone\ntimeout:\t%s\ncycle:\t\t0:10:00\n"
                % timeout_text)
    desk.write_settings(e2e.set_keys(settings, {("Settings", "Power"): "1",
                                            ("Settings", "Monitor"): monitor}))


def window_geometry(desk, window):
    result = desk.xdotool("getwindowgeometry", "--shell", window)
    values = dict(line.split("=", 1) for line in result.stdout.split() if "=" in line)
    return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])


class PowerHandoverTest(unittest.TestCase):
    def test_the_warning_appears_at_once_and_a_mouse_movement_ends_it(self):
        with e2e.Desktop() as desk:
            # 60 - 30 - 45 < 0: the hand-over comes on the first tick.
            power_desk(desk, "0:00:30", "1 Minute")
            desk.xdotool("mousemove", "10", "10")
            saver = e2e.SaverRun(desk)
            warning = desk.wait_for_window("^Power Management$", timeout=5)
            saver.expect_window(self, warning, "no warning window")
            self.assertLess(time.monotonic() - saver.started, 3.0)
            time.sleep(0.5)
            saver.expect_running(self, "the warning ended by itself")

            x, y, width, height = window_geometry(desk, warning)
            self.assertEqual((width, height), (PM_WIDTH, PM_HEIGHT))
            self.assertLessEqual(abs(x - (desk.width - PM_WIDTH) // 2), 2)
            self.assertLessEqual(abs(y - (desk.height - PM_HEIGHT) // 2), 2)
            shot = desk.screenshot()
            self.assertEqual(shot.getpixel((x + 4, y + PM_HEIGHT - 4)), FACE)
            dark = sum(1 for px in range(x + 16, x + 289) for py in range(y + 8, y + 73)
                       if sum(shot.getpixel((px, py))) < 200)
            self.assertGreater(dark, 300, "the warning shows no text")

            # Shift and an arrow type nothing: the warning stays.
            desk.xdotool("key", "shift")
            desk.xdotool("key", "Left")
            time.sleep(1.5)
            saver.expect_running(self, "a key that types nothing ended the warning")

            moved = time.monotonic()
            desk.xdotool("mousemove", "40", "700")
            status = e2e.wait_exit(saver.proc, 5)
            took = time.monotonic() - moved
            stderr = saver.finish()
            self.assertEqual(status, 0, stderr)
            self.assertLess(took, 1.5, "the movement took %.2f s to end the warning" % took)

    def test_the_hand_over_comes_45_seconds_before_the_monitor_time_and_a_key_ends_it(self):
        with e2e.Desktop() as desk:
            # 60 - 5 - 45 = 10 seconds after the start.
            power_desk(desk, "0:00:05", "1 Minute")
            saver = e2e.SaverRun(desk)
            self.assertIsNone(desk.wait_for_window("^Power Management$", timeout=7),
                              "the warning came too early")
            self.assertTrue(saver.running())
            warning = desk.wait_for_window("^Power Management$", timeout=8)
            came = time.monotonic() - saver.started
            saver.expect_window(self, warning, "no warning window")
            self.assertGreater(came, 8.5)
            self.assertLess(came, 13.0)
            # The fire is silent behind the warning.
            at = saver.now()
            saver.wait(1.5)
            quiet = saver.level(at + 0.3, saver.now() - 0.05)
            self.assertLess(quiet, -150.0, "the fire plays on behind the warning")

            typed = time.monotonic()
            desk.xdotool("key", "a")
            status = e2e.wait_exit(saver.proc, 5)
            took = time.monotonic() - typed
            stderr = saver.finish()
            self.assertEqual(status, 0, stderr)
            self.assertLess(took, 1.0)

    def test_without_power_management_no_warning_appears(self):
        with e2e.Desktop() as desk:
            settings = e2e.prime(desk)
            with open(os.path.join(desk.home, ".xscreensaver"), "w") as f:
                f.write("timeout:\t0:00:30\n")
            desk.write_settings(e2e.set_keys(settings, {("Settings", "Power"): "1",
                                                    ("Settings", "Monitor"): "Never"}))
            saver = e2e.SaverRun(desk)
            self.assertIsNone(desk.wait_for_window("^Power Management$", timeout=4))
            self.assertTrue(saver.running())
            saver.key("Escape")
            self.assertEqual(e2e.wait_exit(saver.proc, 5), 0)
            saver.finish()


if __name__ == "__main__":
    e2e.main()
