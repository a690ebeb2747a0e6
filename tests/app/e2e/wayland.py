"""A private headless Wayland session for driving the real Scribbloom.

sway (headless back end, its stock configuration) with one or two outputs,
a D-Bus session bus, pipewire and xdg-desktop-portal with its wlr and gtk
back ends, so that the screenshot portal answers as on a desktop. Native
Wayland clients (foot) put known colours on the outputs; Scribbloom runs on
the session's XWayland and is driven there with xdotool. grim reads back
what the outputs show.

sway refuses to run as root, so as root the session runs as an unprivileged
user (scripts/setup.sh creates it; so does this harness when it is missing).
"""

import glob
import json
import os
import pwd
import shutil
import signal
import subprocess
import tempfile
import time

from desktop import PointerAndKeys, TestFailure, XWindows, check, probe_image, wait_for

USER = os.environ.get("SCRIBBLOOM_WAYLAND_USER", "scribbloom-wl")
PORTAL_SERVICE = "org.freedesktop.portal.Desktop"
# What the stripped-down bus may start on demand: everything the system
# offers except the wlr portal back end, which the session starts (and a
# test stops) itself.
WLR_BACKEND_SERVICE = "org.freedesktop.impl.portal.desktop.wlr.service"


def _account():
    if os.getuid() != 0:
        return None
    try:
        return pwd.getpwnam(USER)
    except KeyError:
        subprocess.run(["useradd", "--create-home", "--shell", "/usr/sbin/nologin", USER], check=True)
        return pwd.getpwnam(USER)


class Session(PointerAndKeys, XWindows):
    def __init__(self, outputs=1, width=1920, height=1080):
        self.outputs = outputs
        self.width = width
        self.height = height
        self.account = _account()
        self.tmp = tempfile.mkdtemp(prefix="scribbloom-wayland-")
        os.chmod(self.tmp, 0o755)
        self.runtime = os.path.join(self.tmp, "runtime")
        self.home = os.path.join(self.tmp, "home")
        self.procs = {}
        self.env = None
        self.sway_config = None
        self.fifos = {}

    # ---- lifetime -------------------------------------------------------

    def _own(self, path):
        if self.account:
            os.chown(path, self.account.pw_uid, self.account.pw_gid)

    def _mkdir(self, path, mode=0o755):
        os.makedirs(path)
        os.chmod(path, mode)
        self._own(path)
        return path

    def start(self):
        self._mkdir(self.runtime, 0o700)
        self._mkdir(self.home)
        self._own(self.tmp)
        env = {
            "PATH": "/usr/local/bin:/usr/bin:/bin",
            "HOME": self.home,
            "XDG_RUNTIME_DIR": self.runtime,
            "DBUS_SESSION_BUS_ADDRESS": f"unix:path={self.runtime}/bus",
            "XDG_CURRENT_DESKTOP": "sway:GNOME",
            "XDG_SESSION_TYPE": "wayland",
            "LANG": "C.UTF-8",
            "DO_NOT_TRACK": "1",
        }
        # A sanitizer build keeps its settings in the session.
        for name in ("ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"):
            if name in os.environ:
                env[name] = os.environ[name]
        self.env = env
        self._start_bus()
        self._start_sway()
        self._start_portal()
        return self

    def _start_bus(self):
        services = self._mkdir(os.path.join(self.tmp, "dbus-services"))
        for path in glob.glob("/usr/share/dbus-1/services/*.service"):
            if os.path.basename(path) != WLR_BACKEND_SERVICE:
                shutil.copy(path, services)
        config = os.path.join(self.tmp, "session-bus.conf")
        with open(config, "w") as f:
            f.write(f"""<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:path={self.runtime}/bus</listen>
  <auth>EXTERNAL</auth>
  <servicedir>{services}</servicedir>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
""")
        self.spawn("dbus", ["dbus-daemon", "--nofork", f"--config-file={config}"])
        wait_for("the session bus", lambda: os.path.exists(os.path.join(self.runtime, "bus")))

    def _start_sway(self):
        display_file = os.path.join(self.tmp, "x-display")
        self.sway_config = os.path.join(self.tmp, "sway.conf")
        with open(self.sway_config, "w") as f:
            # The stock configuration, with the sizes of our outputs and a
            # note of the X display sway hands its clients.
            f.write("include /etc/sway/config\n")
            for n in range(1, 3):
                f.write(f"output HEADLESS-{n} resolution {self.width}x{self.height} position "
                        f"{(n - 1) * self.width} 0\n")
            f.write("xwayland enable\n")
            f.write(f"exec sh -c 'echo \"$DISPLAY\" > {display_file}.part && mv {display_file}.part {display_file}'\n")
        env = dict(self.env, WLR_BACKENDS="headless", WLR_LIBINPUT_NO_DEVICES="1", WLR_RENDERER="pixman")
        self.spawn("sway", ["sway", "-c", self.sway_config], env=env, log="sway.log")
        wait_for("sway's IPC socket", lambda: glob.glob(os.path.join(self.runtime, "sway-ipc.*.sock")))
        wait_for("sway's Wayland socket", lambda: [p for p in glob.glob(os.path.join(self.runtime, "wayland-*"))
                                                   if not p.endswith(".lock")])
        sockets = [p for p in glob.glob(os.path.join(self.runtime, "wayland-*")) if not p.endswith(".lock")]
        self.env["WAYLAND_DISPLAY"] = os.path.basename(sockets[0])
        self.env["SWAYSOCK"] = glob.glob(os.path.join(self.runtime, "sway-ipc.*.sock"))[0]
        wait_for("the X display of sway's XWayland", lambda: os.path.exists(display_file))
        with open(display_file) as f:
            self.env["DISPLAY"] = f.read().strip()
        check(self.env["DISPLAY"].startswith(":"), f"sway gave no X display: {self.env['DISPLAY']!r}")
        for _ in range(1, self.outputs):
            self.swaymsg("create_output")
        wait_for("the outputs", lambda: self.swaymsg("-t", "get_outputs").count('"name": "HEADLESS-')
                 >= self.outputs)

    def _start_portal(self):
        self.spawn("pipewire", ["pipewire"])
        # xdg-desktop-portal-wlr leaves at once when pipewire is not up yet.
        wait_for("pipewire", lambda: glob.glob(os.path.join(self.runtime, "pipewire-0")))
        self.start_wlr_backend()
        self.run("dbus-update-activation-environment", "DISPLAY", "WAYLAND_DISPLAY", "XDG_CURRENT_DESKTOP",
                 "XDG_RUNTIME_DIR", "SWAYSOCK")
        self.spawn("portal", ["/usr/libexec/xdg-desktop-portal"], log="portal.log")
        wait_for("the screenshot portal", self._portal_ready, limit=60, step=0.2)

    def _portal_ready(self):
        out = self.run("dbus-send", "--session", "--print-reply", f"--dest={PORTAL_SERVICE}",
                       "/org/freedesktop/portal/desktop", "org.freedesktop.DBus.Introspectable.Introspect",
                       check_rc=False)
        return "org.freedesktop.portal.Screenshot" in out

    def start_wlr_backend(self):
        self.spawn("wlr", ["/usr/libexec/xdg-desktop-portal-wlr"], log="wlr.log")
        wait_for("the wlr portal back end", lambda: "org.freedesktop.impl.portal.desktop.wlr" in self.run(
            "dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.DBus", "/org/freedesktop/DBus",
            "org.freedesktop.DBus.ListNames", check_rc=False))

    def stop_wlr_backend(self):
        self.end("wlr")

    def end(self, name):
        proc = self.procs.pop(name, None)
        if proc and proc.poll() is None:
            proc.send_signal(signal.SIGTERM)
            try:
                proc.wait(10)
            except subprocess.TimeoutExpired:
                proc.kill()
                proc.wait()

    def stop(self):
        for name in reversed(list(self.procs)):
            self.end(name)
        # What the bus started on demand, and sway's own helpers, knew the
        # session by its runtime folder.
        for pid in self._session_processes():
            try:
                os.kill(pid, signal.SIGTERM)
            except ProcessLookupError:
                pass
        deadline = time.monotonic() + 5
        while self._session_processes() and time.monotonic() < deadline:
            time.sleep(0.1)
        for pid in self._session_processes():
            try:
                os.kill(pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
        shutil.rmtree(self.tmp, ignore_errors=True)

    def _session_processes(self):
        marker = f"XDG_RUNTIME_DIR={self.runtime}".encode() + b"\0"
        found = []
        for entry in os.listdir("/proc"):
            if not entry.isdigit() or int(entry) == os.getpid():
                continue
            try:
                with open(f"/proc/{entry}/environ", "rb") as f:
                    if marker in f.read() + b"\0":
                        found.append(int(entry))
            except OSError:
                pass
        return found

    def __enter__(self):
        try:
            return self.start()
        except BaseException:
            self.stop()
            raise

    def __exit__(self, *exc):
        self.stop()

    # ---- processes ------------------------------------------------------

    def _as_user(self):
        if not self.account:
            return {}
        return {"user": self.account.pw_uid, "group": self.account.pw_gid, "extra_groups": []}

    def spawn(self, name, args, env=None, cwd=None, log=None):
        out = open(os.path.join(self.tmp, log), "wb") if log else subprocess.DEVNULL
        proc = subprocess.Popen(args, env=env or self.env, cwd=cwd or self.tmp, stdout=out,
                                stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL, **self._as_user())
        self.procs[name] = proc
        return proc

    def run(self, *args, check_rc=True):
        result = subprocess.run(list(args), env=self.env, cwd=self.tmp, capture_output=True, text=True,
                                stdin=subprocess.DEVNULL, **self._as_user())
        if check_rc and result.returncode != 0:
            raise TestFailure(f"{' '.join(args)} failed: {result.stderr.strip()}")
        return result.stdout

    def swaymsg(self, *args):
        return self.run("swaymsg", *args)

    def views(self, pid):
        """The windows of a process that sway manages, as its tree lists them."""
        found = []

        def walk(node):
            if node.get("pid") == pid:
                found.append(node)
            for child in node.get("nodes", []) + node.get("floating_nodes", []):
                walk(child)
        walk(json.loads(self.swaymsg("-t", "get_tree")))
        return found

    def log(self, name):
        path = os.path.join(self.tmp, name)
        if not os.path.exists(path):
            return ""
        with open(path, errors="replace") as f:
            return f.read()

    # ---- content --------------------------------------------------------

    def show_colour(self, output, colour):
        """A foot terminal filling `output` with `colour` (hex "rrggbb"); its colour
        changes later through recolour()."""
        fifo = os.path.join(self.tmp, f"recolour-{output}")
        os.mkfifo(fifo, 0o666)
        os.chmod(fifo, 0o666)
        self.fifos[output] = fifo
        # The terminal prints whatever comes down the pipe: a colour escape
        # changes its background.
        self.swaymsg(f"focus output {output}")
        self.swaymsg(f"exec foot -o colors.background={colour} "
                     f"sh -c 'while :; do cat {fifo}; : > {fifo}.done; done'")

    def recolour(self, output, colour):
        """Changes the colour; returns once the terminal has been handed the change."""
        done = self.fifos[output] + ".done"
        with open(self.fifos[output], "w") as f:
            f.write(f"\033]11;#{colour}\007")
        wait_for("the terminal to take the new colour", lambda: os.path.exists(done))
        os.unlink(done)

    def screenshot(self, points):
        """Colours at desktop points (x, y) as the outputs show them, from grim."""
        path = os.path.join(self.tmp, "grim.png")
        self.run("grim", path)
        return probe_image(path, points)[1]

    # ---- the program ----------------------------------------------------

    def install_program(self):
        """A copy of the built program the session's user can run: the build
        folder may lie where that user cannot reach."""
        source = os.environ["SCRIBBLOOM_BIN_DIR"]
        target = os.path.join(self.tmp, "app")
        os.makedirs(target)
        for name in os.listdir(source):
            path = os.path.join(source, name)
            if name in ("translations", "skin", "help"):
                shutil.copytree(path, os.path.join(target, name))
            elif name == "Scribbloom" or name == "FaultTraceHelper" or name.startswith("libFaultTrace"):
                shutil.copy2(path, target)
        for root, dirs, files in os.walk(target):
            self._own(root)
            for name in files:
                self._own(os.path.join(root, name))
        return os.path.join(target, "Scribbloom")

    def start_program(self):
        program = self.install_program()
        work = self._mkdir(os.path.join(self.tmp, "work"))
        # No QT_QPA_PLATFORM: on a Wayland session the program picks X itself.
        return self.spawn("scribbloom", [program], cwd=work, log="scribbloom.log")
