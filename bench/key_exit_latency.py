#!/usr/bin/env python3
"""How long a key takes to end the full-screen saver, with the fire sound on
and off. Run by hand, from the top of the source tree:

    python3 bench/key_exit_latency.py [--runs N] [--bin build/emberlrn]

Each run starts `emberlrn /s` on a private Xvfb display with its own home
folder and settings, its sound going to SDL's disk driver in real time, waits
until the sound plays and the saver's window has the keyboard, and then
presses a key in one of two ways:

- "key": the X test extension presses X straight from this script; the time
  runs from just before the press reaches the X server until the process
  has ended;
- "xdotool key": as a user's script would, from just before `xdotool key x`
  starts until the process has ended. The cost of `xdotool key` on its own,
  measured on the same display with no saver running, is printed too; its
  key goes out well before it ends, so a saver that ends at once ends
  before xdotool does.

The process counts as ended when a pidfd on it turns readable, which is when
the kernel has taken the process down, not when this script gets round to
reaping it. The aim is a median and a worst "key" time under 50 ms."""

import argparse
import ctypes
import os
import select
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import e2e_support as e2e  # noqa: E402

SOUND_BYTES_PER_SECOND = 44100 * 2 * 2
# A saver that has played this much sound has finished starting up.
SETTLE_SECONDS = 1.0
START_TIMEOUT_SECONDS = 20
EXIT_TIMEOUT_SECONDS = 5


class KeyPresser:
    """Presses and releases one key through the X test extension."""

    def __init__(self, display_name):
        self.x11 = ctypes.CDLL("libX11.so.6")
        self.xtst = ctypes.CDLL("libXtst.so.6")
        self.x11.XOpenDisplay.restype = ctypes.c_void_p
        self.x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self.x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        self.x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        self.x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self.xtst.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int,
                                                ctypes.c_ulong]
        self.display = self.x11.XOpenDisplay(display_name.encode())
        if not self.display:
            raise RuntimeError("cannot open display " + display_name)
        self.keycode = self.x11.XKeysymToKeycode(self.display, ord("x"))

    def press(self, down):
        self.xtst.XTestFakeKeyEvent(self.display, self.keycode, 1 if down else 0, 0)
        # A round trip: the server has taken the event when this returns.
        self.x11.XSync(self.display, 0)

    def close(self):
        self.x11.XCloseDisplay(self.display)


def write_settings(desk, sound_on):
    """The first-run settings, with the fire sound on or off."""
    if not desk.read_settings():
        # The saver has written the first-run settings when its window shows.
        proc = desk.start("/s", extra_env={"SDL_AUDIODRIVER": "dummy"})
        deadline = time.time() + START_TIMEOUT_SECONDS
        while not focus_covers_screen(desk) and time.time() < deadline:
            time.sleep(0.05)
        e2e.stop(proc)
    desk.write_settings(e2e.set_keys(desk.read_settings(),
                                     {("Settings", "SoundOn"): "1" if sound_on else "0"}))


def focus_covers_screen(desk):
    focus = desk.xdotool("getwindowfocus").stdout.strip()
    if not focus.isdigit() or int(focus) < 2:
        return False
    shell = desk.xdotool("getwindowgeometry", "--shell", focus).stdout.split()
    values = dict(item.split("=", 1) for item in shell if "=" in item)
    return values.get("WIDTH") == str(desk.width) and values.get("HEIGHT") == str(desk.height)


def last_sound_is_silent(path, seconds=0.2):
    with open(path, "rb") as f:
        f.seek(0, os.SEEK_END)
        size = f.tell()
        count = int(seconds * SOUND_BYTES_PER_SECOND) // 4 * 4
        f.seek(max(size - count, 0))
        data = f.read(count)
    return not any(data)


def start_saver(desk, sound_on):
    """A running saver that has settled, and the pidfd that tells its end."""
    output = os.path.join(desk.home, "sound-%d.raw" % time.monotonic_ns())
    proc = desk.start("/s", extra_env={"SDL_AUDIODRIVER": "disk", "SDL_DISKAUDIOFILE": output})
    deadline = time.time() + START_TIMEOUT_SECONDS
    while True:
        if proc.poll() is not None:
            raise RuntimeError("the saver ended at start: " + proc.stderr.read())
        if time.time() > deadline:
            e2e.stop(proc)
            raise RuntimeError("the saver did not come up")
        if os.path.exists(output) and \
                os.path.getsize(output) > SETTLE_SECONDS * SOUND_BYTES_PER_SECOND and \
                focus_covers_screen(desk):
            break
        time.sleep(0.05)
    if last_sound_is_silent(output) == sound_on:
        e2e.stop(proc)
        raise RuntimeError("the fire sound is %s, not %s" % (
            "silent" if sound_on else "playing", "playing" if sound_on else "silent"))
    return proc, os.pidfd_open(proc.pid), output


def wait_end(proc, pidfd):
    """The moment, on the perf_counter clock, at which the process ended."""
    poller = select.poll()
    poller.register(pidfd, select.POLLIN)
    if not poller.poll(EXIT_TIMEOUT_SECONDS * 1000):
        e2e.stop(proc)
        raise RuntimeError("the saver did not end on the key")
    ended = time.perf_counter()
    os.close(pidfd)
    status = proc.wait(EXIT_TIMEOUT_SECONDS)
    if status != 0:
        raise RuntimeError("the saver ended with status %d: %s" % (status, proc.stderr.read()))
    return ended


def key_run(desk, presser, sound_on):
    proc, pidfd, _ = start_saver(desk, sound_on)
    started = time.perf_counter()
    presser.press(True)
    ended = wait_end(proc, pidfd)
    presser.press(False)
    return (ended - started) * 1000


def xdotool_run(desk, sound_on):
    proc, pidfd, _ = start_saver(desk, sound_on)
    started = time.perf_counter()
    xdotool = subprocess.Popen(["xdotool", "key", "x"], env=desk.env)
    ended = wait_end(proc, pidfd)
    xdotool.wait()
    return (ended - started) * 1000


def xdotool_alone(desk):
    started = time.perf_counter()
    desk.xdotool("key", "x")
    return (time.perf_counter() - started) * 1000


def report(name, times):
    print("  %-28s median %6.1f ms   worst %6.1f ms   (%d runs)" % (
        name, statistics.median(times), max(times), len(times)))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--runs", type=int, default=10, help="runs of each kind (default 10)")
    parser.add_argument("--bin", default=os.environ.get("EMBERLRN_BIN", "build/emberlrn"),
                        help="the program (default build/emberlrn)")
    args = parser.parse_args()
    e2e.BIN = args.bin
    if not e2e.DATA_DIR:
        e2e.DATA_DIR = os.path.join(os.path.dirname(os.path.abspath(args.bin)), "share",
                                    "emberlrn") + "/"

    with e2e.Desktop() as desk:
        desk.env["EMBERLRN_DATA_DIR"] = e2e.DATA_DIR
        presser = KeyPresser(desk.display)
        try:
            alone = [xdotool_alone(desk) for _ in range(args.runs)]
            print("%s on %s, %dx%d" % (args.bin, desk.display, desk.width, desk.height))
            report("xdotool key, no saver", alone)
            for sound_on in (True, False):
                write_settings(desk, sound_on)
                keys, xdotools = [], []
                for _ in range(args.runs):
                    keys.append(key_run(desk, presser, sound_on))
                    xdotools.append(xdotool_run(desk, sound_on))
                print("fire sound %s:" % ("on" if sound_on else "off"))
                report("key to exit", keys)
                report("xdotool key to exit", xdotools)
        finally:
            presser.close()


if __name__ == "__main__":
    main()
