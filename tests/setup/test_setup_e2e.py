"""emberlrn /c end to end: the real settings dialog on a private X display,
its message boxes, the settings file it fills, and how it ends."""

import os
import subprocess
import time
import unittest

import e2e_support
from e2e_support import Desktop, stop, wait_exit

TITLE = "Emberlorn Screensaver by Kestrovane"
TABS = ["settings", "fireplace-settings", "pwr-management", "christmas"]


def fire_pixels(image, box):
    """How many pixels inside box are the flame's orange and red."""
    region = image.crop(box).getdata()
    return sum(1 for r, g, b in region if r > 180 and g < 170 and b < 90)


def window_box(desk, window):
    """The window's rectangle on the screen, as (left, top, right, bottom)."""
    out = desk.xdotool("getwindowgeometry", "--shell", window).stdout
    geometry = dict(line.split("=", 1) for line in out.split())
    x, y = int(geometry["X"]), int(geometry["Y"])
    return x, y, x + int(geometry["WIDTH"]), y + int(geometry["HEIGHT"])


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
                # The dialog stands on the screen, drawn in its light colours
                # (its left edge; the live fire burns on its right).
                # A window is mapped before it is first painted, so look again
                # for a few seconds before judging it.
                left, top, _, bottom = window_box(desk, window)
                middle = (top + bottom) // 2
                deadline = time.time() + 5
                while True:
                    edge = desk.screenshot().crop((left + 4, middle - 20,
                                                   left + 12, middle + 20)).convert("L")
                    brightness = sum(edge.getdata()) / (8 * 40)
                    if brightness > 150 or time.time() > deadline:
                        break
                    time.sleep(0.2)
                self.assertGreater(brightness, 150)
                desk.xdotool("windowactivate", "--sync", window)
                desk.xdotool("key", "--window", window, "Return")  # the default button, "&OK"
                self.assertEqual(wait_exit(proc, 10), 0)
                # Opening and closing changed nothing.
                self.assertEqual(settings(desk.read_settings()), stored)
            finally:
                stop(proc)

    def test_every_tab_beside_the_live_fire_and_the_store_untouched(self):
        review = os.path.join(e2e_support.BUILD_DIR, "setup-review")
        os.makedirs(review, exist_ok=True)
        with Desktop() as desk:
            # The saver's first run fills the store; the dialog must leave it as it is.
            e2e_support.prime(desk)
            with open(desk.settings_file, "rb") as f:
                before = f.read()
            proc = desk.start("/c")
            try:
                window = desk.wait_for_window(TITLE)
                self.assertIsNotNone(window, "the settings dialog did not appear")
                # Without a window manager the keyboard goes where it is sent.
                desk.xdotool("windowfocus", "--sync", window)
                left, top, right, bottom = window_box(desk, window)
                # The preview stands in the dialog's right part, beside the tabs.
                pane = (left + (right - left) * 3 // 4, top, right, bottom)
                shots = []
                for index, name in enumerate(TABS):
                    if index:
                        desk.xdotool("key", "ctrl+Tab")
                    time.sleep(0.3)
                    shot = desk.screenshot().crop((left, top, right, bottom))
                    shot.save(os.path.join(review, "e2e-tab-%s.png" % name))
                    shots.append(desk.screenshot())
                    self.assertGreater(fire_pixels(shots[-1], pane), 500, name)
                # The fire moves by itself while the dialog shows.
                self.assertNotEqual(shots[0].crop(pane).tobytes(), shots[-1].crop(pane).tobytes())
                desk.xdotool("key", "Escape")
                self.assertEqual(wait_exit(proc, 10), 0)
                self.assertEqual(proc.stderr.read(), "")
            finally:
                stop(proc)
            with open(desk.settings_file, "rb") as f:
                self.assertEqual(f.read(), before, "opening and closing the dialog changed the store")

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
