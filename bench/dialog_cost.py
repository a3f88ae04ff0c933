#!/usr/bin/env python3
"""What the settings dialog costs with its live preview: the time until its
window shows, and the program's CPU plus its X server's while it shows, and
while its window is off the screen. Run by `make bench`, or by hand from the
top of the source tree:

    python3 bench/dialog_cost.py [--seconds 10]

On a private 1024x768 Xvfb display with the first-run settings, and again with
every decoration on and the flame bar at "Fast", the preview's dearest scene."""

import argparse
import os
import shutil
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import e2e_support as e2e  # noqa: E402
from frame_cost import cpu_seconds, first_run_settings  # noqa: E402

TITLE = "Emberlorn Screensaver by Kestrovane"
SETTLE_SECONDS = 2.0
DEAREST = {("emberlrn", "Speed"): "25", ("emberlrn", "AndIron"): "1",
           ("Settings", "Calendar"): "1", ("Settings", "ShowMsg"): "1",
           **{("xmas", key): "1" for key in ("ShowS1", "ShowS2", "ShowS3", "ShowS4",
                                             "Bell1", "Bell2", "Poin1", "Poin2")}}


def percent(desk, proc, seconds):
    """Percent of one core used by the dialog and the X server together."""
    before = cpu_seconds(proc.pid) + cpu_seconds(desk.xvfb.pid)
    time.sleep(seconds)
    return 100.0 * (cpu_seconds(proc.pid) + cpu_seconds(desk.xvfb.pid) - before) / seconds


def dialog_row(desk, seconds):
    started = time.monotonic()
    proc = desk.start("/c")
    try:
        window = desk.wait_for_window(TITLE, timeout=20)
        if window is None:
            raise RuntimeError("the dialog did not show: %s" % proc.stderr.read())
        opened = time.monotonic() - started
        time.sleep(SETTLE_SECONDS)
        shown = percent(desk, proc, seconds)
        desk.xdotool("windowunmap", "--sync", window)
        time.sleep(SETTLE_SECONDS)
        hidden = percent(desk, proc, seconds)
        return opened, shown, hidden
    finally:
        e2e.stop(proc)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--seconds", type=float, default=10.0)
    args = parser.parse_args()
    print("| dialog, 1024x768 | until it shows | shown | off the screen |")
    print("|---|---|---|---|")
    with e2e.Desktop(1024, 768) as desk:
        first_run_settings(desk)
        for name, changes in (("first-run settings", {}), ("every decoration, \"Fast\"", DEAREST)):
            if changes:
                desk.write_settings(e2e.set_keys(desk.read_settings(), changes))
            opened, shown, hidden = dialog_row(desk, args.seconds)
            print("| %s | %.2f s | %.1f %% | %.1f %% |" % (name, opened, shown, hidden), flush=True)


if __name__ == "__main__":
    if not shutil.which("Xvfb"):
        sys.exit("dialog_cost: Xvfb is needed (Debian's xvfb)")
    main()
