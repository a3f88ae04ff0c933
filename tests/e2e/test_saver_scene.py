"""The full-screen saver end to end: `emberlrn /s` on a private Xvfb covers the
screen with the scene, animates it, shows the first-run notices and stores
that they were seen, keeps the scene's shape on a wide screen, and ends on a
key. Without a display it says so and fails."""

import os
import shutil
import tempfile
import time
import unittest

import e2e_support as e2e
from e2e_support import QUIET, Desktop, add_key, canvas_to_screen, mean_brightness, stop, wait_exit
from saver_stand_ins import make_stand_ins


def data_folder():
    """The installation data when it has been made, else stand-ins."""
    if e2e.DATA_DIR and os.path.exists(os.path.join(e2e.DATA_DIR, "Flame1.bmp")):
        return e2e.DATA_DIR, None
    folder = tempfile.mkdtemp(prefix="emberlrn-art-")
    return make_stand_ins(folder) + "/", folder


def canvas_box(desktop, x0, y0, x1, y1):
    left, top = canvas_to_screen(desktop, x0, y0)
    right, bottom = canvas_to_screen(desktop, x1, y1)
    return (left, top, right, bottom)


class SaverSceneTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.data, cls.temp_art = data_folder()

    @classmethod
    def tearDownClass(cls):
        if cls.temp_art:
            shutil.rmtree(cls.temp_art, ignore_errors=True)

    @staticmethod
    def finish(proc):
        stop(proc)
        proc.stdout.close()
        proc.stderr.close()

    def start(self, desktop, settings=None, data=None):
        if settings is not None:
            desktop.write_settings(settings)
        proc = desktop.start("/s", extra_env={"EMBERLRN_DATA_DIR": data or self.data})
        self.addCleanup(self.finish, proc)
        self.assertIsNotNone(desktop.wait_for_window("Emberlorn"), "no saver window")
        time.sleep(1.5)  # a few frames
        return proc

    def test_the_scene_covers_the_screen_and_a_key_ends_it(self):
        with Desktop() as desktop:
            proc = self.start(desktop, QUIET)
            first = desktop.screenshot()
            self.assertEqual(first.size, (1024, 768))
            # The stockings hang at the top; the flame burns inside the surround.
            stocking = canvas_box(desktop, 110, 40, 150, 120)
            flame = canvas_box(desktop, 250, 300, 550, 420)
            self.assertGreater(mean_brightness(first, stocking), 25)
            self.assertGreater(mean_brightness(first, flame), 25)
            # The flame moves: a later picture of it differs.
            time.sleep(0.7)
            later = desktop.screenshot()
            self.assertNotEqual(first.crop(flame).tobytes(), later.crop(flame).tobytes())

            self.assertIsNone(proc.poll(), "the saver ended by itself")
            desktop.xdotool("key", "a")
            self.assertEqual(wait_exit(proc, 5), 0)
            self.assertNotIn("Error", proc.stderr.read())

    def test_a_first_start_shows_notice_one_and_stores_it_after_twenty_seconds(self):
        with Desktop() as desktop:
            proc = self.start(desktop)  # no settings at all: a first run
            shot = desktop.screenshot()
            # The notice panel stands at (150, 70) over the scene.
            panel = canvas_box(desktop, 160, 80, 640, 360)
            self.assertGreater(mean_brightness(shot, panel), 60)
            settings = desktop.read_settings()
            self.assertIn("SetReg=2", settings)
            self.assertIn("RunMon=False", settings)
            deadline = time.time() + 30
            while time.time() < deadline and "RunMon=True" not in desktop.read_settings():
                time.sleep(0.5)
            settings = desktop.read_settings()
            self.assertIn("RunMon=True", settings)
            self.assertIn("PwrMsg=False", settings)
            self.assertIsNone(proc.poll())
            desktop.xdotool("key", "Escape")
            self.assertEqual(wait_exit(proc, 5), 0)

    def test_a_wide_screen_keeps_the_scene_in_shape_with_walls_or_black_bars_beside_it(self):
        for fill, bars in (("1", False), ("0", True)):
            with self.subTest(fill_wide=fill), Desktop(1280, 720) as desktop:
                proc = self.start(desktop, add_key(QUIET, "emberlrn", "FillWide", fill))
                shot = desktop.screenshot()
                # 800 x 600 scaled to 960 x 720 leaves 160 pixels on each side:
                # the room's walls, or black.
                for side in ((0, 0, 150, 720), (1130, 0, 1280, 720)):
                    if bars:
                        self.assertLess(mean_brightness(shot, side), 2)
                    else:
                        self.assertGreater(mean_brightness(shot, side), 10)
                self.assertGreater(mean_brightness(shot, (170, 0, 1110, 720)), 20)
                desktop.xdotool("key", "a")
                self.assertEqual(wait_exit(proc, 5), 0)

    def test_a_missing_picture_is_named_once_and_the_saver_runs_on(self):
        folder = tempfile.mkdtemp(prefix="emberlrn-art-")
        self.addCleanup(shutil.rmtree, folder, True)
        make_stand_ins(folder, leave_out={"Stocking.bmp"})
        with Desktop() as desktop:
            proc = self.start(desktop, QUIET, data=folder + "/")
            shot = desktop.screenshot()
            flame = canvas_box(desktop, 250, 300, 550, 420)
            self.assertGreater(mean_brightness(shot, flame), 25)
            self.assertIsNone(proc.poll())
            desktop.xdotool("key", "a")
            self.assertEqual(wait_exit(proc, 5), 0)
            told = [line for line in proc.stderr.read().splitlines() if "Stocking.bmp" in line]
            self.assertEqual(len(told), 1, told)


if __name__ == "__main__":
    e2e.main()
