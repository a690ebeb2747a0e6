#!/usr/bin/python3
"""Crashes CrashProgram in a scratch folder and checks what FaultTrace left:
the minidump (walked by Breakpad's minidump_stackwalk), the text report, the
archive (checked by unzip and Python's zipfile), the FTP upload to a real
server on 127.0.0.1, and the post-mortem program's start.

    crash_test.py CASE     (see CASES below)

Needs SCRIBBLOOM_BIN_DIR (CrashProgram, TruncatedLibrary) and MINIDUMP_TOOLS
(the folder holding minidump_stackwalk and dump_syms).
"""

import http.server
import logging
import os
import resource
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import zipfile

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer

PUBLIC_ADDRESS = "203.0.113.7"
FTP_USER = "crash"
FTP_PASSWORD = "s3cret"
# A hang guard, not a speed check: a crash that is not over by then is stuck.
CRASH_BOUND_SECONDS = 30

# case: (scenario, signal, frame the crashing thread must reach, options)
CASES = {
    "null": ("null", signal.SIGSEGV, "main", {}),
    "abort": ("abort", signal.SIGABRT, "main", {}),
    "overflow": ("overflow", signal.SIGSEGV, "main", {}),
    "thread": ("thread", signal.SIGSEGV, "workerMain", {"other_thread_reaches": "main"}),
    "malloc": ("malloc", signal.SIGABRT, "main", {}),
    "second-fault": ("twice", signal.SIGILL, "main", {}),
    "truncated-library": ("truncated", signal.SIGBUS, None, {"truncated": True}),
    "end-still-reports": ("end-then-null", signal.SIGSEGV, "main", {}),
    "end-gives-back-previous": ("previous-then-end", signal.SIGSEGV, None, {"no_report": True}),
    "server-down": ("null", signal.SIGSEGV, "main", {"ftp": "down"}),
    "wrong-password": ("null", signal.SIGSEGV, "main", {"ftp": "wrong-password"}),
    "postmortem-missing": ("null", signal.SIGSEGV, "main", {"postmortem": False}),
    "no-config": ("null", signal.SIGSEGV, "main", {"config": False}),
    "sections-off": ("null", signal.SIGSEGV, "main", {"sections": "FALSE"}),
    "system-off": ("abort", signal.SIGABRT, "main", {"sections": "system-off"}),
    "helper-missing": ("null", signal.SIGSEGV, "main", {"helper": False}),
    "address-service-silent": ("null", signal.SIGSEGV, "main", {"address": "silent"}),
    "ftp-server-silent": ("null", signal.SIGSEGV, "main", {"ftp": "silent"}),
    "version-with-slashes": ("null", signal.SIGSEGV, "main", {"version": "1.1/../../escaped"}),
}

SECTION_TITLES = ["[System Info]", "[CPU(REGISTER) Info]", "[Stack Info]", "[Module Info]"]

POSTMORTEM_SCRIPT = """#!/bin/sh
# Records how the crash reporter started it and what it found.
{
  pwd
  printf '%s\\n' "$#" "$@"
  [ -f FaultTrace.txt ] && echo txt
  [ -f FaultTrace.DMP ] && echo dmp
} > "$(dirname "$0")/postmortem.log"
"""


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


class AddressService(http.server.BaseHTTPRequestHandler):
    requests = []

    def do_GET(self):
        AddressService.requests.append((self.requestline, dict(self.headers)))
        body = ("<p>%s</p>" % PUBLIC_ADDRESS).encode()
        self.send_response(200)
        self.send_header("Content-Type", "text/html")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


def start_address_service():
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), AddressService)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def start_ftp_server(root):
    logging.getLogger("pyftpdlib").setLevel(logging.WARNING)
    authorizer = DummyAuthorizer()
    authorizer.add_user(FTP_USER, FTP_PASSWORD, root, perm="elradfmw")
    handler = type("Handler", (FTPHandler,), {"authorizer": authorizer, "banner": "test server"})
    server = FTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, kwargs={"timeout": 0.2}, daemon=True).start()
    return server


class SilentServer:
    """Accepts connections and never says a word."""

    def __init__(self):
        import socket
        self.sock = socket.socket()
        self.sock.bind(("127.0.0.1", 0))
        self.sock.listen(8)
        self.port = self.sock.getsockname()[1]
        self.held = []
        threading.Thread(target=self._accept, daemon=True).start()

    def _accept(self):
        try:
            while True:
                self.held.append(self.sock.accept()[0])
        except OSError:
            pass

    def close(self):
        self.sock.close()
        for conn in self.held:
            conn.close()


def limit_stack():
    # The overflow case needs a stack that ends; an unlimited one would eat memory first.
    soft, hard = resource.getrlimit(resource.RLIMIT_STACK)
    wanted = 8 << 20
    if hard != resource.RLIM_INFINITY and hard < wanted:
        wanted = hard
    resource.setrlimit(resource.RLIMIT_STACK, (wanted, hard))


def closed_port():
    import socket
    s = socket.socket()
    s.bind(("127.0.0.1", 0))
    port = s.getsockname()[1]
    s.close()
    return port


def write_config(path, ftp_port, password, address_port, sections, checked_file):
    flags = {key: "TRUE" for key in ("CreateDmp", "DumpSys", "DumpCpu", "DumpSta", "DumpMod")}
    if sections == "FALSE":
        flags.update({key: "false" for key in ("DumpSys", "DumpCpu", "DumpSta", "DumpMod")})
        flags["CreateDmp"] = "true"
    elif sections == "system-off":
        flags["DumpSys"] = "FALSE"
    lines = [
        "; crash test configuration",
        "[ServInfo]",
        "ServAddr = 127.0.0.1",
        "ServPort = %d" % ftp_port,
        "ServPath = incoming",
        "FtpUser = %s" % FTP_USER,
        "FtpPass = %s" % password,
        "IpServ = 127.0.0.1:%d" % address_port,
        "[DumpInfo]",
    ] + ["%s = %s" % item for item in flags.items()]
    if checked_file:
        lines += ["[SysInfo]", "CheckFile = %s" % checked_file]
    with open(path, "w") as f:
        f.write("\n".join(lines) + "\n")


def stack_frames(tools, binaries, dump, scratch):
    """Function names of the crashing thread and of the others, as minidump_stackwalk walks them."""
    symbols = os.path.join(scratch, "symbols")
    for binary in binaries:
        out = subprocess.run([os.path.join(tools, "dump_syms"), binary], capture_output=True, timeout=120)
        check(out.returncode == 0, "dump_syms %s failed: %s" % (binary, out.stderr.decode(errors="replace")))
        module_line = out.stdout.split(b"\n", 1)[0].decode().split()
        name, debug_id = module_line[4], module_line[3]
        folder = os.path.join(symbols, name, debug_id)
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, name + ".sym"), "wb") as f:
            f.write(out.stdout)
    dump_check = subprocess.run([os.path.join(tools, "minidump_dump"), dump], capture_output=True, timeout=120)
    check(dump_check.returncode == 0, "minidump_dump rejects the dump: %s" % dump_check.stderr.decode()[-1500:])
    walk = subprocess.run([os.path.join(tools, "minidump_stackwalk"), "-m", dump, symbols],
                          capture_output=True, timeout=120)
    check(walk.returncode == 0, "minidump_stackwalk failed: %s" % walk.stderr.decode(errors="replace")[-2000:])
    crashed = None
    threads = {}
    for line in walk.stdout.decode(errors="replace").splitlines():
        parts = line.split("|")
        if parts[0] == "Crash" and len(parts) >= 4:
            crashed = parts[3]
        elif crashed is not None and len(parts) >= 7 and parts[0].isdigit():
            threads.setdefault(parts[0], []).append(parts[3])
    frames = threads.pop(crashed, [])
    check(frames, "minidump_stackwalk found no frames:\n" + walk.stdout.decode(errors="replace")[:3000])
    return frames, list(threads.values())


def test_archive(path):
    """Both real ZIP readers accept it; entries in order, deflated."""
    for command in (["unzip", "-t", path], ["/usr/bin/python3", "-m", "zipfile", "-t", path]):
        result = subprocess.run(command, capture_output=True, timeout=60)
        check(result.returncode == 0, "%s rejects the archive: %s" % (command[0], result.stdout.decode()))
    with zipfile.ZipFile(path) as archive:
        infos = archive.infolist()
        names = [i.filename for i in infos]
        check(names == ["FaultTrace.txt", "FaultTrace.DMP"], "archive entries %s" % names)
        check(all(i.compress_type == zipfile.ZIP_DEFLATED for i in infos), "entries are not deflated")
        check(all(i.date_time[0] >= 2020 for i in infos), "entries carry no file time: %r" % (infos[0].date_time,))
        return archive.read("FaultTrace.txt")


def run_case(case, scratch):
    scenario, expected_signal, frame, options = CASES[case]
    bin_dir = os.environ["SCRIBBLOOM_BIN_DIR"]
    tools = os.environ.get("MINIDUMP_TOOLS", "")
    check(os.path.isfile(os.path.join(tools, "minidump_stackwalk")),
          "Breakpad's reader tools are missing in '%s': run scripts/setup.d/minidump-tools.sh BUILD_DIR" % tools)

    # The program's own folder holds the dump folder and "Postmortem", so each
    # case gets a copy of the program in a folder of its own.
    exe_dir = os.path.join(scratch, "app")
    work_dir = os.path.join(scratch, "work")
    ftp_root = os.path.join(scratch, "ftp")
    for d in (exe_dir, work_dir, os.path.join(ftp_root, "incoming")):
        os.makedirs(d)
    program = os.path.join(exe_dir, "CrashProgram")
    shutil.copy2(os.path.join(bin_dir, "CrashProgram"), program)
    if options.get("postmortem", True):
        with open(os.path.join(exe_dir, "Postmortem"), "w") as f:
            f.write(POSTMORTEM_SCRIPT)
        os.chmod(os.path.join(exe_dir, "Postmortem"), 0o755)

    env = dict(os.environ)
    if not options.get("helper", True):
        # This library copy has no helper beside it.
        shutil.copy2(os.path.join(bin_dir, "libFaultTrace.so"), exe_dir)
        env["LD_LIBRARY_PATH"] = exe_dir
    # The checked file's version comes from its name.
    checked_file = os.path.join(scratch, "libclient.so.2.5.1")
    open(checked_file, "w").close()

    address = start_address_service()
    ftp = start_ftp_server(ftp_root)
    silent = SilentServer()
    try:
        ftp_mode = options.get("ftp", "ok")
        ftp_port = {"down": closed_port(), "silent": silent.port}.get(ftp_mode, ftp.address[1])
        password = "wrong" if ftp_mode == "wrong-password" else FTP_PASSWORD
        address_port = silent.port if options.get("address") == "silent" else address.server_address[1]
        args = [program, scenario]
        if "version" in options:
            env["CRASH_PROGRAM_VERSION"] = options["version"]
        env["FAULTTRACE_IPSERV"] = "127.0.0.1:%d" % address_port
        if options.get("config", True):
            config = os.path.join(scratch, "faulttrace.ini")
            write_config(config, ftp_port, password, address_port, options.get("sections"),
                         checked_file if case == "null" else None)
            args.append(config)
        if options.get("truncated"):
            library = os.path.join(scratch, "libTruncated.so")
            shutil.copy2(os.path.join(bin_dir, "libTruncatedLibrary.so"), library)
            args += ["-", library] if len(args) == 2 else [library]
        result = subprocess.run(args, cwd=work_dir, env=env, capture_output=True, timeout=CRASH_BOUND_SECONDS,
                                preexec_fn=limit_stack)
    finally:
        ftp.close_all()
        address.shutdown()
        silent.close()

    output = (result.stdout + result.stderr).decode(errors="replace")
    check(result.returncode == -expected_signal,
          "ended with %s instead of signal %d\n%s" % (result.returncode, expected_signal, output))

    report_path = os.path.join(work_dir, "FaultTrace.txt")
    dump_path = os.path.join(work_dir, "FaultTrace.DMP")
    dump_dir = os.path.join(exe_dir, "dump")

    if options.get("no_report"):
        check(os.path.exists(os.path.join(work_dir, "previous-handler.log")), "the previous handler did not run")
        check(not os.path.exists(report_path) and not os.path.exists(dump_dir), "a report was written anyway")
        return

    # The post-mortem program: started with "-dump" in the current directory,
    # or, when missing, the report and dump are gone.
    if options.get("postmortem", True):
        log_path = os.path.join(exe_dir, "postmortem.log")
        waited = 0
        while not os.path.exists(log_path) and waited < 100:
            threading.Event().wait(0.1)
            waited += 1
        check(os.path.exists(log_path), "Postmortem was not started")
        log = open(log_path).read().split("\n")
        check(log[0] == work_dir and log[1:3] == ["1", "-dump"], "Postmortem started as %r" % log)
        check("txt" in log and "dmp" in log, "Postmortem did not find the report and dump: %r" % log)
    else:
        check(not os.path.exists(report_path) and not os.path.exists(dump_path),
              "FaultTrace.txt/DMP left behind although Postmortem could not start")

    # The archive: uploaded and removed locally, or kept when the upload failed.
    archives = os.listdir(dump_dir) if os.path.isdir(dump_dir) else []
    uploaded = os.listdir(os.path.join(ftp_root, "incoming"))
    if not options.get("helper", True):
        # No helper, no archive; the post-mortem program is still started.
        check(not archives and not uploaded, "archive without a helper: %s %s" % (archives, uploaded))
        check(os.path.getsize(dump_path) > 0 and os.path.getsize(report_path) > 0, "report or dump missing")
        return
    upload_expected = options.get("config", True) and options.get("ftp", "ok") == "ok"
    if upload_expected:
        check(len(uploaded) == 1 and not archives, "upload: server has %s, dump folder %s" % (uploaded, archives))
        archive_path = os.path.join(ftp_root, "incoming", uploaded[0])
    else:
        check(len(archives) == 1 and not uploaded, "kept: server has %s, dump folder %s" % (uploaded, archives))
        archive_path = os.path.join(dump_dir, archives[0])
    name = os.path.basename(archive_path)
    version = options.get("version", "1.1.6.1429").replace("/", "_")
    check(name.startswith(version + "_FaultTrace[-") and name.endswith("].zip") and len(name) == len(
        version + "_FaultTrace[-20260101000000].zip"), "archive name %s" % name)
    check(not [f for f in os.listdir(scratch) if f.endswith(".zip")], "an archive escaped the dump folder")
    report = test_archive(archive_path).decode(errors="replace")

    if options.get("postmortem", True):
        check(open(report_path, "rb").read().decode(errors="replace") == report,
              "the archived report differs from FaultTrace.txt")

    sections = options.get("sections")
    if sections == "FALSE":
        check(report == "", "report with all sections off is not empty: %r" % report[:200])
    else:
        wanted = SECTION_TITLES[1:] if sections == "system-off" else SECTION_TITLES
        present = [t for t in SECTION_TITLES if t + "\r\n" in report]
        check(present == wanted, "sections %s, expected %s" % (present, wanted))
        if options.get("address") == "silent":
            check("Net IP:" not in report, "an address from a silent service")
        elif sections != "system-off":
            check("Net IP: %s\r\n" % PUBLIC_ADDRESS in report, "no public address in:\n" + report[:600])
            check(AddressService.requests and AddressService.requests[0][0] == "GET /getip.php?action=getip HTTP/1.0",
                  "address request %r" % AddressService.requests[:1])
            headers = AddressService.requests[0][1]
            check(headers.get("User-Agent") == "FaultTrace"
                  and headers.get("Content-Type") == "application/x-www-form-urlencoded",
                  "address request headers %r" % headers)
        if sections != "system-off":
            client = "Client: 2.5.1\r\n" in report
            check(client == (case == "null"), "Client line %s" % ("missing" if case == "null" else "unexpected"))
        check("RIP = 0X" in report and "RSP = 0X" in report, "no registers in the report")
        if frame:
            check("  CrashProgram  %s\r\n" % frame in report or "  CrashProgram  %s(" % frame in report
                  or ("  CrashProgram  (anonymous namespace)::%s()" % frame) in report,
                  "no %s frame in the report's stack:\n%s" % (frame, report[report.find("[Stack Info]"):][:1500]))
        check("/CrashProgram\r\n" in report, "the program is not in the module list")

    if options.get("postmortem", True) and frame:
        binaries = [program]
        if "other_thread_reaches" in options:
            # Unwind information for the libraries the waiting thread sits in.
            binaries += [line.split("] ", 1)[1].split(" (")[0] for line in report.split("\r\n")
                         if "/libc.so" in line or "/libstdc++.so" in line]
        functions, others = stack_frames(tools, binaries, dump_path, scratch)
        check(any(f == frame or f.endswith("::" + frame) for f in functions),
              "the minidump does not walk to %s: %s" % (frame, functions[:40]))
        if "other_thread_reaches" in options:
            # The threads that did not crash are in the dump too, stopped where they were.
            wanted = options["other_thread_reaches"]
            check(any(wanted in thread for thread in others), "no other thread reaches %s: %s" % (wanted, others))
    if options.get("truncated"):
        # The faulting code is in no readable module; the walk still reaches the program.
        stack = report[report.find("[Stack Info]"):report.find("[Module Info]")]
        check("]  UnkownModule  " in stack and "  CrashProgram  " in stack, "stack:\n" + stack)
        check(os.path.getsize(dump_path) > 0, "no minidump")


def main():
    if len(sys.argv) != 2 or sys.argv[1] not in CASES:
        print("usage: crash_test.py CASE\ncases: " + " ".join(CASES), file=sys.stderr)
        return 2
    scratch = tempfile.mkdtemp(prefix="faulttrace-")
    try:
        run_case(sys.argv[1], scratch)
    except Failure as failure:
        print("FAIL %s: %s\n(files kept in %s)" % (sys.argv[1], failure, scratch), file=sys.stderr)
        return 1
    shutil.rmtree(scratch, ignore_errors=True)
    print("PASS %s" % sys.argv[1])
    return 0


if __name__ == "__main__":
    sys.exit(main())
