#!/usr/bin/python3
"""Crashes CrashProgram in a scratch folder and checks what FaultTrace left:
the minidump (walked by Breakpad's minidump_stackwalk), the text report, the
archive (checked by unzip and Python's zipfile), the FTP upload to a real
server on 127.0.0.1, and the post-mortem program's start.

    crash_test.py CASE     (see CASES below)

Needs SCRIBBLOOM_BIN_DIR (CrashProgram, TruncatedLibrary) and MINIDUMP_TOOLS
(the folder holding minidump_stackwalk and dump_syms).
"""

import datetime
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
import time
import zipfile

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer

PUBLIC_ADDRESS = "203.0.113.7"
FTP_USER = "crash"
FTP_PASSWORD = "s3cret"
# The handling's own bound: by then the process has ended with its signal,
# whatever its helper is doing. A few seconds more for a loaded machine.
CRASH_BOUND_SECONDS = 30
BOUND_SLACK_SECONDS = 5

# The allocator's frames of glibc 2.36, by name, between abort and the
# program's own function (the static ones named from libc6-dbg's symbols).
ABORT = ["abort", "__libc_message", "malloc_printerr"]
IN_FREE = ABORT + ["_int_free", "free|cfree|__libc_free"]
IN_MALLOC = ABORT + ["_int_malloc", "malloc|__libc_malloc"]

# case: (scenario, signal, frame the crashing thread must reach, options)
CASES = {
    "null": ("null", signal.SIGSEGV, "main", {}),
    "abort": ("abort", signal.SIGABRT, "main", {}),
    "overflow": ("overflow", signal.SIGSEGV, "main", {}),
    "thread": ("thread", signal.SIGSEGV, "workerMain", {"other_thread_reaches": "main"}),
    "malloc": ("malloc", signal.SIGABRT, "main",
               {"stack": IN_MALLOC + ["crashByHeapOverrun", "main"], "repeat": 20}),
    "double-free": ("double-free", signal.SIGABRT, "main",
                    {"stack": IN_FREE + ["crashByDoubleFree", "main"], "repeat": 20}),
    "heap-overrun": ("heap-overrun", signal.SIGABRT, "main",
                     {"stack": IN_MALLOC + ["crashByHeapOverrun", "crashByHeapOverrunWhileAnotherThreadAllocates",
                                            "main"], "repeat": 20}),
    "trap": ("trap", signal.SIGTRAP, "main", {"stack": ["crashByBreakpoint", "main"]}),
    # The walk stops after its first 1024 frames, deep inside the recursion;
    # the dump shows the main thread waiting while a worker crashed.
    "pool-overflow": ("pool-overflow", signal.SIGSEGV, "overflowThreadStack",
                      {"other_thread_reaches": "overflowOnPoolWorker"}),
    "zone-changed": ("null", signal.SIGSEGV, "main", {"zone": "UTC-5"}),
    "helper-crashes": ("null", signal.SIGSEGV, None, {"helper": "crashes"}),
    "helper-hangs": ("null", signal.SIGSEGV, None, {"helper": "hangs"}),
    "helper-fails": ("null", signal.SIGSEGV, None, {"helper": "fails", "postmortem": False}),
    # The dump file is a pipe nobody reads: opening it never returns, and
    # only the handling's own bound ends the process.
    "handling-stuck": ("null", signal.SIGSEGV, None, {"stuck_dump": True}),
    "second-fault": ("twice", signal.SIGILL, "main", {}),
    "truncated-library": ("truncated", signal.SIGBUS, None, {"truncated": True}),
    "end-still-reports": ("end-then-null", signal.SIGSEGV, "main", {}),
    "end-gives-back-previous": ("previous-then-end", signal.SIGSEGV, None, {"no_report": True}),
    "server-down": ("null", signal.SIGSEGV, "main", {"ftp": "down"}),
    # The program's folder takes no "dump" folder (an installed program):
    # the archive is kept in the user's state folder instead.
    "dump-folder-blocked": ("null", signal.SIGSEGV, "main", {"ftp": "down", "dump_blocked": True}),
    "wrong-password": ("null", signal.SIGSEGV, "main", {"ftp": "wrong-password"}),
    "postmortem-missing": ("null", signal.SIGSEGV, "main", {"postmortem": False}),
    "no-config": ("null", signal.SIGSEGV, "main", {"config": False}),
    "sections-off": ("null", signal.SIGSEGV, "main", {"sections": "FALSE"}),
    "system-off": ("abort", signal.SIGABRT, "main", {"sections": "system-off"}),
    "helper-missing": ("null", signal.SIGSEGV, None, {"helper": "missing"}),
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


# Stands in for the helper: the address lookup goes to the real one, the
# packing step crashes, hangs or fails as the case says.
FAKE_HELPER_SCRIPT = """#!/bin/sh
if [ "$1" = package ]; then
  %s
fi
exec "%s" "$@"
"""
FAKE_HELPER_STEPS = {"crashes": "kill -SEGV $$", "hangs": "exec sleep 600", "fails": "exit 127"}


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


def stack_functions(report):
    """The function field of every line of the report's stack section."""
    stack = report[report.find("[Stack Info]\r\n"):]
    lines = stack.split("\r\n")[2:]
    functions = []
    for line in lines:
        if not line:
            break
        functions.append(line.split("  ", 2)[2] if line.count("  ") >= 2 else "")
    return functions


def plain_name(function):
    """"(anonymous namespace)::crashByDoubleFree()" -> "crashByDoubleFree"; template and argument lists go."""
    name = function.replace("(anonymous namespace)::", "")
    if name.endswith(")") and "(" in name:
        depth = 0
        for i in range(len(name) - 1, -1, -1):
            depth += {")": 1, "(": -1}.get(name[i], 0)
            if depth == 0:
                name = name[:i]
                break
    return name


def check_stack_walk(report, wanted):
    """The stack section names the wanted functions in this order (each "a|b" is one of them)."""
    functions = stack_functions(report)
    names = [plain_name(f) for f in functions]
    at = 0
    for want in wanted:
        choices = want.split("|")
        while at < len(names) and names[at] not in choices:
            at += 1
        check(at < len(names), "the stack does not walk by name to %s after the earlier frames:\n%s"
              % (want, "\n".join(functions[:60])))
        at += 1


def check_time_stamp(name, started, ended, zone_hours):
    """The archive's time stamp is the local time of the crash, in the zone in force then."""
    stamp = name[name.rfind("-") + 1:name.rfind("]")]
    when = datetime.datetime.strptime(stamp, "%Y%m%d%H%M%S")

    def local(t):
        if zone_hours is None:
            return datetime.datetime.fromtimestamp(t)
        return datetime.datetime.utcfromtimestamp(t) + datetime.timedelta(hours=zone_hours)
    check(local(started - 2) <= when <= local(ended + 2),
          "archive time stamp %s, the crash was at %s" % (stamp, local(started).strftime("%Y%m%d%H%M%S")))


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
    helper = options.get("helper", "real")
    # The program copy looks for the library beside itself first; the built
    # library, with the real helper beside it, is named explicitly.
    env["LD_LIBRARY_PATH"] = bin_dir
    if helper != "real":
        # This library copy has no helper beside it, or one that fails.
        shutil.copy2(os.path.join(bin_dir, "libFaultTrace.so"), exe_dir)
        env["LD_LIBRARY_PATH"] = exe_dir
        if helper in FAKE_HELPER_STEPS:
            fake = os.path.join(exe_dir, "FaultTraceHelper")
            with open(fake, "w") as f:
                f.write(FAKE_HELPER_SCRIPT % (FAKE_HELPER_STEPS[helper], os.path.join(bin_dir, "FaultTraceHelper")))
            os.chmod(fake, 0o755)
    if "zone" in options:
        env["CRASH_PROGRAM_ZONE_AFTER_START"] = options["zone"]
    if options.get("stuck_dump"):
        os.mkfifo(os.path.join(work_dir, "FaultTrace.DMP"))
    env["XDG_STATE_HOME"] = os.path.join(scratch, "state")
    if options.get("dump_blocked"):
        open(os.path.join(exe_dir, "dump"), "w").close()
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
        started = time.time()
        result = subprocess.run(args, cwd=work_dir, env=env, capture_output=True,
                                timeout=CRASH_BOUND_SECONDS + 4 * BOUND_SLACK_SECONDS, preexec_fn=limit_stack)
        ended = time.time()
    finally:
        ftp.close_all()
        address.shutdown()
        silent.close()

    output = (result.stdout + result.stderr).decode(errors="replace")
    check(result.returncode == -expected_signal,
          "ended with %s instead of signal %d\n%s" % (result.returncode, expected_signal, output))
    check(ended - started <= CRASH_BOUND_SECONDS + BOUND_SLACK_SECONDS,
          "the crash took %.1f s, beyond its bound" % (ended - started))

    report_path = os.path.join(work_dir, "FaultTrace.txt")
    dump_path = os.path.join(work_dir, "FaultTrace.DMP")
    dump_dir = os.path.join(exe_dir, "dump")
    if options.get("dump_blocked"):
        dump_dir = os.path.join(scratch, "state", "CrashProgram", "dump")

    if options.get("stuck_dump"):
        check(ended - started >= CRASH_BOUND_SECONDS - BOUND_SLACK_SECONDS,
              "the handling ended after %.1f s although its dump file never opened" % (ended - started))
        return

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
    if helper != "real":
        # No helper that packs, no archive; the post-mortem program is still
        # started, and the report keeps the stack the handler found itself:
        # return addresses on the stack, without names.
        check(not archives and not uploaded, "archive without a helper: %s %s" % (archives, uploaded))
        if options.get("postmortem", True):
            check(os.path.getsize(dump_path) > 0 and os.path.getsize(report_path) > 0, "report or dump missing")
            report = open(report_path, "rb").read().decode(errors="replace")
            stack = report[report.find("[Stack Info]"):report.find("[Module Info]")]
            check(stack.count("  CrashProgram  \r\n") >= 2, "no fallback stack in the report:\n" + stack[:1500])
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
    check_time_stamp(name, started, ended, 5 if options.get("zone") == "UTC-5" else None)
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
            check_stack_walk(report, [frame])
        if "stack" in options:
            check_stack_walk(report, options["stack"])
        check("/CrashProgram\r\n" in report, "the program is not in the module list")

    if options.get("postmortem", True) and frame:
        binaries = [program]
        if "other_thread_reaches" in options:
            # Unwind information for the libraries the waiting thread sits in.
            binaries += [line.split("] ", 1)[1].split(" (")[0] for line in report.split("\r\n")
                         if "/libc.so" in line or "/libstdc++.so" in line]
        functions, others = stack_frames(tools, binaries, dump_path, scratch)
        check(any(f == frame or f.endswith("::" + frame) or plain_name(f) == frame for f in functions),
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
    # A crash the reporter must survive every time is run again and again:
    # one failure in the runs fails the case.
    runs = CASES[sys.argv[1]][3].get("repeat", 1)
    for run in range(1, runs + 1):
        scratch = tempfile.mkdtemp(prefix="faulttrace-")
        try:
            run_case(sys.argv[1], scratch)
        except Failure as failure:
            print("FAIL %s (run %d of %d): %s\n(files kept in %s)" % (sys.argv[1], run, runs, failure, scratch),
                  file=sys.stderr)
            return 1
        shutil.rmtree(scratch, ignore_errors=True)
    print("PASS %s (%d of %d runs)" % (sys.argv[1], runs, runs))
    return 0


if __name__ == "__main__":
    sys.exit(main())
