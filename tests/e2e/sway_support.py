"""A headless sway with two outputs and its XWayland, for the Wayland tests:
screenshots of each output with grim, keys with wtype."""

import collections
import json
import os
import pwd
import shutil
import signal
import subprocess
import time

import e2e_support as e2e

# sway will not run as root; when the tests do, it runs as this user.
BED_USER = "emberlrn-e2e"

Output = collections.namedtuple("Output", "name x y width height")
# What an output shows where no window covers it.
DESKTOP = (63, 63, 63)
OUTPUTS = (Output("HEADLESS-1", 0, 0, 1280, 720), Output("HEADLESS-2", 1280, 0, 1024, 768))


def installed():
    return all(shutil.which(p) for p in ("sway", "swaymsg", "Xwayland", "grim", "wtype", "swayidle"))


def bed_user():
    """The unprivileged user sway runs as, made on first use."""
    try:
        return pwd.getpwnam(BED_USER)
    except KeyError:
        subprocess.run(["useradd", "--system", "--no-create-home", "--shell", "/usr/sbin/nologin",
                        BED_USER], check=True, capture_output=True)
        return pwd.getpwnam(BED_USER)


def read(path):
    with open(path) as f:
        return f.read()


def wait_until(probe, timeout, what):
    deadline = time.time() + timeout
    while time.time() < deadline:
        value = probe()
        if value:
            return value
        time.sleep(0.1)
    raise RuntimeError(what)


class Sway(e2e.Session):
    """A headless sway per test, with the saver's home beside it; use as a
    context manager. The saver and the idle manager run as the compositor's
    user, as on a desktop; the test's tools reach its socket as root too."""

    def __init__(self, outputs=OUTPUTS):
        self.sway = None
        self.keyboard = None
        self.user = None
        self.outputs = outputs

    def __enter__(self):
        self.make_home({})
        runtime = self.env["XDG_RUNTIME_DIR"]
        config = os.path.join(self.home, "sway.conf")
        with open(config, "w") as f:
            for out in self.outputs:
                f.write(f"output {out.name} resolution {out.width}x{out.height} "
                        f"position {out.x} {out.y}\n")
            f.write("xwayland enable\ndefault_border none\n")
        if os.geteuid() == 0:
            self.user = bed_user()
            subprocess.run(["chown", "-R", f"{self.user.pw_uid}:{self.user.pw_gid}", self.home],
                           check=True)
            os.chmod(self.home, 0o755)
        env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "HOME": self.home,
               "XDG_RUNTIME_DIR": runtime, "WLR_BACKENDS": "headless",
               "WLR_HEADLESS_OUTPUTS": str(len(self.outputs)), "WLR_LIBINPUT_NO_DEVICES": "1",
               "WLR_RENDERER": "pixman"}
        self.sway = subprocess.Popen(self.as_user() + ["sway", "-c", config], env=env,
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                     start_new_session=True)
        try:
            self.wait_ready(runtime)
        except BaseException:
            self.__exit__()
            raise
        return self

    def wait_ready(self, runtime):
        def socket(prefix):
            if self.sway.poll() is not None:
                raise RuntimeError("sway ended at start")
            found = [n for n in os.listdir(runtime) if n.startswith(prefix)
                     and not n.endswith(".lock")]
            return found[0] if found else None

        self.env["WAYLAND_DISPLAY"] = wait_until(lambda: socket("wayland-"), 10, "no Wayland socket")
        self.env["SWAYSOCK"] = os.path.join(runtime, wait_until(lambda: socket("sway-ipc."), 10,
                                                                "no sway socket"))
        wait_until(lambda: len(self.get_outputs()) == len(self.outputs), 10, "no outputs")
        # XWayland's display and its cookie are in the environment sway gives its clients.
        marker = os.path.join(runtime, "display")
        self.swaymsg(f"exec 'echo \"$DISPLAY $XAUTHORITY\" > {marker}.new && mv {marker}.new {marker}'")
        found = wait_until(lambda: os.path.exists(marker) and read(marker).split(), 10,
                           "no XWayland display")
        self.env["DISPLAY"] = found[0]
        if len(found) > 1:
            self.env["XAUTHORITY"] = found[1]
        # A desktop has its keyboard all along: without one, a window loses
        # its focus each time the keys of one wtype run are done.
        self.keyboard = subprocess.Popen(["wtype", "-s", "3600000", "-k", "F24"], env=self.env,
                                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_until(lambda: '"keyboard"' in self.swaymsg("-t", "get_inputs").stdout, 10,
                   "no keyboard")

    def __exit__(self, *exc):
        if self.keyboard:
            self.keyboard.kill()
            self.keyboard.wait(5)
        if self.sway:
            try:
                os.killpg(self.sway.pid, signal.SIGTERM)
                self.sway.wait(5)
            except subprocess.TimeoutExpired:
                os.killpg(self.sway.pid, signal.SIGKILL)
                self.sway.wait(5)
            except ProcessLookupError:
                pass
        if self.home:
            shutil.rmtree(self.home, ignore_errors=True)

    def write_settings(self, text):
        super().write_settings(text)
        if self.user:
            os.chown(self.settings_file, self.user.pw_uid, self.user.pw_gid)

    def start_program(self, argv, extra_env=None):
        """A client of the session, run as the session's own user."""
        return super().start_program(self.as_user() + argv, extra_env=extra_env)

    def server_pids(self):
        """sway and its XWayland: the display server's share of a client's cost."""
        pids = []
        for name in os.listdir("/proc"):
            try:
                if name.isdigit() and os.getpgid(int(name)) == self.sway.pid:
                    pids.append(int(name))
            except ProcessLookupError:
                pass
        return pids

    def as_user(self):
        """The command prefix that runs a program as the compositor's user."""
        if not self.user:
            return []
        return ["setpriv", f"--reuid={self.user.pw_uid}", f"--regid={self.user.pw_gid}",
                "--clear-groups"]

    def swaymsg(self, *args):
        return subprocess.run(["swaymsg", *args], env=self.env, capture_output=True, text=True)

    def get_outputs(self):
        result = self.swaymsg("-t", "get_outputs", "-r")
        return json.loads(result.stdout) if result.returncode == 0 else []

    def active_outputs(self):
        return [Output(o["name"], o["rect"]["x"], o["rect"]["y"], o["rect"]["width"],
                       o["rect"]["height"]) for o in self.get_outputs() if o.get("active")]

    def screenshot(self, output, path=None):
        """One output as a PIL image (also saved to path when given)."""
        from PIL import Image  # Debian's python3-pil
        target = path or os.path.join(self.home, "shot.png")
        subprocess.run(["grim", "-o", output.name, target], env=self.env, check=True,
                       capture_output=True)
        with Image.open(target) as shot:
            return shot.convert("RGB")

    def key(self, name):
        """Types one key through the compositor. The keyboard comes a moment
        before the key, as a real one would, not with the key already down."""
        result = subprocess.run(["wtype", "-s", "300", "-k", name], env=self.env, capture_output=True, text=True)
        if result.returncode != 0:
            raise AssertionError("wtype: " + result.stderr)
