#!/usr/bin/python3
"""Quitting while the usage report still waits for a slow server.

The statistics endpoint on 127.0.0.1 takes the report and answers only after
10 seconds. The program, on its own virtual X display, is told to exit as a
user does (the strip's exit button, Yes) while the report is in flight: it
must stop the report and end at once (within 2 seconds), with status 0 and
no crash report.
Usage: program_quit_during_report.py
"""
import os
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(HERE, "..", "app", "e2e"))
import test_server  # noqa: E402
from desktop import check, main, program_path, wait_for  # noqa: E402
from e2e_shell import answer_question  # noqa: E402
from program_usage_report import shared_keys  # noqa: E402
from strip import button_centres  # noqa: E402

SERVER_DELAY = 10


def test(d):
    work = os.path.join(d.tmp, "work")
    os.makedirs(work)
    key, iv = shared_keys()
    _, https_port, _, ca = test_server.start_servers(work, key, iv)
    with open(os.path.join(work, "stats_delay"), "w") as f:
        f.write(str(SERVER_DELAY))
    env = dict(d.env)
    env.pop("DO_NOT_TRACK", None)
    env.update({
        "XDG_DATA_HOME": os.path.join(d.tmp, "data"),
        "SCRIBBLOOM_STATS_HOST": "127.0.0.1:%d" % https_port,
        "SCRIBBLOOM_CA_FILE": ca,
    })
    log = os.path.join(d.tmp, "scribbloom.log")
    app = d.spawn([program_path()], cwd=work, env=env, log=log)
    strip = d.wait_new_window(app.pid, [], "the tool strip", size=(82, 745))
    x, y, _, _ = d.geometry(strip)
    reports = os.path.join(work, "reports.jsonl")
    wait_for("the report to reach the server", lambda: os.path.exists(reports))

    known = d.visible_windows(app.pid)
    d.click(*button_centres(x, y)["exit"])
    question = d.wait_new_window(app.pid, known, "the exit question")
    d.settle()
    answer_question(d, question, yes=True)
    asked = time.monotonic()
    wait_for("the program to end", lambda: app.poll() is not None, limit=SERVER_DELAY + 20)
    took = time.monotonic() - asked
    print("the program ended %.2f s after the exit was confirmed" % took)
    check(app.returncode == 0, f"the program ended with status {app.returncode}, not 0")
    check(took < 2.0, f"the program took {took:.1f} s to end: it waited for the report")
    with open(log, errors="replace") as f:
        output = f.read()
    check("FaultTrace" not in output, "a crash was reported:\n" + output[-2000:])
    # The report's thread was stopped before the libraries it uses went away.
    check("usage report stopped at exit" in output, "the report was left running at exit:\n" + output[-2000:])
    for name in ("FaultTrace.DMP", "FaultTrace.txt"):
        check(not os.path.exists(os.path.join(work, name)), f"a crash left {name}")


if __name__ == "__main__":
    main(test)
