"""The saver on a Wayland desktop with two monitors, a headless sway: through
SDL's Wayland driver and through XWayland, the fireplace fills each output
at its own shape with the notices on the first only, follows a monitor that
comes, "First only" keeps the second black, a key ends it, and swayidle
starts it on idle as the README says."""

import os
import subprocess
import time
import unittest

import e2e_support as e2e
import sway_support
from sway_support import Sway

# The native driver is the saver's own choice on a Wayland session.
NATIVE = {}
XWAYLAND = {"SDL_VIDEODRIVER": "x11", "WAYLAND_DISPLAY": None}
REVIEW_DIR = os.path.join(e2e.BUILD_DIR, "wayland-review")


def fire(shot, output):
    """Whether flames burn above the logs; the flame flickers, so a box of it."""
    left, top = e2e.canvas_to_screen(output, 300, 360)
    right, bottom = e2e.canvas_to_screen(output, 500, 400)
    return shot.crop((left, top, right, bottom)).convert("L").getextrema()[1] > 120


def stocking(pixel):
    r, g, b = pixel
    return r > 100 and r > 2 * g and r > 2 * b


def desktop_shows(shot):
    """Whether sway's own grey shows anywhere, beside or below a window."""
    return any(colour == sway_support.DESKTOP for _, colour in shot.getcolors(1 << 22))


def scene_shown(shot, output):
    """Whether the flame and the first stocking stand where the scene, fitted
    to this output, puts them, and nothing of the desktop shows."""
    sock = shot.getpixel(e2e.canvas_to_screen(output, 125, 109))
    return fire(shot, output) and stocking(sock) and not desktop_shows(shot)


def yellow_letters(shot, output):
    """How many pixels of the notices' yellow lines stand in their band."""
    left, top = e2e.canvas_to_screen(output, 151, 25)
    right, bottom = e2e.canvas_to_screen(output, 700, 66)
    band = shot.crop((left, top, right, bottom)).getdata()
    return sum(1 for r, g, b in band if r > 180 and g > 180 and b < 90)


def dark(shot):
    return shot.convert("L").getextrema()[1] < 8


@unittest.skipUnless(sway_support.installed(), "sway, XWayland, grim, wtype or swayidle is not installed")
class WaylandTest(unittest.TestCase):
    def start(self, bed, driver, settings=e2e.QUIET):
        bed.write_settings(settings)
        proc = bed.start("/s", extra_env=driver)
        self.addCleanup(e2e.stop, proc)
        return proc

    def shots(self, bed, name):
        """Both outputs' screenshots, kept for review."""
        os.makedirs(REVIEW_DIR, exist_ok=True)
        return [bed.screenshot(out, os.path.join(REVIEW_DIR, f"{name}-{out.name}.png"))
                for out in bed.outputs]

    def wait_for(self, bed, proc, name, shown):
        """The shots once shown(shots) holds, failing when it never does."""
        deadline = time.time() + 20
        while True:
            shots = self.shots(bed, name)
            if shown(shots):
                return shots
            if proc.poll() is not None:
                self.fail(f"{name}: the saver ended ({proc.returncode}): {proc.stderr.read()}")
            if time.time() > deadline:
                self.fail(f"{name}: not shown as it should be; see {REVIEW_DIR}")
            time.sleep(0.3)

    def end_with_key(self, bed, proc, name):
        bed.key("Escape")
        status = e2e.wait_exit(proc, 5)
        stderr = proc.stderr.read() if status is not None else ""
        self.assertEqual(status, 0, f"{name}: a key did not end it cleanly: {stderr}")
        return stderr

    def test_the_fire_fills_both_outputs_and_a_key_ends_it(self):
        for name, driver in (("wayland", NATIVE), ("xwayland", XWAYLAND)):
            with self.subTest(name), Sway() as bed:
                proc = self.start(bed, driver)
                self.wait_for(bed, proc, name, lambda shots: all(
                    scene_shown(shot, out) for shot, out in zip(shots, bed.outputs)))
                stderr = self.end_with_key(bed, proc, name)
                self.assertNotIn("cannot", stderr, name)

    def test_first_only_keeps_the_second_output_black(self):
        settings = e2e.add_key(e2e.QUIET, "Settings", "Monitors", "First only")
        for name, driver in (("wayland-first-only", NATIVE), ("xwayland-first-only", XWAYLAND)):
            with self.subTest(name), Sway() as bed:
                proc = self.start(bed, driver, settings)
                first, second = bed.outputs
                self.wait_for(bed, proc, name, lambda shots: scene_shown(shots[0], first)
                              and dark(shots[1]))
                self.end_with_key(bed, proc, name)

    def test_the_notices_show_on_the_first_monitor_only(self):
        with Sway() as bed:
            unseen = e2e.set_keys(e2e.QUIET, {("Settings", "RunMon"): "False"})
            proc = self.start(bed, NATIVE, unseen)
            first, second = bed.outputs
            self.wait_for(bed, proc, "notices", lambda shots: yellow_letters(shots[0], first) > 200
                          and scene_shown(shots[1], second))
            self.assertEqual(yellow_letters(bed.screenshot(second), second), 0,
                             "the notice's lines on the second monitor")

    def test_a_monitor_that_comes_gets_the_fire_too(self):
        for name, driver in (("wayland-plugged", NATIVE), ("xwayland-plugged", XWAYLAND)):
            with self.subTest(name), Sway() as bed:
                proc = self.start(bed, driver)
                self.wait_for(bed, proc, name, lambda shots: scene_shown(shots[1], bed.outputs[1]))
                # A third monitor comes (1920 x 1080, sway's own size for it).
                bed.swaymsg("create_output")
                bed.outputs = sway_support.wait_until(
                    lambda: len(bed.active_outputs()) == 3 and bed.active_outputs(), 10,
                    "no third output")
                self.wait_for(bed, proc, name, lambda shots: all(
                    scene_shown(shot, out) for shot, out in zip(shots, bed.outputs)))
                self.end_with_key(bed, proc, name)

    def test_swayidle_starts_it_on_idle_and_its_resume_command_ends_it(self):
        # The README's recipe with a short timeout. "s" turns the sound on and
        # does not end the saver itself: only the resume command can.
        with Sway() as bed:
            bed.write_settings(e2e.QUIET)
            command = f"{e2e.BIN} /s"
            launcher = bed.start_program([
                "swayidle", "timeout", "3", command, "resume", "pkill -x emberlrn"])
            self.addCleanup(e2e.stop, launcher)

            def saver():
                user = bed.user.pw_uid if bed.user else os.geteuid()
                found = subprocess.run(["pgrep", "-u", str(user), "-f", f"^{command}$"],
                                       capture_output=True, text=True)
                return [int(pid) for pid in found.stdout.split()]

            time.sleep(1.5)
            self.assertEqual(saver(), [], "started before the desktop was idle")
            pids = sway_support.wait_until(saver, 15, "swayidle did not start the saver")
            self.wait_for(bed, launcher, "swayidle", lambda shots: all(
                scene_shown(shot, out) for shot, out in zip(shots, bed.outputs)))
            bed.key("s")
            deadline = time.time() + 5
            while time.time() < deadline and e2e.process_alive(pids[0]):
                time.sleep(0.05)
            self.assertFalse(e2e.process_alive(pids[0]), "input did not end the saver")


if __name__ == "__main__":
    e2e.main()
