"""An installation into a fresh prefix: every file in its place, the
installed program finds its data with no environment variables, and the
uninstall removes exactly what was installed."""

import os
import shutil
import subprocess
import tempfile
import time
import unittest

import e2e_support as e2e

UNINSTALL = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts", "uninstall")


class InstallTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.prefix = tempfile.mkdtemp(prefix="emberlrn-prefix-")
        subprocess.run(["cmake", "--install", e2e.BUILD_DIR, "--prefix", cls.prefix],
                       check=True, stdout=subprocess.DEVNULL)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.prefix, ignore_errors=True)

    def path(self, *parts):
        return os.path.join(self.prefix, *parts)

    def test_every_file_is_in_its_place(self):
        self.assertTrue(os.access(self.path("bin", "emberlrn"), os.X_OK))
        for name in ("Flame1.bmp", "m-Flatstone.bmp", "belll.bmp", "fire.wav", "crackles.wav",
                     "crackles.txt", "midi24.mid",
                     "preview.bmp", "thumb6.png", "help.htm", "power_help.htm"):
            self.assertTrue(os.path.isfile(self.path("share", "emberlrn", name)), name)
        self.assertTrue(os.path.isfile(self.path("share", "xscreensaver", "config", "emberlrn.xml")))
        self.assertTrue(os.path.isfile(self.path("share", "man", "man1", "emberlrn.1.gz")))
        with open(self.path("share", "applications", "emberlrn-settings.desktop")) as f:
            entry = f.read()
        self.assertIn("Name=Emberlorn settings", entry)
        self.assertIn("Exec=emberlrn /c", entry)
        hack = self.path("libexec", "xscreensaver", "emberlrn")
        self.assertTrue(os.path.islink(hack))
        self.assertEqual(os.path.realpath(hack), os.path.realpath(self.path("bin", "emberlrn")))

    def test_the_installed_program_runs_from_there_without_environment(self):
        env = {k: v for k, v in os.environ.items() if not k.startswith("EMBERLRN")}
        version = subprocess.run([self.path("bin", "emberlrn"), "--version"], env=env,
                                 capture_output=True, text=True)
        self.assertEqual(version.returncode, 0)
        self.assertEqual(version.stdout, f"Emberlorn v {e2e.VERSION}\n")
        with e2e.Desktop() as desk:
            desk.env.pop("EMBERLRN_DATA_DIR", None)
            # Through xscreensaver's link, as xscreensaver would start it.
            proc = subprocess.Popen([self.path("libexec", "xscreensaver", "emberlrn"), "--root"],
                                    env=desk.env, stderr=subprocess.PIPE, text=True)
            time.sleep(3)
            shot = desk.screenshot()
            x, y = e2e.canvas_to_screen(desk, 400, 380)
            self.assertGreater(sum(shot.getpixel((x, y))), 90, "no fire on the screen")
            proc.terminate()
            self.assertEqual(e2e.wait_exit(proc, 3), 0)
            errors = proc.stderr.read()
            self.assertNotIn("cannot read", errors)
            self.assertNotIn("cannot load", errors)

    def test_uninstall_removes_exactly_what_was_installed(self):
        prefix = tempfile.mkdtemp(prefix="emberlrn-uninstall-")
        self.addCleanup(shutil.rmtree, prefix, True)
        # Another program's file in a folder they share stays.
        other = os.path.join(prefix, "share", "applications", "other.desktop")
        os.makedirs(os.path.dirname(other))
        open(other, "w").close()
        subprocess.run(["cmake", "--install", e2e.BUILD_DIR, "--prefix", prefix],
                       check=True, stdout=subprocess.DEVNULL)
        record = os.path.join(tempfile.mkdtemp(prefix="emberlrn-record-"), "installed-files.txt")
        self.addCleanup(shutil.rmtree, os.path.dirname(record), True)
        shutil.copy(os.path.join(e2e.BUILD_DIR, "install_manifest.txt"), record)
        subprocess.run([UNINSTALL, record], check=True, stdout=subprocess.DEVNULL)
        left = [os.path.join(base, name) for base, _, files in os.walk(prefix) for name in files]
        self.assertEqual(left, [other])
        self.assertEqual([base for base, _, _ in os.walk(prefix) if base.endswith("emberlrn")], [])
        self.assertFalse(os.path.exists(record))
        again = subprocess.run([UNINSTALL, record], capture_output=True, text=True)
        self.assertEqual(again.returncode, 1)
        self.assertEqual(len(again.stderr.splitlines()), 1)


if __name__ == "__main__":
    e2e.main()
