"""The classic command line end to end: the preview inside a host window,
modes that end at once, and the password mode."""

import os
import shutil
import time
import unittest

from Xlib import X, display as xdisplay  # Debian's python3-xlib

import e2e_support as e2e


class PreviewTest(unittest.TestCase):
    def test_preview_fills_the_host_window_and_ends_with_it(self):
        with e2e.Desktop() as desk:
            dpy = xdisplay.Display(desk.display)
            screen = dpy.screen()
            host = screen.root.create_window(100, 100, 320, 240, 0, screen.root_depth,
                                             background_pixel=screen.white_pixel)
            host.map()
            dpy.sync()
            proc = desk.start("/p", str(host.id))
            deadline = time.time() + 10
            children = []
            while time.time() < deadline and not children:
                children = host.query_tree().children
                time.sleep(0.1)
            self.assertEqual(len(children), 1, "the preview made no child window")
            child = children[0]
            self.assertEqual(child.get_wm_name(), "Preview")
            geometry = child.get_geometry()
            self.assertEqual((geometry.width, geometry.height), (320, 240))
            self.assertIsNone(proc.poll(), "the preview ended on its own")

            if os.path.exists(os.path.join(e2e.DATA_DIR, "preview.bmp")):
                time.sleep(0.5)
                shot = desk.screenshot()
                region = [shot.getpixel((100 + x, 100 + y)) for x in range(20, 300, 20)
                          for y in range(20, 220, 20)]
                self.assertTrue(any(sum(p) > 60 for p in region), "the still is not shown")
                self.assertTrue(any(p != (255, 255, 255) for p in region))

            # The host grows: the preview follows it.
            host.configure(width=400, height=300)
            dpy.sync()
            deadline = time.time() + 5
            while time.time() < deadline and child.get_geometry().width != 400:
                time.sleep(0.1)
            self.assertEqual(child.get_geometry().height, 300)

            host.destroy()
            dpy.sync()
            self.assertEqual(e2e.wait_exit(proc, 5), 0)
            dpy.close()

    def test_a_missing_or_bad_handle_ends_quietly(self):
        with e2e.Desktop() as desk:
            for args in (["/p"], ["/p", "123456789"], ["/p:abc"]):
                proc = desk.start(*args)
                self.assertEqual(e2e.wait_exit(proc, 5), 0, args)
                self.assertEqual(proc.stderr.read(), "", args)


class QuietModesTest(unittest.TestCase):
    def test_unrecognised_lines_are_refused_at_once_without_a_window(self):
        with e2e.Desktop() as desk:
            for args in (["-s"], ["s"], ["/x"], ["--bogus", "/s"], ["-fps"], ["-mono"],
                         ["-install"], ["-display", ":1", "-fps"]):
                started = time.time()
                proc = desk.start(*args)
                self.assertEqual(e2e.wait_exit(proc, 5), 2, args)
                self.assertLess(time.time() - started, 3)
                self.assertIn("Usage:", proc.stderr.read(), args)
            self.assertEqual(desk.read_settings(), "", "nothing may be stored")

    def test_without_a_display_the_saver_says_so_and_fails(self):
        with e2e.Desktop() as desk:
            for display, named in (("", "$DISPLAY is not set"), (":399", '":399"')):
                proc = desk.start("/s", extra_env={"DISPLAY": display})
                self.assertEqual(e2e.wait_exit(proc, 10), 1, display)
                told = proc.stderr.read()
                self.assertIn(named, told)
                self.assertEqual(len(told.strip().splitlines()), 1, told)
                self.assertNotIn("color", told)

    def test_the_display_option_is_honoured(self):
        with e2e.Desktop() as desk:
            desk.write_settings("[Settings]\nSetReg=2\nRunMon=True\nPwrMsg=True\n")
            proc = desk.start("-display", desk.display, "/s", extra_env={"DISPLAY": ":399"})
            self.assertIsNotNone(desk.wait_for_window(), "no saver window on the named display")
            time.sleep(1)
            desk.xdotool("key", "a")
            self.assertEqual(e2e.wait_exit(proc, 5), 0)

    def test_the_saver_never_maps_the_dialog_and_a_missing_dialog_is_told(self):
        with e2e.Desktop() as desk:
            desk.write_settings("[Settings]\nSetReg=2\nRunMon=True\nPwrMsg=True\n")
            proc = desk.start("/s")
            self.assertIsNotNone(desk.wait_for_window())
            with open(f"/proc/{proc.pid}/maps") as maps:
                self.assertNotIn("libQt6", maps.read())
            time.sleep(1)
            desk.xdotool("key", "a")
            self.assertEqual(e2e.wait_exit(proc, 5), 0)
            # The program alone, without the dialog's module beside it.
            alone = os.path.join(desk.home, "emberlrn")
            shutil.copy(e2e.BIN, alone)
            proc = desk.start_program([alone, "/c"])
            self.assertEqual(e2e.wait_exit(proc, 10), 1)
            told = proc.stderr.read()
            self.assertIn("the settings dialog cannot be loaded", told)
            self.assertEqual(len(told.strip().splitlines()), 1, told)

    def test_password_mode_stores_nothing(self):
        with e2e.Desktop() as desk:
            proc = desk.start("/a", extra_env={"DISPLAY": ""})
            self.assertEqual(e2e.wait_exit(proc, 5), 0)
            self.assertIn("login password", proc.stderr.read())
            self.assertEqual(desk.read_settings(), "")


if __name__ == "__main__":
    e2e.main()
