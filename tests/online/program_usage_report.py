#!/usr/bin/python3
"""The real program sends its daily usage report at start-up.

Starts the statistics endpoint of test_server.py on 127.0.0.1, then the
program (offscreen, with its own user-data and runtime folders) pointed at it,
waits for the report, stops the program and checks the report and the marker.
The program runs from a copy whose file name is not UTF-8, with a channel in
the settings file that is Latin-1 text: the server must read the same
characters.
Usage: program_usage_report.py <Scribbloom executable>
"""
import datetime
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import test_server  # noqa: E402


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def shared_keys():
    header = os.path.join(os.environ["SCRIBBLOOM_SOURCE_DIR"], "online", "BusinessKeys.h")
    with open(header) as f:
        text = f.read()
    key = re.search(r'dataKey\[\] = "([0-9A-F]{32})"', text).group(1)
    iv = re.search(r'dataIv\[\] = "([0-9A-F]{16})"', text).group(1)
    return key, iv


def channel_keys():
    header = os.path.join(os.environ["SCRIBBLOOM_SOURCE_DIR"], "online", "BusinessKeys.h")
    with open(header) as f:
        text = f.read()
    key = re.search(r'channelKey\[\] = "([0-9A-F]{32})"', text).group(1)
    iv = re.search(r'channelIv\[\] = "([0-9A-F]{16})"', text).group(1)
    return key, iv


def encrypted_channel(raw):
    """The "Spreader" value for a channel of raw bytes, as the distributor writes it."""
    key, iv = channel_keys()
    result = subprocess.run(["openssl", "enc", "-aes-256-cbc", "-a", "-A",
                             "-K", key.encode().hex(), "-iv", iv.encode().hex()],
                            input=raw, capture_output=True, check=True)
    return result.stdout.decode("ascii").strip()


def main():
    work = tempfile.mkdtemp(prefix="scribbloom-report-")
    try:
        check_report(sys.argv[1], work)
    finally:
        shutil.rmtree(work, ignore_errors=True)


def check_report(program, work):
    key, iv = shared_keys()
    _, https_port, _, ca = test_server.start_servers(work, key, iv)

    data_home = os.path.join(work, "data")
    runtime = os.path.join(work, "run")
    os.makedirs(data_home)
    os.makedirs(runtime, mode=0o700)
    # A channel of Latin-1 text ("café-ü"), and a program file named in Latin-1.
    os.makedirs(os.path.join(data_home, "ScribbloomUser"))
    with open(os.path.join(data_home, "ScribbloomUser", "ScribbloomUser.ini"), "w") as f:
        f.write("[Globals]\nSpreader=%s\n" % encrypted_channel(b"caf\xe9-\xfc"))
    odd_name = os.path.join(os.fsencode(work), b"Scribbloom-\xe9")
    shutil.copy(program, odd_name)
    env = dict(os.environ)
    env.pop("DO_NOT_TRACK", None)
    env.update({
        "QT_QPA_PLATFORM": "offscreen",
        "XDG_DATA_HOME": data_home,
        "XDG_RUNTIME_DIR": runtime,
        "SCRIBBLOOM_STATS_HOST": "127.0.0.1:%d" % https_port,
        "SCRIBBLOOM_CA_FILE": ca,
        # The copy finds the crash-report library where the build put it.
        "LD_LIBRARY_PATH": os.path.dirname(os.path.abspath(program)),
    })
    reports_file = os.path.join(work, "reports.jsonl")
    program_process = subprocess.Popen([odd_name], cwd=work, env=env)
    try:
        # A guard against a hang, not a speed check.
        deadline = time.monotonic() + 90
        while not os.path.exists(reports_file):
            if program_process.poll() is not None:
                fail("the program ended (status %d) before reporting" % program_process.returncode)
            if time.monotonic() > deadline:
                fail("no report arrived")
            time.sleep(0.1)
    finally:
        if program_process.poll() is None:
            program_process.terminate()
            try:
                program_process.wait(10)
            except subprocess.TimeoutExpired:
                program_process.kill()
                program_process.wait()

    with open(reports_file) as f:
        reports = [json.loads(line) for line in f if line.strip()]
    if len(reports) != 1:
        fail("expected one report, got %d" % len(reports))
    report = reports[0]
    if not report["sign_ok"]:
        fail("the signature does not match")
    if report["json"] is None:
        fail("the endpoint could not decrypt the data")
    values = json.loads(report["json"])
    expected = {"exe": "Scribbloom-\u00e9", "qid": "caf\u00e9-\u00fc", "softid": "vexo",
                "softver": "1.1.6.1429", "online": "1", "servertype": "6"}
    for name, value in expected.items():
        if values.get(name) != value:
            fail("%s is %r, expected %r" % (name, values.get(name), value))

    settings = os.path.join(data_home, "ScribbloomUser", "ScribbloomUser.ini")
    with open(settings) as f:
        text = f.read()
    today = datetime.datetime.now(datetime.timezone.utc).day
    if not re.search(r"\[assist\][^\[]*upload=%d\b" % today, text):
        fail("the marker of today is missing: %r" % text)
    print("PASS: the program reported once, signed and decryptable, and marked the day")


if __name__ == "__main__":
    main()
