#!/usr/bin/env python3
"""What the fireplace costs the machine: the program's CPU plus its X
server's, and its resident memory, beside xscreensaver's fire hack `xflame`
measured the same way in the same run. Run by `make bench`, or by hand from
the top of the source tree:

    python3 bench/frame_cost.py [--seconds 15] [--sizes 1024x768,1920x1080,3840x2160]
                                [--rounds 1] [--against OTHER_EMBERLRN] [--living-off]
                                [--monitors]

Every figure comes from a private Xvfb display at 24-bit colour with its own
home folder: the first-run settings with the notices already seen, the fire
sound mixed in real time on SDL's disk audio driver; the saver is measured
over the given seconds after three seconds of start-up. The columns are the
full-screen saver on first-run settings, the same with the flame bar at
"Fast", the saver hosted by xscreensaver's way (`--root`), `xflame -root`,
the saver's resident memory on first-run settings, and the time from its
start to its first frame on the screen. With --living-off, each screen
also gets a row with the living fire's four switches off (the classic
scene), measured beside the default one. With --against, another
build of emberlrn (an older release, say) gets a row of its own beside each
screen's, measured on the same display in the same run. With --rounds N,
every column of every row and `xflame` are measured N times, taking turns,
and each cell is the median: a busy neighbour on a shared machine then
moves one round, not the figure. The last column is "Fast" over `xflame`.

With --monitors it measures instead what each monitor costs: the saver under
a headless sway with one output (1280x720) and with two (1280x720 and
1024x768), through SDL's Wayland driver and through XWayland, its CPU plus
the compositor's and XWayland's, and tells whether two cost at most twice
one."""

import argparse
import os
import shutil
import statistics
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import e2e_support as e2e  # noqa: E402

XFLAME = "/usr/libexec/xscreensaver/xflame"
START_SECONDS = 3.0
TICKS = os.sysconf("SC_CLK_TCK")


def cpu_seconds(pid):
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICKS


def resident_mb(pid):
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1]) / 1024.0
    return 0.0


def measure(desk, proc, seconds, servers=None):
    """Percent of one core used by the process and the display server (the
    X server, or the given processes) together, and the process's resident
    memory at the end."""
    time.sleep(START_SECONDS)
    if proc.poll() is not None:
        raise RuntimeError("it ended at start: %s" % proc.stderr.read())
    servers = servers() if servers else [desk.xvfb.pid]
    before = cpu_seconds(proc.pid) + sum(map(cpu_seconds, servers))
    time.sleep(seconds)
    after = cpu_seconds(proc.pid) + sum(map(cpu_seconds, servers))
    memory = resident_mb(proc.pid)
    e2e.stop(proc)
    return 100.0 * (after - before) / seconds, memory


def first_frame_ms(desk, program):
    """Milliseconds from starting the saver on first-run settings to its
    scene on the screen, read from the screen a few pixels at a time."""
    from Xlib import X, display as xdisplay  # Debian's python3-xlib
    first_run_settings(desk)
    screen = xdisplay.Display(desk.display)
    root = screen.screen().root
    points = [e2e.canvas_to_screen(desk, x, y) for x, y in ((400, 300), (100, 500), (700, 100))]
    started = time.monotonic()
    proc = desk.start_program([program, "/s"], extra_env={"SDL_AUDIODRIVER": "dummy"})
    try:
        while time.monotonic() - started < 10:
            for x, y in points:
                pixel = root.get_image(x, y, 1, 1, X.ZPixmap, 0xFFFFFFFF).data
                if any(pixel[:3]):
                    return 1000.0 * (time.monotonic() - started)
            time.sleep(0.002)
        return float("nan")
    finally:
        e2e.stop(proc)
        screen.close()


def saver_cost(desk, seconds, program, *args, settings=None):
    if settings:
        desk.write_settings(e2e.set_keys(desk.read_settings(), settings))
    sound = os.path.join(desk.home, "sound.raw")
    proc = desk.start_program([program, *args],
                              extra_env={"SDL_AUDIODRIVER": "disk", "SDL_DISKAUDIOFILE": sound})
    return measure(desk, proc, seconds)


# The living fire's switches, all off: the classic scene.
LIVING_OFF = {("emberlrn", key): "0" for key in ("FillWide", "Firelight", "Embers", "LivingFlame")}


def saver_row(desk, seconds, program, settings=None):
    """The saver's columns: first-run, "Fast", hosted, its memory and its
    first frame; the settings are written afresh so each program starts alike."""
    first_run_settings(desk, settings)
    first, memory = saver_cost(desk, seconds, program, "/s")
    hosted, _ = saver_cost(desk, seconds, program, "--root")
    fast, _ = saver_cost(desk, seconds, program, "/s", settings={("emberlrn", "Speed"): "25"})
    return first, fast, hosted, memory, first_frame_ms(desk, program)


def first_run_settings(desk, settings=None):
    """The first run's settings, with both notices seen and these changes,
    whatever the program measured before changed."""
    if os.path.exists(desk.settings_file):
        os.remove(desk.settings_file)
    e2e.prime(desk)
    text = e2e.set_keys(desk.read_settings(), {
        ("Settings", "RunMon"): "True", ("Settings", "PwrMsg"): "True"})
    for (section, key), value in (settings or {}).items():
        try:
            text = e2e.set_keys(text, {(section, key): value})
        except AssertionError:  # a key newer than the program's first-run values
            text = e2e.add_key(text, section, key, value)
    desk.write_settings(text)


def monitors_table(seconds):
    """The saver on one output and on two, by each of its drivers on sway."""
    from sway_support import OUTPUTS, Sway
    print("| driver | one output | two outputs | two against one | at most twice one |")
    print("|---|---|---|---|---|")
    for name, driver in (("Wayland", {}), ("XWayland", {"SDL_VIDEODRIVER": "x11",
                                                       "WAYLAND_DISPLAY": None})):
        costs = []
        for outputs in (OUTPUTS[:1], OUTPUTS):
            with Sway(outputs) as bed:
                bed.write_settings("[Settings]\nSetReg=2\nRunMon=True\nPwrMsg=True\n")
                sound = os.path.join(bed.home, "sound.raw")
                proc = bed.start("/s", extra_env=dict(driver, SDL_AUDIODRIVER="disk",
                                                      SDL_DISKAUDIOFILE=sound))
                costs.append(measure(bed, proc, seconds, servers=bed.server_pids)[0])
        one, two = costs
        print("| %s | %.1f %% | %.1f %% | %.2f | %s |" % (name, one, two, two / one,
              "yes" if two <= 2 * one else "no"), flush=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--seconds", type=float, default=15.0)
    parser.add_argument("--sizes", default="1024x768,1920x1080,3840x2160")
    parser.add_argument("--rounds", type=int, default=1,
                        help="measure everything this many times and give the medians")
    parser.add_argument("--against", metavar="EMBERLRN",
                        help="another emberlrn to measure beside this build")
    parser.add_argument("--monitors", action="store_true",
                        help="one output against two under a headless sway")
    parser.add_argument("--living-off", action="store_true",
                        help="also each program with the living fire's switches off")
    args = parser.parse_args()
    if args.rounds < 1:
        parser.error("--rounds must be at least 1")
    if args.monitors:
        monitors_table(args.seconds)
        return
    sizes = [tuple(int(n) for n in size.split("x")) for size in args.sizes.split(",")]
    have_xflame = os.access(XFLAME, os.X_OK)

    programs = [("", os.path.abspath(e2e.BIN), None)]
    if args.living_off:
        programs.append((" (living fire off)", os.path.abspath(e2e.BIN), LIVING_OFF))
    if args.against:
        programs.append((" (" + args.against + ")", os.path.abspath(args.against), None))

    print("| screen | Emberlorn, first-run settings | the flame bar at \"Fast\" | hosted, `--root` "
          "| `xflame -root` | Emberlorn's resident memory | its first frame | \"Fast\" over `xflame` |")
    print("|---|---|---|---|---|---|---|---|")
    for width, height in sizes:
        with e2e.Desktop(width, height) as desk:
            rounds = {name: [] for name, _, _ in programs}
            flames = []
            for _ in range(args.rounds):
                for name, program, settings in programs:
                    rounds[name].append(saver_row(desk, args.seconds, program, settings))
                if have_xflame:
                    proc = desk.start_program([XFLAME, "-root"])
                    flames.append(measure(desk, proc, args.seconds)[0])
        flame = statistics.median(flames) if flames else None
        flame_text = "%.1f %%" % flame if flame is not None else "not installed"
        for name, _, _ in programs:
            first, fast, hosted, memory, start = map(statistics.median, zip(*rounds[name]))
            ratio = "%.2f" % (fast / flame) if flame else "-"
            print("| %dx%d%s | %.1f %% | %.1f %% | %.1f %% | %s | %.0f MB | %.0f ms | %s |"
                  % (width, height, name, first, fast, hosted, flame_text, memory, start, ratio),
                  flush=True)
    if not have_xflame:
        print("(xflame comes from Debian's xscreensaver-data-extra)")


if __name__ == "__main__":
    if not shutil.which("Xvfb"):
        sys.exit("frame_cost: Xvfb is needed (Debian's xvfb)")
    main()
