#!/usr/bin/python3
"""Started where there is no X display to run on (on a Wayland session
without XWayland, or with DISPLAY naming nothing), the program says so in one
line and exits with a non-zero status instead of aborting."""

import os
import subprocess
import sys
import tempfile

program = sys.argv[1]
failures = []
with tempfile.TemporaryDirectory(prefix="scribbloom-nodisplay-") as tmp:
    base = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "QT_QPA_PLATFORM", "WAYLAND_DISPLAY")}
    base["HOME"] = tmp
    cases = {
        "Wayland session, no XWayland": dict(base, WAYLAND_DISPLAY="wayland-none", XDG_SESSION_TYPE="wayland"),
        "X display that is not there": dict(base, DISPLAY=":987", XDG_SESSION_TYPE="x11"),
    }
    for what, env in cases.items():
        result = subprocess.run([program], env=env, cwd=tmp, capture_output=True, text=True, timeout=60)
        lines = [line for line in result.stderr.splitlines() if line.strip()]
        if result.returncode in (0, -6, 134) or len(lines) != 1 or "X display" not in lines[0]:
            failures.append(f"{what}: rc {result.returncode}, said {lines!r}")
        else:
            print(f"{what}: rc {result.returncode}: {lines[0]}")
for failure in failures:
    print("FAIL: " + failure)
sys.exit(1 if failures else 0)
