"""Private headless Wayland desktops for driving the real Scribbloom.

Three desktops, each started as TESTING.md describes and each with its
own D-Bus session bus, runtime folder, home and configuration:

- sway 1.7 (headless back end, stock configuration) with the portal's wlr
  back end;
- GNOME 43 (gnome-shell --headless) with the portal's GNOME back end;
- KDE Plasma 5.27 (kwin_wayland --virtual) with the portal's KDE back end.

A session has one output, or two side by side with the second at scale 2.
Native GTK windows put known colours on the outputs; Scribbloom
runs on the session's XWayland and is driven there with xdotool; the
compositor's own screenshot reads back what the outputs show. Points and
rectangles are X coordinates, as the program and xdotool see them.

sway refuses to run as root, so as root every session runs as an
unprivileged user (scripts/setup.sh creates it; so does this harness when it
is missing).
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

HERE = os.path.dirname(os.path.abspath(__file__))
USER = os.environ.get("SCRIBBLOOM_WAYLAND_USER", "scribbloom-wl")
PORTAL_SERVICE = "org.freedesktop.portal.Desktop"
# The portal back ends; each session lets its bus start its own desktop's only.
BACKEND_SERVICES = {
    "wlr": "org.freedesktop.impl.portal.desktop.wlr.service",
    "gtk": "org.freedesktop.impl.portal.desktop.gtk.service",
    "gnome": "org.freedesktop.impl.portal.desktop.gnome.service",
    "kde": "org.freedesktop.impl.portal.desktop.kde.service",
}
PICTURE_ENDINGS = (".png", ".jpg", ".jpeg", ".ppm", ".bmp", ".webp")


def _account():
    if os.getuid() != 0:
        return None
    try:
        return pwd.getpwnam(USER)
    except KeyError:
        subprocess.run(["useradd", "--create-home", "--shell", "/usr/sbin/nologin", USER], check=True)
        return pwd.getpwnam(USER)


def _x11_socket_folder():
    """XWayland puts its socket in /tmp/.X11-unix; mutter refuses to start it
    unless that folder is world-writable and sticky, as the system makes it."""
    path = "/tmp/.X11-unix"
    if os.getuid() != 0:
        return
    if not os.path.isdir(path):
        os.makedirs(path, exist_ok=True)
    info = os.stat(path)
    if info.st_uid != 0 or (info.st_mode & 0o7777) != 0o1777:
        os.chown(path, 0, 0)
        os.chmod(path, 0o1777)


class Session(PointerAndKeys, XWindows):
    """What the three desktops share: the user, the folders, the bus, the
    processes, XWayland and the program. A subclass starts its compositor
    and portal back end, places colours and takes screenshots."""

    name = None
    current_desktop = None
    # Portal back ends this desktop's bus may start.
    backends = ()

    # The outputs' sizes and scales, left to right.
    OUTPUTS = [(1920, 1080, 1)]

    def __init__(self, outputs=1, size=None):
        check(outputs in (1, 2), "a session has one or two outputs")
        self.outputs = outputs
        # `size` (w, h): another size for the first output, at scale 1.
        self.layout = list(self.OUTPUTS[:outputs])
        if size:
            self.layout[0] = (size[0], size[1], 1)
        self.account = _account()
        self.tmp = tempfile.mkdtemp(prefix=f"scribbloom-{self.name}-")
        os.chmod(self.tmp, 0o755)
        self.runtime = os.path.join(self.tmp, "runtime")
        self.home = os.path.join(self.tmp, "home")
        self.procs = {}
        self.env = None
        self.fifos = {}
        self._screens = None

    # ---- lifetime -------------------------------------------------------

    def _own(self, path):
        if self.account:
            os.chown(path, self.account.pw_uid, self.account.pw_gid)

    def _mkdir(self, path, mode=0o755):
        os.makedirs(path)
        os.chmod(path, mode)
        self._own(path)
        return path

    def _write(self, path, text):
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w") as f:
            f.write(text)
        self._own(path)
        return path

    def _own_tree(self, top):
        for root, dirs, files in os.walk(top):
            self._own(root)
            for name in files:
                self._own(os.path.join(root, name))

    def start(self):
        self._mkdir(self.runtime, 0o700)
        self._mkdir(self.home)
        self._mkdir(os.path.join(self.tmp, "config"))
        self._own(self.tmp)
        _x11_socket_folder()
        env = {
            "PATH": "/usr/local/bin:/usr/bin:/bin",
            "HOME": self.home,
            "XDG_RUNTIME_DIR": self.runtime,
            "XDG_CONFIG_HOME": os.path.join(self.tmp, "config"),
            "DBUS_SESSION_BUS_ADDRESS": f"unix:path={self.runtime}/bus",
            "XDG_CURRENT_DESKTOP": self.current_desktop,
            "XDG_SESSION_TYPE": "wayland",
            "LANG": "C.UTF-8",
            "DO_NOT_TRACK": "1",
        }
        # A sanitizer build keeps its settings in the session.
        for name in ("ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"):
            if name in os.environ:
                env[name] = os.environ[name]
        self.env = env
        self._install_helpers()
        self.prepare()
        self._start_bus()
        self.start_compositor()
        self.start_portal()
        self._remove_stale_pictures()
        return self

    def prepare(self):
        """Files the desktop reads at start, made before anything runs."""

    def _start_bus(self):
        services = self._mkdir(os.path.join(self.tmp, "dbus-services"))
        others = {path for name, path in BACKEND_SERVICES.items() if name not in self.backends}
        for path in glob.glob("/usr/share/dbus-1/services/*.service"):
            if os.path.basename(path) not in others and not self.keep_out_of_bus(os.path.basename(path)):
                shutil.copy(path, services)
        self.spawn("dbus", ["dbus-daemon", "--nofork", f"--config-file={self._bus_config('session', services)}"])
        wait_for("the session bus", lambda: os.path.exists(os.path.join(self.runtime, "bus")))

    def keep_out_of_bus(self, service_file):
        """Whether the session bus must not start this service itself."""
        return False

    def _bus_config(self, kind, services=None):
        listen = os.path.join(self.runtime, "bus" if kind == "session" else "system-bus")
        service_dir = f"<servicedir>{services}</servicedir>" if services else ""
        return self._write(os.path.join(self.tmp, f"{kind}-bus.conf"), f"""<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:path={listen}</listen>
  <auth>EXTERNAL</auth>
  {service_dir}
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
""")

    def bus_names(self):
        return self.run("dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.DBus",
                        "/org/freedesktop/DBus", "org.freedesktop.DBus.ListNames", check_rc=False)

    def wait_for_name(self, name, limit=60):
        wait_for(f"{name} on the session bus", lambda: f'"{name}"' in self.bus_names(), limit=limit, step=0.1)

    def start_compositor(self):
        raise NotImplementedError

    def _find_xwayland(self):
        """(display, auth file or None) of this session's XWayland, from its arguments."""
        marker = f"XDG_RUNTIME_DIR={self.runtime}".encode()
        for pid in self._session_processes():
            try:
                with open(f"/proc/{pid}/cmdline", "rb") as f:
                    args = [a.decode() for a in f.read().split(b"\0") if a]
                with open(f"/proc/{pid}/environ", "rb") as f:
                    if marker not in f.read():
                        continue
            except OSError:
                continue
            if not args or os.path.basename(args[0]) != "Xwayland":
                continue
            display = next((a for a in args[1:] if a.startswith(":")), None)
            auth = args[args.index("-auth") + 1] if "-auth" in args else None
            if display:
                return display, auth
        return None

    def use_xwayland(self):
        """Points this session's X tools and programs at its XWayland."""
        found = wait_for("the session's XWayland", self._find_xwayland)
        self.env["DISPLAY"] = found[0]
        if found[1]:
            self.env["XAUTHORITY"] = found[1]
        wait_for("XWayland to answer", lambda: self.run("xdpyinfo", check_rc=False))

    def wayland_socket(self):
        sockets = [p for p in glob.glob(os.path.join(self.runtime, "wayland-*")) if not p.endswith(".lock")]
        return os.path.basename(sockets[0]) if sockets else None

    def start_portal(self):
        raise NotImplementedError

    def update_activation_environment(self):
        names = [n for n in ("DISPLAY", "XAUTHORITY", "WAYLAND_DISPLAY", "XDG_CURRENT_DESKTOP", "XDG_RUNTIME_DIR",
                             "SWAYSOCK", "QML2_IMPORT_PATH") if n in self.env]
        self.run("dbus-update-activation-environment", *names)

    def wait_for_portal(self):
        self.spawn("portal", ["/usr/libexec/xdg-desktop-portal"], log="portal.log")
        wait_for("the screenshot portal", self._portal_ready, limit=60, step=0.2)

    def _portal_ready(self):
        out = self.run("dbus-send", "--session", "--print-reply", f"--dest={PORTAL_SERVICE}",
                       "/org/freedesktop/portal/desktop", "org.freedesktop.DBus.Introspectable.Introspect",
                       check_rc=False)
        return "org.freedesktop.portal.Screenshot" in out

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
        # What the bus started on demand, and the compositors' own helpers,
        # knew the session by its runtime folder.
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
        self._remove_stale_pictures()
        shutil.rmtree(self.tmp, ignore_errors=True)

    def _remove_stale_pictures(self):
        """Pictures a back end keeps in a shared place, when this session's user
        left them there: another user's portal could not write its own."""

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

    def run(self, *args, check_rc=True, env=None):
        result = subprocess.run(list(args), env=env or self.env, cwd=self.tmp, capture_output=True, text=True,
                                stdin=subprocess.DEVNULL, **self._as_user())
        if check_rc and result.returncode != 0:
            raise TestFailure(f"{' '.join(args)} failed: {result.stderr.strip()}")
        return result.stdout

    def helper(self, *args):
        """The harness's D-Bus helper, run as the session's user."""
        return self.run(self.helper_python(), os.path.join(self.tmp, "session_bus.py"), *args)

    def helper_python(self):
        return "/usr/bin/python3"

    def _install_helpers(self):
        for name in ("session_bus.py", "colour_window.py"):
            shutil.copy(os.path.join(HERE, name), self.tmp)
            self._own(os.path.join(self.tmp, name))

    def log(self, name):
        path = os.path.join(self.tmp, name)
        if not os.path.exists(path):
            return ""
        with open(path, errors="replace") as f:
            return f.read()

    def logs(self):
        """Log files worth showing when a test fails."""
        return ["scribbloom.log", "compositor.log", "portal.log"]

    # ---- screens and content ----------------------------------------------

    def screens(self):
        """The X screens (x, y, w, h), left to right, as XWayland lists them."""
        if self._screens is None:
            def listed():
                found = []
                for line in self.run("xrandr", "--listmonitors").splitlines()[1:]:
                    geometry = line.split()[2]
                    size, x, y = geometry.split("+")
                    w, h = (int(part.split("/")[0]) for part in size.split("x"))
                    found.append((int(x), int(y), w, h))
                return sorted(found) if len(found) == self.outputs else None
            self._screens = wait_for("XWayland's screens", listed)
        return self._screens

    def forget_screens(self):
        self._screens = None

    def desktop_size(self):
        screens = self.screens()
        return (max(x + w for x, y, w, h in screens), max(y + h for x, y, w, h in screens))

    def show_colour(self, output, colour):
        """A native window filling output `output` (0 or 1) with `colour` (hex
        "rrggbb"); its colour changes later through recolour()."""
        fifo = os.path.join(self.tmp, f"recolour-{output}")
        os.mkfifo(fifo, 0o600)
        self._own(fifo)
        self.fifos[output] = fifo
        self.spawn(f"colour-{output}", ["/usr/bin/python3", os.path.join(self.tmp, "colour_window.py"), str(output),
                                        colour, fifo],
                   env=dict(self.env, GDK_BACKEND="wayland", NO_AT_BRIDGE="1"), log=f"colour-{output}.log")

    def recolour(self, output, colour):
        """Changes the colour; returns once the window has been drawn in it."""
        done = self.fifos[output] + ".done"
        with open(self.fifos[output], "w") as f:
            f.write(colour + "\n")
        wait_for("the window to take the new colour", lambda: os.path.exists(done))
        os.unlink(done)

    def take_screenshot(self, path):
        """Writes a picture of all outputs to `path`, X coordinates for pixels."""
        raise NotImplementedError

    def screenshot(self, points):
        """Colours at desktop points (x, y) as the outputs show them: a dict
        from point to (r, g, b, a)."""
        return self.pixels(points)

    def _parse_pixels(self, out):
        colours = {}
        for line in out.splitlines():
            where, r, g, b, a = line.split()
            x, y = where.split(",")
            colours[(int(x), int(y))] = (int(r), int(g), int(b), int(a))
        return colours

    def pixels(self, points):
        """The colours, from a picture of all outputs."""
        path = self.take_screenshot(os.path.join(self.tmp, "screenshot"))
        size, colours = probe_image(path, points)
        check(size == self.desktop_size(),
              f"the desktop's screenshot is {size}, XWayland's screens span {self.desktop_size()}")
        return colours

    def save_screenshot(self, stem):
        """A copy of what the outputs show, for looking at a failure; returns its file."""
        path = self.take_screenshot(os.path.join(self.tmp, "failure"))
        target = stem + os.path.splitext(path)[1]
        shutil.copy(path, target)
        return target

    def pictures_left(self):
        """Picture files in the user's folders (and wherever else the desktop
        keeps screenshots): a board's snapshot must leave none behind."""
        found = []
        for root, dirs, files in os.walk(self.home):
            found += [os.path.join(root, n) for n in files if n.lower().endswith(PICTURE_ENDINGS)]
        return found

    def board_state(self, pid):
        """What the compositor says of the program's managed windows, where the
        harness can ask: a list of (title, full-screen), or None."""
        return None

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
        self._own_tree(target)
        return os.path.join(target, "Scribbloom")

    def program_path(self):
        return os.path.join(self.tmp, "app", "Scribbloom")

    def start_program(self, env=None):
        program = self.program_path()
        if not os.path.exists(program):
            self.install_program()
        work = os.path.join(self.tmp, "work")
        if not os.path.isdir(work):
            self._mkdir(work)
        # No QT_QPA_PLATFORM: on a Wayland session the program picks X itself.
        return self.spawn("scribbloom", [program], cwd=work, log="scribbloom.log", env=dict(self.env, **(env or {})))


class SwaySession(Session):
    """sway's headless back end with the stock configuration, pipewire and the
    wlr portal back end (plus the gtk one, which the portal needs for its
    access checks)."""

    name = "sway"
    current_desktop = "sway:GNOME"
    backends = ("wlr", "gtk")
    # Where xdg-desktop-portal-wlr 0.6 writes every screenshot.
    SHARED_PICTURE = "/tmp/out.png"
    OUTPUTS = [(1920, 1080, 1), (3840, 2160, 2)]

    def keep_out_of_bus(self, service_file):
        # The session starts the wlr back end itself (and a test stops it).
        return service_file == BACKEND_SERVICES["wlr"]

    def start_compositor(self):
        display_file = os.path.join(self.tmp, "x-display")
        config = self._write(os.path.join(self.tmp, "sway.conf"), "".join(
            # The stock configuration, with the sizes of our outputs and a
            # note of the X display sway hands its clients.
            ["include /etc/sway/config\n"]
            + [f"output HEADLESS-{n + 1} resolution {w}x{h} scale {scale} position "
               f"{sum(pw // ps for pw, _, ps in self.layout[:n])} 0\n"
               for n, (w, h, scale) in enumerate(self.layout)]
            + ["xwayland enable\n",
               f"exec sh -c 'echo \"$DISPLAY\" > {display_file}.part && mv {display_file}.part {display_file}'\n"]))
        env = dict(self.env, WLR_BACKENDS="headless", WLR_LIBINPUT_NO_DEVICES="1", WLR_RENDERER="pixman")
        self.spawn("sway", ["sway", "-c", config], env=env, log="compositor.log")
        wait_for("sway's IPC socket", lambda: glob.glob(os.path.join(self.runtime, "sway-ipc.*.sock")))
        wait_for("sway's Wayland socket", self.wayland_socket)
        self.env["WAYLAND_DISPLAY"] = self.wayland_socket()
        self.env["SWAYSOCK"] = glob.glob(os.path.join(self.runtime, "sway-ipc.*.sock"))[0]
        wait_for("the X display of sway's XWayland", lambda: os.path.exists(display_file))
        with open(display_file) as f:
            self.env["DISPLAY"] = f.read().strip()
        check(self.env["DISPLAY"].startswith(":"), f"sway gave no X display: {self.env['DISPLAY']!r}")
        for _ in range(1, self.outputs):
            self.swaymsg("create_output")
        wait_for("the outputs", lambda: self.swaymsg("-t", "get_outputs").count('"name": "HEADLESS-')
                 >= self.outputs)

    def start_portal(self):
        self.spawn("pipewire", ["pipewire"])
        # xdg-desktop-portal-wlr leaves at once when pipewire is not up yet.
        wait_for("pipewire", lambda: glob.glob(os.path.join(self.runtime, "pipewire-0")))
        self.start_wlr_backend()
        self.update_activation_environment()
        self.wait_for_portal()

    def start_wlr_backend(self):
        self.spawn("wlr", ["/usr/libexec/xdg-desktop-portal-wlr"], log="wlr.log")
        self.wait_for_name("org.freedesktop.impl.portal.desktop.wlr")

    def stop_wlr_backend(self):
        self.end("wlr")

    def logs(self):
        return super().logs() + ["wlr.log"]

    def _remove_stale_pictures(self):
        try:
            if self.account and os.stat(self.SHARED_PICTURE).st_uid == self.account.pw_uid:
                os.unlink(self.SHARED_PICTURE)
        except FileNotFoundError:
            pass

    def swaymsg(self, *args):
        return self.run("swaymsg", *args)

    def focus_output(self, output):
        """What a real pointer on that output would do: XTest moves only XWayland's."""
        self.swaymsg(f"focus output HEADLESS-{output + 1}")

    def take_screenshot(self, path):
        # Scale 1: grim's picture is then in sway's layout coordinates, which
        # XWayland uses too. PPM: nothing to compress.
        path += ".ppm"
        self.run("grim", "-s", "1", "-t", "ppm", path)
        return path

    def pictures_left(self):
        return super().pictures_left() + ([self.SHARED_PICTURE] if os.path.exists(self.SHARED_PICTURE) else [])

    def board_state(self, pid):
        found = []

        def walk(node):
            if node.get("pid") == pid:
                found.append((node["name"], node["fullscreen_mode"] == 1))
            for child in node.get("nodes", []) + node.get("floating_nodes", []):
                walk(child)
        walk(json.loads(self.swaymsg("-t", "get_tree")))
        return found


class GnomeSession(Session):
    """gnome-shell 43 as a headless Wayland compositor (virtual monitors), in a
    session mode of its own without overview, welcome dialog or banners, and
    the GNOME portal back end with the screenshot permission stored. A small
    shell extension puts the shell in its unsafe mode, so that the harness may
    use the shell's own screenshot and script interfaces."""

    name = "gnome"
    current_desktop = "GNOME"
    backends = ("gnome", "gtk")
    MODE = "scribbloom-test"
    EXTENSION = "scribbloom-test@scribbloom.net"
    # Mutter lays monitors out in physical pixels: the second is twice as
    # large to hold as much as the first at scale 2.
    OUTPUTS = [(1920, 1080, 1), (3840, 2160, 2)]

    def prepare(self):
        share = os.path.join(self.tmp, "share")
        self._write(os.path.join(share, "gnome-shell", "modes", f"{self.MODE}.json"), json.dumps({
            "parentMode": "user", "hasOverview": False, "showWelcomeDialog": False, "hasNotifications": False,
            "enabledExtensions": [self.EXTENSION]}))
        extension = os.path.join(share, "gnome-shell", "extensions", self.EXTENSION)
        self._write(os.path.join(extension, "metadata.json"), json.dumps({
            "uuid": self.EXTENSION, "name": "Scribbloom test session",
            "description": "Lets the test harness use the shell's screenshot and script interfaces",
            "shell-version": ["43"]}))
        self._write(os.path.join(extension, "extension.js"),
                    "function init() {}\n"
                    "function enable() { global.context.unsafe_mode = true; }\n"
                    "function disable() {}\n")
        self._own_tree(share)
        self.env["XDG_DATA_DIRS"] = f"{share}:/usr/local/share:/usr/share"
        self._mkdir(os.path.join(self.home, "Pictures"))

    def keep_out_of_bus(self, service_file):
        # No mail, calendar or other desktop services.
        return service_file.startswith(("org.gnome.evolution", "org.kde."))

    def start_compositor(self):
        # gnome-shell wants a system bus; none runs here, so a private one.
        self.spawn("system-bus", ["dbus-daemon", "--nofork", f"--config-file={self._bus_config('system')}"])
        wait_for("the system bus", lambda: os.path.exists(os.path.join(self.runtime, "system-bus")))
        self.env["DBUS_SYSTEM_BUS_ADDRESS"] = f"unix:path={self.runtime}/system-bus"
        monitors = []
        for w, h, scale in self.layout:
            monitors += ["--virtual-monitor", f"{w}x{h}"]
        self.spawn("gnome-shell", ["gnome-shell", "--headless", "--wayland", f"--mode={self.MODE}", *monitors],
                   log="compositor.log")
        self.wait_for_name("org.gnome.Shell.Screenshot")
        wait_for("the shell's unsafe mode", lambda: "true" in self.run(
            "gdbus", "call", "--session", "--dest", "org.gnome.Shell", "--object-path", "/org/gnome/Shell",
            "--method", "org.gnome.Shell.Eval", "global.context.unsafe_mode", check_rc=False))
        self.env["WAYLAND_DISPLAY"] = self.wayland_socket()
        self.use_xwayland()
        if self.outputs > 1:
            self.helper("gnome-scale", "1", str(self.layout[1][2]))
            wait_for("the second monitor at its scale", lambda: self._x_layout_is_physical())

    def _x_layout_is_physical(self):
        self.forget_screens()
        return [s[2:] for s in self.screens()] == [o[:2] for o in self.layout]

    def start_portal(self):
        self.update_activation_environment()
        # Without a stored permission the GNOME back end asks first, and never
        # answers a call that may not ask. '' is an unsandboxed program.
        self.run("gdbus", "call", "--session", "--dest", "org.freedesktop.impl.portal.PermissionStore",
                 "--object-path", "/org/freedesktop/impl/portal/PermissionStore",
                 "--method", "org.freedesktop.impl.portal.PermissionStore.SetPermission",
                 "screenshot", "true", "screenshot", "", "['yes']")
        self.wait_for_portal()

    def eval(self, script):
        """Runs JavaScript in the shell (unsafe mode allows it); returns its result (the shell hands it over as JSON)."""
        return json.loads(self.helper("gnome-eval", script))

    def _windows_of(self, test):
        return ("global.get_window_actors().map(a => a.meta_window)"
                f".filter(w => {test})")

    def focus_output(self, output):
        """Full-screen windows open on the monitor that holds their window;
        nothing to do."""

    def pixels(self, points):
        # A picture of one pixel per point: the whole desktop takes the shell
        # a second to encode.
        return self._parse_pixels(self.helper("gnome-pixels", self.tmp, *[f"{x},{y}" for x, y in points]))

    def take_screenshot(self, path):
        path += ".png"
        out = self.run("gdbus", "call", "--session", "--dest", "org.gnome.Shell", "--object-path",
                       "/org/gnome/Shell/Screenshot", "--method", "org.gnome.Shell.Screenshot.Screenshot",
                       "false", "false", path)
        check(out.startswith("(true,"), f"the shell took no screenshot: {out.strip()}")
        return path

    def board_state(self, pid):
        return [tuple(w) for w in self.eval(
            f"{self._windows_of(f'w.get_pid() == {pid} && !w.is_override_redirect()')}"
            ".map(w => [w.get_title(), w.is_fullscreen()])")]


class KdeSession(Session):
    """KWin 5.27 (virtual back end, XWayland) and the KDE portal back end. The
    portal back end needs two QML modules of plasma-workspace, which
    scripts/setup.d/plasma-dialogs.sh takes out of its package into the
    build tree."""

    name = "kde"
    current_desktop = "KDE"
    backends = ("kde",)
    # KWin's virtual outputs share one size; at scale 2 the second holds a
    # quarter as much, and XWayland doubles the X coordinates of both.
    OUTPUTS = [(1920, 1080, 1), (1920, 1080, 2)]

    def prepare(self):
        qml = os.path.join(os.environ["SCRIBBLOOM_BIN_DIR"], "..", "test-tools", "plasma-qml")
        check(os.path.isfile(os.path.join(qml, "org", "kde", "plasma", "workspace", "dialogs", "qmldir")),
              f"no plasma-workspace QML modules in {os.path.normpath(qml)}: run scripts/setup.sh test")
        shutil.copytree(qml, os.path.join(self.tmp, "qml"))
        self._own_tree(os.path.join(self.tmp, "qml"))
        self.env["QML2_IMPORT_PATH"] = os.path.join(self.tmp, "qml")
        # kwin_wayland carries a file capability a container may not grant;
        # a copy has none. KWin's platform plugin wants the name kept.
        os.makedirs(os.path.join(self.tmp, "bin"))
        shutil.copy(shutil.which("kwin_wayland"), os.path.join(self.tmp, "bin", "kwin_wayland"))
        self._own_tree(os.path.join(self.tmp, "bin"))
        self._mkdir(os.path.join(self.home, "Pictures"))
        data = os.path.join(self.tmp, "data")
        self.env["XDG_DATA_HOME"] = data
        # KWin hands its screenshot interface to programs whose desktop entry
        # asks for it: the program's own (as installed, pointing at the copy)
        # and the harness's helper.
        self.install_program()
        with open(os.path.join(os.environ["SCRIBBLOOM_SOURCE_DIR"], "resources", "desktop",
                               "net.scribbloom.Scribbloom.desktop")) as f:
            entry = "".join(f"Exec={self.program_path()}\n" if line.startswith("Exec=") else line for line in f)
        self._write(os.path.join(data, "applications", "net.scribbloom.Scribbloom.desktop"), entry)
        # KWin knows a program by its executable, and Debian's Python has a
        # desktop entry of its own: the helper runs a copy of the interpreter.
        shutil.copy(os.path.realpath(super().helper_python()), self.helper_python())
        self._own(self.helper_python())
        self._write(os.path.join(data, "applications", "scribbloom-test-harness.desktop"),
                    f"[Desktop Entry]\nType=Application\nName=Scribbloom test harness\nExec={self.helper_python()}\n"
                    "NoDisplay=true\nX-KDE-DBUS-Restricted-Interfaces=org.kde.KWin.ScreenShot2\n")
        self._own_tree(data)

    def keep_out_of_bus(self, service_file):
        return service_file.startswith("org.gnome.")

    def helper_python(self):
        return os.path.join(self.tmp, "bin", "scribbloom-test-harness")

    def start_compositor(self):
        # KWin reads the desktop entries through this cache, once.
        self.run("kbuildsycoca5", "--noincremental", check_rc=False)
        self.env["WAYLAND_DISPLAY"] = "wayland-scribbloom"
        w, h, _ = self.layout[0]
        self.spawn("kwin", [os.path.join(self.tmp, "bin", "kwin_wayland"), "--virtual", "--xwayland",
                            "--socket", self.env["WAYLAND_DISPLAY"], "--no-lockscreen", "--no-global-shortcuts",
                            "--no-kactivities", "--width", str(w), "--height", str(h),
                            "--output-count", str(self.outputs)],
                   env={n: v for n, v in self.env.items() if n != "WAYLAND_DISPLAY"}, log="compositor.log")
        self.wait_for_name("org.kde.KWin")
        self.use_xwayland()
        if self.outputs > 1:
            # KWin then scales XWayland too: X coordinates double.
            self.run("kscreen-doctor", f"output.Virtual-1.scale.{self.layout[1][2]}")
            wait_for("the second output at its scale", self._x_layout_scaled)
        # The screenshot effect registers its interface once KWin's effects
        # are loaded (again, after the screens changed).
        wait_for("KWin's screenshot interface", self._screenshot_interface_ready, step=0.1)

    def _screenshot_interface_ready(self):
        out = self.run("dbus-send", "--session", "--print-reply", "--dest=org.kde.KWin.ScreenShot2",
                       "/org/kde/KWin/ScreenShot2", "org.freedesktop.DBus.Introspectable.Introspect", check_rc=False)
        return "CaptureWorkspace" in out

    def _x_layout_scaled(self):
        self.forget_screens()
        scale = self.layout[1][2]
        return [s[2:] for s in self.screens()] == [(w * scale // s, h * scale // s) for w, h, s in self.layout]

    def start_portal(self):
        self.update_activation_environment()
        self.wait_for_portal()

    def focus_output(self, output):
        """KWin opens full-screen windows on the output that holds them."""

    def pixels(self, points):
        scale = self.layout[1][2] if self.outputs > 1 else 1
        return self._parse_pixels(self.helper("kwin-pixels", str(scale), *[f"{x},{y}" for x, y in points]))

    def take_screenshot(self, path):
        path += ".ppm"
        self.helper("kwin-shot", path)
        return path


DESKTOPS = {"sway": SwaySession, "gnome": GnomeSession, "kde": KdeSession}


def session(desktop, outputs=1, size=None):
    return DESKTOPS[desktop](outputs=outputs, size=size)
