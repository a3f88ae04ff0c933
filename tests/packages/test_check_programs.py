"""The package-list check can fail: with the end-to-end list left out it
names the programs that list brings, each with its package."""

import os
import shutil
import subprocess
import tempfile
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
CHECK = os.path.join(ROOT, "scripts", "check-programs")


class CheckProgramsTest(unittest.TestCase):
    def run_check(self, *args):
        return subprocess.run(["/usr/bin/python3", CHECK, *args], capture_output=True, text=True)

    def test_the_real_lists_pass(self):
        result = self.run_check()
        self.assertEqual(result.returncode, 0, result.stderr)

    def test_a_program_whose_package_is_not_listed_is_named_with_its_package(self):
        lists = tempfile.mkdtemp(prefix="emberlrn-lists-")
        self.addCleanup(shutil.rmtree, lists)
        for name in os.listdir(os.path.join(ROOT, "scripts", "packages")):
            if name != "e2e.txt":
                shutil.copy(os.path.join(ROOT, "scripts", "packages", name), lists)
        result = self.run_check("--lists", lists)
        self.assertEqual(result.returncode, 1)
        self.assertIn("xset: comes from x11-xserver-utils", result.stderr)
        self.assertIn("xdotool: comes from xdotool", result.stderr)
        self.assertNotIn("abc2midi", result.stderr)


if __name__ == "__main__":
    unittest.main(verbosity=2)
