"""The "Pwr Management" tab tells what the X display really does: the
monitor's power-saving times set with xset, beside the user's choice, and
the screen-saver wait with the launcher it was read from."""

import os
import subprocess
import unittest

import e2e_support
from dpms_stand_in import DpmsDisplay
from e2e_support import Desktop

PROBE = os.environ.get("EMBERLRN_POWER_PROBE") or os.path.join(
    os.path.dirname(os.path.abspath(e2e_support.BIN)), "tests", "setup", "power_tab_probe")
TIMES = "Monitor power saving of the X server (DPMS): "


def shown(env, power, monitor):
    """What the tab shows, as {label name: text}."""
    probe_env = dict(env, QT_QPA_PLATFORM="offscreen")
    probe_env.pop("XDG_CURRENT_DESKTOP", None)  # no desktop's own idle delay
    result = subprocess.run([PROBE, power, monitor], env=probe_env, capture_output=True,
                            text=True, timeout=30)
    if result.returncode != 0:
        raise AssertionError("the probe failed: " + result.stderr)
    return dict(line.split(": ", 1) for line in result.stdout.splitlines())


class MonitorPowerEndToEnd(unittest.TestCase):
    def test_the_x_servers_monitor_times_stand_beside_the_choice(self):
        with Desktop() as desk, DpmsDisplay(desk) as display:
            subprocess.run(["xset", "dpms", "300", "600", "900"], env=display.env, check=True)
            times = TIMES + "standby after 5 Minutes, suspend after 10 Minutes, off after 15 Minutes. "
            self.assertEqual(shown(display.env, "1", "5 Minutes")["lblMonitorPower"],
                             times + "That matches your choice.")
            self.assertEqual(shown(display.env, "1", "Never")["lblMonitorPower"],
                             times + "That differs from your choice of Never: "
                                     "the monitor first goes dark after 5 Minutes.")
            subprocess.run(["xset", "-dpms"], env=display.env, check=True)
            self.assertEqual(shown(display.env, "0", "Never")["lblMonitorPower"],
                             TIMES + "off. That matches your choice.")
            # A display without DPMS, as Xvfb itself is, has no times to tell.
            self.assertEqual(shown(desk.env, "1", "5 Minutes")["lblMonitorPower"],
                             TIMES + "cannot be read here.")

    def test_the_wait_names_the_launcher_it_was_read_from(self):
        with Desktop() as desk:
            subprocess.run(["xset", "s", "600", "600"], env=desk.env, check=True)
            tab = shown(desk.env, "0", "Never")
            self.assertEqual((tab["lblSStime"], tab["lblSSsource"]),
                             ("10 Minutes", "(read from the X server)"))
            with open(os.path.join(desk.home, ".xscreensaver"), "w") as f:
                f.write("timeout:\t0:20:00\n")
            tab = shown(desk.env, "0", "Never")
            self.assertEqual((tab["lblSStime"], tab["lblSSsource"]),
                             ("20 Minutes", "(read from xscreensaver)"))


if __name__ == "__main__":
    e2e_support.main()
