"""Hosted by xscreensaver: the live scene in a window we are given, ending
only when the host says so."""

import os
import shutil
import signal
import subprocess
import tempfile
import time
import unittest

from Xlib import display as xdisplay  # Debian's python3-xlib

import e2e_support as e2e


def bright(pixel):
    return sum(pixel) > 90


def brightest(shot, x, y, reach=12):
    """The brightest pixel in a small box around (x, y)."""
    return max((shot.getpixel((x + dx, y + dy)) for dx in range(-reach, reach + 1, 3)
                for dy in range(-reach // 2, reach // 2 + 1, 3)), key=sum)


class WindowIdTest(unittest.TestCase):
    def test_draws_into_the_given_window_follows_its_size_and_ends_with_it(self):
        with e2e.Desktop() as desk:
            dpy = xdisplay.Display(desk.display)
            screen = dpy.screen()
            host = screen.root.create_window(40, 40, 400, 300, 0, screen.root_depth,
                                             background_pixel=screen.white_pixel)
            host.map()
            dpy.sync()
            proc = desk.start("--window-id", hex(host.id), extra_env={"SDL_AUDIODRIVER": "disk",
                              "SDL_DISKAUDIOFILE": os.path.join(desk.home, "audio.raw")})
            time.sleep(3)
            self.assertIsNone(proc.poll(), "the hosted saver ended on its own")
            shot = desk.screenshot()
            # The flame's place on the canvas, scaled into the 400 x 300 window:
            # its brightest pixel there, for a tongue may have just gone out.
            flame = brightest(shot, 40 + 400 * 400 // 800, 40 + 300 * 380 // 600)
            self.assertTrue(bright(flame), f"no fire in the window: {flame}")
            self.assertNotEqual(shot.getpixel((40 + 5, 40 + 150)), (255, 255, 255))
            self.assertEqual(shot.getpixel((500, 500)), (0, 0, 0), "drew outside its window")
            self.assertEqual(len(host.query_tree().children), 0, "made a window of its own")

            # A wider window: the scene keeps its shape, the room's walls stand
            # beside it up to 21:9 (1400 x 600 scaled to 700 x 300), and black
            # bars beyond.
            host.configure(width=800, height=300)
            dpy.sync()
            time.sleep(1.5)
            shot = desk.screenshot()
            self.assertEqual(shot.getpixel((40 + 20, 40 + 150)), (0, 0, 0), "no bar on the left")
            self.assertNotEqual(shot.getpixel((40 + 80, 40 + 150)), (0, 0, 0), "no wall on the left")
            self.assertTrue(bright(brightest(shot, 40 + 400, 40 + 300 * 380 // 600)))

            # Input is the host's: keys and movement do not end it.
            desk.xdotool("mousemove", "100", "100", "mousemove", "300", "200", "key", "a")
            time.sleep(1)
            self.assertIsNone(proc.poll(), "input ended the hosted saver")

            host.destroy()
            dpy.sync()
            self.assertEqual(e2e.wait_exit(proc, 2), 0)
            self.assertNotIn("X error", proc.stderr.read())
            # The preview pane is silent.
            audio = os.path.join(desk.home, "audio.raw")
            if os.path.exists(audio):
                with open(audio, "rb") as f:
                    self.assertFalse(any(f.read()), "the preview pane made a sound")
            dpy.close()

    def test_a_preview_pane_reads_the_settings_shows_no_notice_and_keeps_the_pointer(self):
        with e2e.Desktop() as desk:
            dpy = xdisplay.Display(desk.display)
            screen = dpy.screen()
            dialog = screen.root.create_window(0, 0, 700, 500, 0, screen.root_depth)
            pane = dialog.create_window(20, 20, 400, 300, 0, screen.root_depth)
            full = screen.root.create_window(0, 0, desk.width, desk.height, 0, screen.root_depth)
            for window in (dialog, pane):
                window.map()
            dpy.sync()

            def notice_brightness(args, env):
                proc = desk.start(*args, extra_env=env)
                time.sleep(3)
                shot = desk.screenshot()
                e2e.stop(proc)
                # The notice panel's place on the canvas, scaled into the pane.
                return e2e.mean_brightness(shot, (20 + 90, 20 + 45, 20 + 310, 20 + 170))

            # xscreensaver's settings preview comes as --window-id or as
            # $XSCREENSAVER_WINDOW naming a pane inside the settings window.
            for args, env in ((["--window-id", hex(pane.id)], {}),
                              (["--root"], {"XSCREENSAVER_WINDOW": hex(pane.id)})):
                proc = desk.start(*args, extra_env=env)
                time.sleep(2)
                # The pointer comes into the pane, as the user's would.
                desk.xdotool("mousemove", "600", "600", "mousemove", "200", "150")
                time.sleep(1)
                self.assertIsNone(proc.poll(), args)
                self.assertFalse(os.path.exists(desk.settings_file), f"{args} stored settings")
                dpy.xfixes_query_version()
                cursor = dpy.xfixes_get_cursor_image(pane)
                self.assertTrue(any(cursor.cursor_image), f"{args} hid the pointer")
                e2e.stop(proc)

            fresh = notice_brightness(["--window-id", hex(pane.id)], {})
            desk.write_settings("[Settings]\nSetReg=2\nRunMon=True\nPwrMsg=True\n")
            seen = notice_brightness(["--window-id", hex(pane.id)], {})
            self.assertLess(abs(fresh - seen), 8, "a notice in the preview pane")

            # A full-screen host window is the real run: it stores as ever.
            os.remove(desk.settings_file)
            full.map()
            dpy.sync()
            proc = desk.start("--root", extra_env={"XSCREENSAVER_WINDOW": hex(full.id)})
            time.sleep(2)
            e2e.stop(proc)
            self.assertIn("SetReg=2", desk.read_settings())
            dpy.close()

    def test_sigterm_and_sigint_end_it_at_once_with_status_zero(self):
        with e2e.Desktop() as desk:
            for sig in (signal.SIGTERM, signal.SIGINT):
                proc = desk.start("--root", extra_env={"XSCREENSAVER_WINDOW": ""})
                time.sleep(2)
                self.assertIsNone(proc.poll())
                started = time.time()
                proc.send_signal(sig)
                self.assertEqual(e2e.wait_exit(proc, 2), 0, sig)
                self.assertLess(time.time() - started, 1.0, sig)

    def test_a_window_that_does_not_exist_is_told(self):
        with e2e.Desktop() as desk:
            proc = desk.start("--window-id", "0x7ffffff")
            self.assertNotEqual(e2e.wait_exit(proc, 5), None)
            self.assertIn("no window", proc.stderr.read())


class XScreenSaverTest(unittest.TestCase):
    """The real xscreensaver runs our hack. It will not run hacks as root, so
    when the tests run as root it runs as the unprivileged user nobody."""

    def setUp(self):
        if not shutil.which("xscreensaver"):
            self.skipTest("xscreensaver is not installed")

    def test_activate_shows_our_scene_and_deactivate_ends_it(self):
        with e2e.Desktop() as desk:
            # Everything the host's user needs, where that user may read it.
            home = tempfile.mkdtemp(prefix="emberlrn-xss-")
            binary = os.path.join(home, "emberlrn")
            shutil.copy(e2e.BIN, binary)
            shutil.copytree(e2e.DATA_DIR, os.path.join(home, "data"))
            with open(os.path.join(home, ".xscreensaver"), "w") as f:
                f.write("timeout:\t0:30:00\nlock:\t\tFalse\nsplash:\t\tFalse\nfade:\t\tFalse\n"
                        "unfade:\t\tFalse\nmode:\t\tone\nselected:\t0\n"
                        f"programs:\t\"Emberlorn\" {binary} --root \\n\n")
            as_user = []
            if os.geteuid() == 0:
                subprocess.run(["chown", "-R", "nobody", home], check=True)
                os.chmod(home, 0o755)
                as_user = ["setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"]
            env = dict(desk.env, HOME=home, XDG_RUNTIME_DIR=home, XDG_CONFIG_HOME=home,
                       EMBERLRN_DATA_DIR=os.path.join(home, "data") + "/",
                       SDL_AUDIODRIVER="dummy")
            daemon = subprocess.Popen(as_user + ["xscreensaver", "-no-splash"], env=env,
                                      stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            try:
                time.sleep(2)
                subprocess.run(as_user + ["xscreensaver-command", "-activate"], env=env,
                               check=True, capture_output=True)
                pid = None
                deadline = time.time() + 10
                while time.time() < deadline and not pid:
                    found = subprocess.run(["pgrep", "-f", f"^{binary} --root"],
                                           capture_output=True, text=True).stdout.split()
                    pid = int(found[0]) if found else None
                    time.sleep(0.2)
                self.assertIsNotNone(pid, "xscreensaver did not start our hack")
                time.sleep(3)
                shot = desk.screenshot(os.path.join(desk.home, "xscreensaver.png"))
                x, y = e2e.canvas_to_screen(desk, 400, 380)
                self.assertTrue(bright(shot.getpixel((x, y))), "no fire on the screen")

                subprocess.run(as_user + ["xscreensaver-command", "-deactivate"], env=env,
                               check=True, capture_output=True)
                deadline = time.time() + 1.0
                while time.time() < deadline and e2e.process_alive(pid):
                    time.sleep(0.05)
                self.assertFalse(e2e.process_alive(pid), "our hack still runs a second after deactivate")
            finally:
                daemon.terminate()
                daemon.wait(5)
                shutil.rmtree(home, ignore_errors=True)
            leftover = subprocess.run(["pgrep", "-f", binary], capture_output=True, text=True)
            self.assertEqual(leftover.stdout.strip(), "", "processes left running")


if __name__ == "__main__":
    e2e.main()
