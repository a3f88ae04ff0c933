"""The Debian package, made from this build tree as `make deb` makes it: its
dependencies, lintian's verdict, and the program unpacked from it with
`dpkg -x` running from there with its own data, with a valid menu entry,
software-centre listing and man page, all carrying the one version."""

import glob
import gzip
import os
import re
import shutil
import struct
import subprocess
import tempfile
import time
import unittest

import e2e_support as e2e

# A point of the canvas in the fire's hot bed, below where the first-run
# notices stand.
kFireSpot = (400, 435)


def paint_flames_blue(folder):
    """Turns the flame pictures blue, so that a blue fire on the screen proves
    the pictures were read from this folder (the red channel is the fire's
    brightest, and becomes the blue one)."""
    for path in glob.glob(os.path.join(folder, "Flame*.bmp")) + \
            glob.glob(os.path.join(folder, "2x", "Flame*.bmp")):
        with open(path, "rb") as f:
            data = bytearray(f.read())
        start = struct.unpack_from("<I", data, 10)[0]
        pixels = data[start:]
        count = len(pixels) // 4
        pixels[0::4] = pixels[2::4]
        pixels[1::4] = bytes(count)
        pixels[2::4] = bytes(count)
        data[start:] = pixels
        with open(path, "wb") as f:
            f.write(data)


class PackageTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = tempfile.mkdtemp(prefix="emberlrn-package-")
        subprocess.run(["cpack", "-G", "DEB", "--config",
                        os.path.join(e2e.BUILD_DIR, "CPackConfig.cmake"), "-B", cls.work],
                       check=True, stdout=subprocess.DEVNULL)
        debs = glob.glob(os.path.join(cls.work, "*.deb"))
        assert len(debs) == 1, debs
        cls.deb = debs[0]
        cls.root = os.path.join(cls.work, "root")
        subprocess.run(["dpkg", "-x", cls.deb, cls.root], check=True)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.work, ignore_errors=True)

    def field(self, name):
        return subprocess.run(["dpkg-deb", "--field", self.deb, name], check=True,
                              capture_output=True, text=True).stdout.strip()

    def path(self, *parts):
        return os.path.join(self.root, "usr", *parts)

    def test_the_package_file_and_everything_in_it_carry_the_one_version(self):
        self.assertEqual(self.field("Package"), "emberlrn")
        self.assertEqual(self.field("Version"), e2e.VERSION)
        self.assertEqual(os.path.basename(self.deb), f"emberlrn_{e2e.VERSION}_amd64.deb")
        version = subprocess.run([self.path("bin", "emberlrn"), "--version"],
                                 capture_output=True, text=True)
        self.assertEqual(version.stdout, f"Emberlorn v {e2e.VERSION}\n")
        with gzip.open(self.path("share", "man", "man1", "emberlrn.1.gz"), "rt") as f:
            self.assertIn(f'"Emberlorn {e2e.VERSION}"', f.readline())
        with gzip.open(self.path("share", "doc", "emberlrn", "changelog.gz"), "rt") as f:
            self.assertTrue(f.readline().startswith(f"emberlrn ({e2e.VERSION}) "))
        with open(self.path("share", "metainfo", "com.kestrovane.emberlorn.metainfo.xml")) as f:
            releases = re.findall(r'<release version="([^"]+)"', f.read())
        self.assertEqual(releases[0], e2e.VERSION)

    def test_it_depends_on_its_libraries_fonts_and_soundfont(self):
        info = subprocess.run(["dpkg-deb", "--info", self.deb], check=True,
                              capture_output=True, text=True).stdout
        depends = re.search(r"^ Depends: (.*)$", info, re.M).group(1)
        names = {re.sub(r"\s*\(.*\)", "", d).strip() for d in depends.split(",")}
        for package in ("libc6", "libsdl2-2.0-0", "libsdl2-mixer-2.0-0", "libsdl2-ttf-2.0-0",
                        "libqt6widgets6", "libx11-6", "libfontconfig1",
                        "fonts-liberation", "fonts-vlgothic", "timgm6mb-soundfont"):
            self.assertIn(package, names)
        self.assertRegex(depends, r"libc6 \(>= [0-9.]+\)")
        self.assertIn(" Recommends: xscreensaver | xss-lock, xdg-utils\n", info)

    def test_lintian_finds_no_error_and_no_warning(self):
        result = subprocess.run(["lintian", "--fail-on", "error,warning", self.deb],
                                capture_output=True, text=True)
        tags = [line for line in result.stdout.splitlines() if line[:2] in ("E:", "W:")]
        self.assertEqual(tags, [])
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)

    def test_the_unpacked_program_and_its_xscreensaver_link_run_on_the_packages_data(self):
        paint_flames_blue(self.path("share", "emberlrn"))
        hack = self.path("libexec", "xscreensaver", "emberlrn")
        self.assertEqual(os.readlink(hack), "../../bin/emberlrn")
        for command in ([self.path("bin", "emberlrn"), "/s"], [hack, "--root"]):
            with self.subTest(command=command[-1]), e2e.Desktop() as desk:
                # No hint of where the data is: the program finds it beside itself.
                desk.env = {k: v for k, v in desk.env.items() if not k.startswith("EMBERLRN")}
                proc = subprocess.Popen(command, env=desk.env, stderr=subprocess.PIPE, text=True)
                self.addCleanup(e2e.stop, proc)
                time.sleep(3)
                red, green, blue = desk.screenshot().getpixel(e2e.canvas_to_screen(desk, *kFireSpot))
                self.assertGreater(blue, 90, "no fire from the package's pictures")
                self.assertLess(red, blue / 2, "the fire is not the package's (blue) one")
                if command[-1] == "/s":
                    desk.xdotool("key", "x")
                else:
                    proc.terminate()
                self.assertEqual(e2e.wait_exit(proc, 3), 0)
                errors = proc.stderr.read()
                self.assertNotIn("cannot", errors)

    def test_the_menu_entry_icon_listing_and_man_page_are_valid(self):
        entry = self.path("share", "applications", "emberlrn-settings.desktop")
        result = subprocess.run(["desktop-file-validate", entry], capture_output=True, text=True)
        self.assertEqual((result.returncode, result.stdout + result.stderr), (0, ""))
        # The listing with the menu entry it names, as a software centre reads them.
        result = subprocess.run(["appstreamcli", "validate-tree", "--no-net", self.root],
                                capture_output=True, text=True)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)

        with open(entry) as f:
            self.assertIn("\nIcon=emberlrn\n", f.read())
        from PIL import Image  # Debian's python3-pil
        for size in (48, 128):
            icon = self.path("share", "icons", "hicolor", f"{size}x{size}", "apps", "emberlrn.png")
            self.assertEqual(Image.open(icon).size, (size, size))
        with open(self.path("share", "icons", "hicolor", "scalable", "apps", "emberlrn.svg")) as f:
            self.assertIn("<svg", f.read())
        # The screenshots shown are the scene pictures of the art build.
        with open(self.path("share", "metainfo", "com.kestrovane.emberlorn.metainfo.xml")) as f:
            shots = re.findall(r"<image>[^<]*/([^/<]+)</image>", f.read())
        self.assertGreaterEqual(len(shots), 3)
        for name in shots:
            self.assertTrue(os.path.isfile(os.path.join(e2e.BUILD_DIR, "art-review", name)), name)

        page = self.path("share", "man", "man1", "emberlrn.1.gz")
        with gzip.open(page, "rb") as f:
            source = f.read()
        groff = subprocess.run(["groff", "-ww", "-man", "-Tutf8", "-z"], input=source,
                               capture_output=True)
        self.assertEqual((groff.returncode, groff.stderr), (0, b""))
        shown = subprocess.run(["man", "-l", page], capture_output=True, text=True,
                               env=dict(os.environ, MANPAGER="cat", MANWIDTH="80"))
        self.assertEqual(shown.returncode, 0, shown.stderr)
        self.assertIn("emberlrn - a fireplace screen saver", shown.stdout)


if __name__ == "__main__":
    e2e.main()
