"""The README's recipes for the common idle launchers: each starts the
full-screen fireplace when the desktop has been idle, and a key ends it."""

import shutil
import subprocess
import time
import unittest

import e2e_support as e2e


def fireplaces(desk):
    """The full-screen fireplaces on this desktop's display; others that run
    on the machine at the same time are not the launcher's."""
    found = subprocess.run(["pgrep", "-f", f"^{e2e.BIN} /s"], capture_output=True, text=True)
    ours = []
    for pid in found.stdout.split():
        try:
            with open("/proc/%s/environ" % pid, "rb") as f:
                env = f.read().split(b"\0")
        except OSError:
            continue
        if ("DISPLAY=" + desk.display).encode() in env:
            ours.append(int(pid))
    return ours


class IdleLauncherTest(unittest.TestCase):
    def run_launcher(self, desk, command, idle_seconds):
        launcher = subprocess.Popen(command, env=desk.env, stdout=subprocess.DEVNULL,
                                    stderr=subprocess.DEVNULL)
        try:
            time.sleep(idle_seconds / 2)
            self.assertEqual(fireplaces(desk), [], "started before the desktop was idle")
            deadline = time.time() + idle_seconds + 15
            while time.time() < deadline and not fireplaces(desk):
                time.sleep(0.25)
            pids = fireplaces(desk)
            self.assertEqual(len(pids), 1, "the launcher did not start the fireplace")
            x, y = e2e.canvas_to_screen(desk, 400, 380)
            deadline = time.time() + 10
            fire = 0
            while time.time() < deadline and fire <= 90:
                time.sleep(0.5)
                fire = sum(desk.screenshot().getpixel((x, y)))
            self.assertGreater(fire, 90, "no fire on screen")
            time.sleep(1)  # the window has taken the keyboard
            desk.xdotool("key", "a")
            deadline = time.time() + 2
            while time.time() < deadline and e2e.process_alive(pids[0]):
                time.sleep(0.05)
            self.assertFalse(e2e.process_alive(pids[0]), "a key did not end the fireplace")
        finally:
            launcher.kill()
            launcher.wait(5)
            for pid in fireplaces(desk):
                subprocess.run(["kill", "-9", str(pid)])

    def test_xss_lock_starts_it_when_the_x_screen_saver_activates(self):
        if not shutil.which("xss-lock"):
            self.skipTest("xss-lock is not installed")
        with e2e.Desktop() as desk:
            subprocess.run(["xset", "s", "4", "4"], env=desk.env, check=True)
            self.run_launcher(desk, ["xss-lock", "--", e2e.BIN, "/s"], 4)

    def test_xautolock_starts_it_after_its_idle_time(self):
        if not shutil.which("xautolock"):
            self.skipTest("xautolock is not installed")
        with e2e.Desktop() as desk:
            # xautolock counts in whole minutes.
            self.run_launcher(desk, ["xautolock", "-time", "1", "-locker", f"{e2e.BIN} /s"], 60)


if __name__ == "__main__":
    e2e.main()
