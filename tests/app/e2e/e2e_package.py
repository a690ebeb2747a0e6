#!/usr/bin/python3
"""The Debian package, built by CPack from this build tree, installs on this
machine like any desktop program: Debian's checker finds no error in it, its
files land under /usr, the program started as /usr/bin/scribbloom shows its
strip and draws on a board, a crash of the installed program reaches the
crash reporter's helper (which packs the report into an archive), and
removing the package leaves nothing of it under /usr.

Installing a package needs root: run by anyone else, the test is skipped.
"""

import ctypes
import fcntl
import glob
import gzip
import os
import shutil
import signal
import struct
import subprocess
import sys
import zipfile

from desktop import check, close_to, main, wait_for
from strip import button_centres

SKIP = 77
PACKAGE = "scribbloom"
VERSION = "1.1.6.1429"
DESKTOP_ID = "net.scribbloom.Scribbloom"
ICON_SIZES = [16, 22, 24, 32, 48, 64, 128, 256]
# The variables the README documents; the manual page must explain each.
README_VARIABLES = ["DO_NOT_TRACK", "SCRIBBLOOM_STATS_HOST", "SCRIBBLOOM_CA_FILE"]
BACKGROUND = (0x33, 0x66, 0x99)
RED = (255, 0, 0)
# Every run of this test on the machine installs and removes the same
# package: runs from several build trees take turns.
LOCK = "/run/lock/scribbloom-package-test.lock"


def run(*args, env=None):
    return subprocess.run(list(args), capture_output=True, text=True, env=env)


def must(*args, env=None):
    result = run(*args, env=env)
    check(result.returncode == 0,
          f"{' '.join(args)} failed ({result.returncode}): {(result.stdout + result.stderr).strip()[-2000:]}")
    return result.stdout


def status():
    result = run("dpkg-query", "-W", "-f=${db:Status-Status}", PACKAGE)
    return result.stdout.strip() if result.returncode == 0 else "not-installed"


def build_package(d):
    build = os.path.dirname(os.environ["SCRIBBLOOM_BIN_DIR"])
    out = os.path.join(d.tmp, "cpack")
    must("cpack", "-G", "DEB", "-B", out, "--config", os.path.join(build, "CPackConfig.cmake"))
    debs = glob.glob(os.path.join(out, "*.deb"))
    check(len(debs) == 1, f"cpack made {debs}, not one package")
    return debs[0]


def check_control(deb):
    field = lambda name: must("dpkg-deb", "-f", deb, name).strip()
    check(field("Package") == PACKAGE, f"package name {field('Package')}")
    check(field("Version") == VERSION, f"package version {field('Version')}")
    arch = must("dpkg", "--print-architecture").strip()
    check(field("Architecture") == arch, f"architecture {field('Architecture')}, the build's is {arch}")
    check(field("Section") == "graphics", f"section {field('Section')}")
    check("@" in field("Maintainer"), f"maintainer {field('Maintainer')!r}")
    check(field("Description").startswith("freeze the screen"), "no description")
    depends = [d.strip().split(" ")[0] for d in field("Depends").split(",")]
    # Computed by dpkg-shlibdeps from the binaries, plus the font by name.
    for needed in ["fonts-wqy-microhei", "libc6", "libqt5widgets5", "libcurl4", "libminizip1", "libdw1"]:
        check(needed in depends, f"the package does not depend on {needed}: {depends}")

    # lintian's own scratch files (Berkeley DB tables) go beside the
    # package, not into the shared temporary folder.
    scratch = os.path.join(os.path.dirname(deb), "lintian-tmp")
    os.makedirs(scratch, exist_ok=True)
    lint = run("lintian", "--fail-on", "error", deb, env=dict(os.environ, TMPDIR=scratch))
    errors = [line for line in lint.stdout.splitlines() if line.startswith("E:")]
    check(lint.returncode == 0 and not errors, f"lintian finds errors:\n{lint.stdout}{lint.stderr}")


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    check(head[:8] == b"\x89PNG\r\n\x1a\n", f"{path} is not a PNG")
    return struct.unpack(">II", head[16:24])


def check_installed_files(listing):
    link = "/usr/bin/scribbloom"
    check(os.path.islink(link), "no /usr/bin/scribbloom link")
    program = os.path.realpath(link)
    folder = os.path.dirname(program)
    check(folder.startswith("/usr/lib/") and folder.endswith("/scribbloom") and os.path.basename(program) == "Scribbloom",
          f"the link leads to {program}")
    for needed in ["libFaultTrace.so", "FaultTraceHelper", "translations/Scribbloom_zh.qm", "skin/coolblack.rcc",
                   "skin/classicwhite.rcc", "help/index_zh.html", "help/img/pen4.png"]:
        check(os.path.join(folder, needed) in listing, f"the package does not hold {needed} beside the program")
    # The installed program takes the installed library, not the build tree's.
    libraries = must("ldd", program)
    check(f"libFaultTrace.so => {folder}/libFaultTrace.so" in libraries,
          f"the installed program does not load the installed library:\n{libraries}")

    entry = f"/usr/share/applications/{DESKTOP_ID}.desktop"
    must("desktop-file-validate", entry)
    with open(entry, encoding="utf-8") as f:
        lines = f.read().splitlines()
    check("Exec=/usr/bin/scribbloom %f" in lines and "Icon=scribbloom" in lines, "the desktop entry does not start the link")
    metainfo = f"/usr/share/metainfo/{DESKTOP_ID}.metainfo.xml"
    must("appstreamcli", "validate", "--no-net", metainfo)
    with open(metainfo, encoding="utf-8") as f:
        text = f.read()
    check(f"<id>{DESKTOP_ID}</id>" in text and f">{DESKTOP_ID}.desktop</launchable>" in text,
          "the metainfo does not name the desktop entry")

    for size in ICON_SIZES:
        icon = f"/usr/share/icons/hicolor/{size}x{size}/apps/scribbloom.png"
        check(os.path.isfile(icon), f"no {size}x{size} icon")
        check(png_size(icon) == (size, size), f"the {size}x{size} icon is {png_size(icon)}")
    check(os.path.isfile("/usr/share/icons/hicolor/scalable/apps/scribbloom.svg"), "no scalable icon")

    with gzip.open("/usr/share/man/man1/scribbloom.1.gz", "rt", encoding="utf-8") as f:
        page = f.read()
    for section in [".SH NAME", ".SH DESCRIPTION", ".SH ENVIRONMENT", ".SH FILES"]:
        check(section in page, f"the manual page has no {section}")
    for variable in README_VARIABLES:
        check(variable in page, f"the manual page does not explain {variable}")
    return folder


def draw_on_board(d, app):
    strip = d.wait_new_window(app.pid, [], "the installed program's strip", size=(82, 745))
    x, y, _, _ = d.geometry(strip)
    b = button_centres(x, y)
    wait_for("the strip to be drawn",
             lambda: close_to(d.screen.snapshot().pixel(x + 14, y + 14), (52, 52, 52), 6))
    d.click(*b["open"])
    board = d.wait_new_window(app.pid, [strip], "the board", size=(d.width, d.height))
    wait_for("the board to show the snapshot",
             lambda: close_to(d.screen.snapshot().pixel(700, 500), BACKGROUND, 8))
    wait_for("the strip above the board", lambda: d.stacked_above(strip, board))
    # A thick red pen stroke (the board starts with red).
    d.click(*b["size5"])
    d.click(*b["pen"])
    d.drag([(400, 500)] + [(400 + 25 * i, 500) for i in range(1, 13)])
    wait_for("the stroke on the board", lambda: close_to(d.screen.snapshot().pixel(550, 500), RED))


def crash(d, app, folder):
    """Faults the installed program's main thread from outside, as a crash would."""
    libc = ctypes.CDLL("libc.so.6", use_errno=True)
    check(libc.tgkill(app.pid, app.pid, signal.SIGSEGV) == 0, "cannot signal the program")
    # The handling itself is bounded (address lookup, then packing); this only guards a hang.
    wait_for("the crashed program to end", lambda: app.poll() is not None, limit=120)
    check(app.returncode == -signal.SIGSEGV, f"the program ended with {app.returncode}, not by its fault")
    # Only the helper packs the archive: its presence shows the installed
    # library found the installed helper beside itself.
    archives = glob.glob(os.path.join(folder, "dump", f"{VERSION}_FaultTrace[[]*.zip"))
    check(len(archives) == 1, f"no crash archive in {folder}/dump: {archives}")
    with zipfile.ZipFile(archives[0]) as archive:
        check(archive.namelist() == ["FaultTrace.txt", "FaultTrace.DMP"], f"archive holds {archive.namelist()}")
        check(archive.read("FaultTrace.DMP")[:4] == b"MDMP", "the archive's minidump is not one")
        check(b"[Stack Info]" in archive.read("FaultTrace.txt"), "the archive's report has no stack")


def check_removed(listing, folder):
    must("dpkg", "-r", PACKAGE)
    check(status() != "installed", f"{PACKAGE} is still installed after dpkg -r")
    for path in listing:
        if os.path.isdir(path) and not os.path.islink(path):
            # Shared folders (/usr/share/icons/hicolor/48x48/apps...) stay for their other owners.
            check(run("dpkg-query", "-S", path).returncode == 0, f"{path} is left behind, owned by nobody")
        else:
            check(not os.path.lexists(path), f"{path} is left behind")
    check(not os.path.exists(folder), f"{folder} is left behind (crash archives?)")
    left = ours_under_usr()
    check(not left, f"left under /usr: {left}")


def ours_under_usr():
    return must("find", "/usr", "-xdev", "-iname", "*scribbloom*").split()


def test(d):
    check(status() == "not-installed",
          f"{PACKAGE} is installed on this machine already ({status()}); remove it (dpkg -r {PACKAGE}) "
          "before running this test")
    check(not ours_under_usr(), f"files of an earlier install lie under /usr already: {ours_under_usr()}")
    deb = build_package(d)
    check_control(deb)
    installed = False
    folder = None
    try:
        must("apt-get", "install", "-y", "-q", "--no-install-recommends", "-o", "DPkg::Lock::Timeout=600",
             os.path.abspath(deb), env=dict(os.environ, DEBIAN_FRONTEND="noninteractive"))
        installed = True
        listing = must("dpkg", "-L", PACKAGE).splitlines()
        listing = [p for p in listing if p.startswith("/usr/")]
        folder = check_installed_files(listing)

        d.run("xsetroot", "-solid", "#336699")
        env = dict(d.env)
        # The report's address lookup would ask the built-in service: loopback
        # port 1 refuses at once.
        env["FAULTTRACE_IPSERV"] = "127.0.0.1:1"
        work = os.path.join(d.tmp, "work")
        os.makedirs(work)
        app = d.spawn(["/usr/bin/scribbloom"], cwd=work, env=env, log=os.path.join(d.tmp, "scribbloom.log"))
        draw_on_board(d, app)
        crash(d, app, folder)

        check_removed(listing, folder)
        installed = False
    finally:
        # A failed run leaves the machine as it found it.
        if installed or status() != "not-installed":
            run("dpkg", "--purge", PACKAGE)
        if installed and folder:
            shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    if os.geteuid() != 0:
        print("SKIP: installing the Debian package needs root; run the suite as root "
              "(./scripts/setup.sh test) to include this test")
        sys.exit(SKIP)
    os.makedirs(os.path.dirname(LOCK), exist_ok=True)
    with open(LOCK, "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        main(test)
