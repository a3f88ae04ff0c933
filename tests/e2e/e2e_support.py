"""Shared pieces of the end-to-end tests: a private Xvfb display, a private
home folder, the real emberlrn program, screenshots and input."""

import os
import re
import shutil
import signal
import subprocess
import tempfile
import time
import unittest
import warnings

BIN = os.environ.get("EMBERLRN_BIN", "build/emberlrn")
DATA_DIR = os.environ.get("EMBERLRN_DATA_DIR", "")
BUILD_DIR = os.environ.get("EMBERLRN_BUILD_DIR", "build")
# The product's version, as the build defines it.
VERSION = os.environ.get("EMBERLRN_VERSION", "")


# A saver with its notices already seen, all four stockings, no calendar.
QUIET = """[Settings]
SetReg=2
RunMon=True
PwrMsg=True
Calendar=0
ShowMsg=0
SoundOn=0
[emberlrn]
ShowFP1=1
RotateCk=1
RotateT=1
AndIron=1
Speed=100
[xmas]
ShowS1=1
ShowS2=1
ShowS3=1
ShowS4=1
StockLoc=19
"""


def free_display():
    for n in range(90, 400):
        if not os.path.exists(f"/tmp/.X11-unix/X{n}") and not os.path.exists(f"/tmp/.X{n}-lock"):
            return n
    raise RuntimeError("no free X display number")


class Session:
    """A private home folder and settings store, with the real emberlrn
    started in it; a display server's test bed builds on it."""

    home = None
    env = None

    def make_home(self, display_env):
        """The home folder and the programs' environment, with these display variables."""
        self.home = tempfile.mkdtemp(prefix="emberlrn-e2e-")
        runtime = os.path.join(self.home, "runtime")
        os.makedirs(runtime, mode=0o700)
        self.env = dict(os.environ)
        self.env.pop("WAYLAND_DISPLAY", None)
        self.env.update({
            "HOME": self.home,
            "XDG_CONFIG_HOME": os.path.join(self.home, ".config"),
            "XDG_RUNTIME_DIR": runtime,
            "EMBERLRN_DATA_DIR": DATA_DIR,
            "SDL_AUDIODRIVER": self.env.get("SDL_AUDIODRIVER", "dummy"),
        })
        self.env.update(display_env)

    @property
    def settings_file(self):
        return os.path.join(self.home, ".config", "emberlrn", "settings.ini")

    def write_settings(self, text):
        os.makedirs(os.path.dirname(self.settings_file), exist_ok=True)
        with open(self.settings_file, "w") as f:
            f.write(text)

    def read_settings(self):
        try:
            with open(self.settings_file) as f:
                return f.read()
        except FileNotFoundError:
            return ""

    def start(self, *args, extra_env=None):
        """The real emberlrn with these arguments on this desktop."""
        return self.start_program([BIN, *args], extra_env=extra_env)

    def start_program(self, argv, extra_env=None):
        env = dict(self.env)
        for name, value in (extra_env or {}).items():
            if value is None:
                env.pop(name, None)
            else:
                env[name] = value
        return subprocess.Popen(argv, env=env, stdout=subprocess.PIPE,
                                stderr=subprocess.PIPE, text=True)


class Desktop(Session):
    """An Xvfb server with its own home folder; use as a context manager."""

    def __init__(self, width=1024, height=768, depth=24):
        self.width, self.height, self.depth = width, height, depth
        self.display = None
        self.xvfb = None
        self.home = None
        self.env = None

    def __enter__(self):
        n = free_display()
        self.display = f":{n}"
        self.xvfb = subprocess.Popen(
            ["Xvfb", self.display, "-screen", "0", f"{self.width}x{self.height}x{self.depth}",
             "-nolisten", "tcp", "-noreset"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.make_home({"DISPLAY": self.display})
        deadline = time.time() + 10
        while time.time() < deadline:
            if subprocess.run(["xdpyinfo"], env=self.env, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL).returncode == 0:
                return self
            time.sleep(0.1)
        raise RuntimeError("Xvfb did not start")

    def __exit__(self, *exc):
        if self.xvfb:
            self.xvfb.terminate()
            try:
                self.xvfb.wait(5)
            except subprocess.TimeoutExpired:
                self.xvfb.kill()
        if self.home:
            shutil.rmtree(self.home, ignore_errors=True)

    def xdotool(self, *args):
        return subprocess.run(["xdotool", *args], env=self.env, capture_output=True, text=True)

    def screenshot(self, path=None):
        """The whole screen as a PIL image (also saved to path when given)."""
        from PIL import Image  # Debian's python3-pil
        target = path or os.path.join(self.home, "shot.png")
        subprocess.run(["import", "-window", "root", target], env=self.env, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return Image.open(target).convert("RGB")

    def wait_for_window(self, name=None, timeout=10):
        deadline = time.time() + timeout
        while time.time() < deadline:
            args = ["search", "--onlyvisible", "--name", name] if name else \
                ["search", "--onlyvisible", "--class", ""]
            result = self.xdotool(*args)
            if result.returncode == 0 and result.stdout.strip():
                return result.stdout.split()[0]
            time.sleep(0.1)
        return None


def set_keys(text, changes):
    """The settings text with the given (section, key) -> value changes."""
    for (section, key), value in changes.items():
        pattern = re.compile(r"(\[%s\][^\[]*?^)%s=.*?$" % (re.escape(section), re.escape(key)),
                             re.M | re.S | re.I)
        text, count = pattern.subn(lambda m: m.group(1) + "%s=%s" % (key, value), text)
        if count == 0:
            raise AssertionError("no %s/%s in the settings" % (section, key))
    return text


def add_key(text, section, key, value):
    """The settings text with a key the first run does not write added to its section."""
    header = "[%s]\n" % section
    if header not in text:
        raise AssertionError("no section [%s] in the settings" % section)
    return text.replace(header, header + "%s=%s\n" % (key, value), 1)


def process_alive(pid):
    """True while the process exists and has not ended (a zombie has ended)."""
    try:
        with open(f"/proc/{pid}/stat") as f:
            return f.read().split(")")[-1].split()[0] != "Z"
    except FileNotFoundError:
        return False


def wait_exit(proc, timeout):
    """The exit status, or None when the process still runs after timeout."""
    try:
        return proc.wait(timeout)
    except subprocess.TimeoutExpired:
        return None


def stop(proc):
    if proc.poll() is None:
        proc.send_signal(signal.SIGKILL)
        proc.wait(5)


def mean_brightness(image, box):
    """The mean grey level of a box (left, top, right, bottom) of a PIL image."""
    region = image.crop(box).convert("L")
    pixels = list(region.getdata())
    return sum(pixels) / len(pixels)


def canvas_to_screen(desktop, x, y):
    """Where a pixel of the 800 x 600 canvas lands on the letterboxed screen."""
    scale = min(desktop.width / 800, desktop.height / 600)
    off_x = (desktop.width - 800 * scale) / 2
    off_y = (desktop.height - 600 * scale) / 2
    return int(off_x + x * scale), int(off_y + y * scale)


# The disk audio driver writes 16-bit stereo at this rate.
RATE = 44100
CHANNELS = 2
BYTES_PER_SECOND = RATE * CHANNELS * 2


def level_dbfs(samples):
    """The RMS level of 16-bit samples in dB below full scale."""
    import numpy as np  # Debian's python3-numpy
    if samples.size == 0:
        return -200.0
    rms = float(np.sqrt(np.mean(samples.astype(np.float64) ** 2)))
    return -200.0 if rms == 0.0 else 20.0 * np.log10(rms / 32768.0)


class SaverRun:
    """One full-screen run, its sound written to a file in real time by the
    disk audio driver. It is up once the sound plays and the saver's window
    has the keyboard."""

    def __init__(self, desk, data_dir=None, extra_env=None):
        self.desk = desk
        self.output = os.path.join(desk.home, "sound-%d.raw" % time.monotonic_ns())
        env = {"SDL_AUDIODRIVER": "disk", "SDL_DISKAUDIOFILE": self.output}
        if data_dir:
            env["EMBERLRN_DATA_DIR"] = data_dir
        env.update(extra_env or {})
        self.proc = desk.start("/s", extra_env=env)
        self.stderr = ""
        deadline = time.time() + 20
        while time.time() < deadline:
            if self.proc.poll() is not None:
                raise AssertionError("the saver ended at start: " + self.proc.stderr.read())
            if os.path.exists(self.output) and os.path.getsize(self.output) > 0 \
                    and self.focus_covers_screen():
                break
            time.sleep(0.05)
        else:
            raise AssertionError("the saver did not come up")
        self.started = time.monotonic()

    def focus_covers_screen(self):
        """True when the window with the keyboard focus covers the screen."""
        focus = self.desk.xdotool("getwindowfocus").stdout.strip()
        if not focus.isdigit() or int(focus) < 2:
            return False
        shell = self.desk.xdotool("getwindowgeometry", "--shell", focus).stdout.split()
        values = dict(item.split("=", 1) for item in shell if "=" in item)
        return values.get("WIDTH") == str(self.desk.width) and \
            values.get("HEIGHT") == str(self.desk.height)

    def now(self):
        """Seconds of sound written so far."""
        return os.path.getsize(self.output) / BYTES_PER_SECOND

    def wait(self, seconds):
        """Waits until that many more seconds of sound have been written."""
        target = self.now() + seconds
        deadline = time.time() + seconds * 3 + 10
        while self.now() < target:
            if time.time() > deadline:
                raise AssertionError("the sound output stalled")
            time.sleep(0.02)

    def samples(self, start, end):
        import numpy as np
        with open(self.output, "rb") as f:
            f.seek(int(start * RATE) * CHANNELS * 2)
            data = f.read(int((end - start) * RATE) * CHANNELS * 2)
        return np.frombuffer(data[: len(data) // 2 * 2], dtype="<i2")

    def level(self, start, end):
        return level_dbfs(self.samples(start, end))

    def envelope(self, step=0.05):
        """The level of every step of the whole output."""
        import numpy as np
        data = self.samples(0, self.now())
        frames = int(step * RATE) * CHANNELS
        count = data.size // frames
        blocks = data[: count * frames].reshape(count, frames).astype(np.float64)
        rms = np.sqrt(np.mean(blocks ** 2, axis=1))
        with np.errstate(divide="ignore"):
            return np.where(rms > 0, 20 * np.log10(rms / 32768.0), -200.0)

    def key(self, name):
        result = self.desk.xdotool("key", name)
        if result.returncode != 0:
            raise AssertionError("xdotool: " + result.stderr)

    def running(self):
        return self.proc.poll() is None

    def expect_running(self, test, why):
        """Fails the test, with what the saver said, when it has ended."""
        if not self.running():
            test.fail("%s (status %s): %s" % (why, self.proc.returncode, self.finish()))

    def expect_window(self, test, window, why):
        if window is None:
            test.fail("%s: %s" % (why, self.finish()))

    def finish(self):
        stop(self.proc)
        self.stderr = self.proc.stderr.read()
        return self.stderr

    def end(self):
        """Ends the run with Escape; its exit status."""
        self.key("Escape")
        status = wait_exit(self.proc, 10)
        self.finish()
        return status


def prime(desk):
    """A first run writes the first-run settings; the text of that file."""
    run = SaverRun(desk)
    status = run.end()
    if status != 0:
        raise AssertionError("the first run did not end cleanly (%s): %s" % (status, run.stderr))
    return desk.read_settings()


def main():
    warnings.simplefilter("ignore", ResourceWarning)
    unittest.main(verbosity=2)
