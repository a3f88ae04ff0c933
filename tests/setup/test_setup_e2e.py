"""emberlrn /c end to end: the real settings dialog on a private X display,
its message boxes, the settings file it fills, and how it ends."""

import os
import subprocess
import time
import unittest

import e2e_support
from e2e_support import Desktop, stop, wait_exit

TITLE = "Emberlorn Screensaver by Kestrovane"


def settings(text):
    """The settings file's values as {"section/key": value}."""
    values, section = {}, ""
    for line in text.splitlines():
        if line.startswith("[") and line.endswith("]"):
            section = line[1:-1]
        elif "=" in line:
            key, value = line.split("=", 1)
            values[section + "/" + key] = value
    return values


class SetupDialogEndToEnd(unittest.TestCase):
    def test_first_opening_fills_the_store_and_ok_ends_it(self):
        with Desktop() as desk:
            proc = desk.start("/c")
            try:
                window = desk.wait_for_window(TITLE)
                self.assertIsNotNone(window, "the settings dialog did not appear")
                stored = settings(desk.read_settings())
                self.assertEqual(stored.get("Settings/SetReg"), "2")
                self.assertEqual(stored.get("Settings/Message"), "Place a message here")
                self.assertEqual(stored.get("xmas/SoundOn"), "False")
                # The dialog stands on the screen, drawn in its light colours.
                shot = desk.screenshot()
                middle = shot.getpixel((desk.width // 2, desk.height // 2))
                self.assertGreater(sum(middle), 3 * 150, middle)
                desk.xdotool("windowactivate", "--sync", window)
                desk.xdotool("key", "--window", window, "Return")  # the default button, "&OK"
                self.assertEqual(wait_exit(proc, 10), 0)
                # Opening and closing changed nothing.
                self.assertEqual(settings(desk.read_settings()), stored)
            finally:
                stop(proc)

    def test_equal_times_warn_before_the_dialog(self):
        with Desktop() as desk:
            with open(os.path.join(desk.home, ".xscreensaver"), "w") as f:
                f.write("timeout:\t0:15:00\n")
            lines = ["[Settings]", "SetReg=2", "Power=1", "Monitor=15 Minutes"]
            desk.write_settings("\n".join(lines) + "\n")
            proc = desk.start("/c")
            try:
                warning = desk.wait_for_window("WARNING!")
                self.assertIsNotNone(warning, "no warning about equal times")
                self.assertIsNone(desk.wait_for_window(TITLE, timeout=1),
                                  "the dialog came before its warning")
                desk.xdotool("windowactivate", "--sync", warning)
                desk.xdotool("key", "--window", warning, "Return")
                window = desk.wait_for_window(TITLE)
                self.assertIsNotNone(window)
                desk.xdotool("windowactivate", "--sync", window)
                desk.xdotool("key", "--window", window, "Escape")
                self.assertEqual(wait_exit(proc, 10), 0)
                stored = settings(desk.read_settings())
                self.assertEqual(stored.get("Settings/Monitor"), "15 Minutes")
                self.assertEqual(stored.get("Settings/Power"), "1")
            finally:
                stop(proc)

    def test_no_display_is_one_line_and_no_crash(self):
        env = dict(os.environ)
        for name in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"):
            env.pop(name, None)
        with Desktop() as desk:
            env.update({k: desk.env[k] for k in ("HOME", "XDG_CONFIG_HOME", "XDG_RUNTIME_DIR")})
            result = subprocess.run([e2e_support.BIN, "/c"], env=env, capture_output=True,
                                    text=True, timeout=20)
            self.assertEqual(result.returncode, 1)
            self.assertEqual(len(result.stderr.strip().splitlines()), 1, result.stderr)
            self.assertIn("display", result.stderr)


if __name__ == "__main__":
    e2e_support.main()
