"""A full-screen run under faults: its Wayland session cannot be reached, its
X server dies, it is sent SIGTERM, SIGINT or SIGHUP, its data files are
damaged, its data folder vanishes."""

import os
import random
import shutil
import signal
import time
import unittest

from e2e_support import DATA_DIR, Desktop, SaverRun, main, prime, set_keys, stop, wait_exit

# Signals that mean "the program crashed" rather than "it was ended".
CRASHES = (signal.SIGSEGV, signal.SIGABRT, signal.SIGBUS, signal.SIGILL, signal.SIGFPE)

# The carols on, the first one chosen.
CAROLS_ON = {("xmas", "SoundOn"): "True", ("xmas", "Midi1"): "1"}


def copy_data(desk):
    """A private copy of the data folder, to damage or remove."""
    folder = os.path.join(desk.home, "data")
    shutil.copytree(DATA_DIR, folder)
    return folder + "/"


class FaultsTest(unittest.TestCase):
    def test_the_x_server_dying_ends_the_run_within_a_second_with_a_message(self):
        with Desktop() as desk:
            run = SaverRun(desk)
            desk.xvfb.kill()
            desk.xvfb.wait(5)
            gone = time.monotonic()
            status = wait_exit(run.proc, 5)
            took = time.monotonic() - gone
            err = run.finish()
            self.assertIsNotNone(status, "the saver hung after its display died")
            self.assertLess(took, 1.0, err)
            self.assertNotIn(-status, CRASHES, err)
            self.assertIn("display", err.lower())
            desk.xvfb = None

    def test_a_wayland_session_that_cannot_be_reached_falls_back_to_x11_in_one_line(self):
        with Desktop() as desk:
            run = SaverRun(desk, extra_env={"WAYLAND_DISPLAY": "emberlrn-no-compositor"})
            status = run.end()
            told = [line for line in run.stderr.splitlines() if "wayland" in line.lower()]
            self.assertEqual(status, 0, run.stderr)
            self.assertEqual(len(told), 1, run.stderr)
            self.assertIn("drawing through x11 (XWayland) instead", told[0])
            self.assertNotIn("-bit color", run.stderr)

    def test_sigterm_sigint_and_sighup_end_the_run_cleanly_with_the_settings_intact(self):
        with Desktop() as desk:
            settings = prime(desk)
            for sig in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
                run = SaverRun(desk)
                run.proc.send_signal(sig)
                status = wait_exit(run.proc, 2)
                err = run.finish()
                self.assertEqual(status, 0, "%s: %s" % (sig.name, err))
                self.assertEqual(desk.read_settings(), settings, sig.name)

    def test_damaged_data_files_are_named_once_and_the_run_goes_on(self):
        with Desktop() as desk:
            data = copy_data(desk)
            with open(data + "fire.wav", "wb") as f:
                f.write(random.Random(1).randbytes(5000))
            with open(data + "Logs.bmp", "r+b") as f:
                f.truncate(100)
            with open(data + "midi1.mid", "wb") as f:
                f.write(random.Random(2).randbytes(300))
            desk.write_settings(set_keys(prime(desk), CAROLS_ON))
            # The fire sound is missing, so the run is up once its window is.
            run_env = {"EMBERLRN_DATA_DIR": data}
            proc = desk.start("/s", extra_env=run_env)
            window = desk.wait_for_window(timeout=15)
            time.sleep(3)
            alive = proc.poll() is None
            stop(proc)
            err = proc.stderr.read()
            self.assertIsNotNone(window, err)
            self.assertTrue(alive, err)
            for name in ("fire.wav", "Logs.bmp", "midi1.mid"):
                self.assertEqual(sum(name in line for line in err.splitlines()), 1, err)

    def test_a_vanished_data_folder_leaves_the_run_on_what_it_loaded(self):
        with Desktop() as desk:
            desk.write_settings(set_keys(prime(desk), CAROLS_ON))
            data = copy_data(desk)
            run = SaverRun(desk, data_dir=data)
            shutil.rmtree(data)
            run.wait(4)
            run.expect_running(self, "the saver ended when its data folder vanished")
            self.assertEqual(run.end(), 0, run.stderr)


if __name__ == "__main__":
    main()
