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


def free_display():
    for n in range(90, 400):
        if not os.path.exists(f"/tmp/.X11-unix/X{n}") and not os.path.exists(f"/tmp/.X{n}-lock"):
            return n
    raise RuntimeError("no free X display number")


class Desktop:
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
        self.home = tempfile.mkdtemp(prefix="emberlrn-e2e-")
        runtime = os.path.join(self.home, "runtime")
        os.makedirs(runtime, mode=0o700)
        self.env = dict(os.environ)
        self.env.update({
            "DISPLAY": self.display,
            "HOME": self.home,
            "XDG_CONFIG_HOME": os.path.join(self.home, ".config"),
            "XDG_RUNTIME_DIR": runtime,
            "EMBERLRN_DATA_DIR": DATA_DIR,
            "SDL_AUDIODRIVER": self.env.get("SDL_AUDIODRIVER", "dummy"),
        })
        self.env.pop("WAYLAND_DISPLAY", None)
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
        env = dict(self.env)
        if extra_env:
            env.update(extra_env)
        return subprocess.Popen([BIN, *args], env=env, stdout=subprocess.PIPE,
                                stderr=subprocess.PIPE, text=True)

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


def main():
    warnings.simplefilter("ignore", ResourceWarning)
    unittest.main(verbosity=2)
