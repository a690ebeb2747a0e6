#!/usr/bin/python3
"""Crashes the Windows build's CrashProgram.exe under Wine and checks what
FaultTrace.dll left: the minidump (walked by Breakpad's minidump_stackwalk),
the text report, the archive (checked by unzip and Python's zipfile), its FTP
upload to a real server on 127.0.0.1, and the post-mortem program's start.

    windows_crash_test.py prepare    build the Windows tree, make a fresh Wine prefix
    windows_crash_test.py CASE       one crash (see CASES below)
    windows_crash_test.py units      the unit tests of the Windows side (WindowsUnitTests.exe)
    windows_crash_test.py cleanup    end the prefix's Wine server, remove the prefix

The CTest fixture runs prepare once before the cases and cleanup after them.
Needs WINDOWS_BUILD_DIR (the mingw-w64 build), WINEPREFIX (the prefix, under
the Linux build tree), MINIDUMP_TOOLS (minidump_stackwalk), MINGW_NM and
MINGW_OBJDUMP (mingw-w64's nm and objdump, which name the program's functions
in the walked dump) and SCRIBBLOOM_SOURCE_DIR.
"""

import os
import re
import shutil
import subprocess
import sys
import time
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from crash_test import (FTP_PASSWORD, PUBLIC_ADDRESS, SECTION_TITLES, AddressService, Failure,  # noqa: E402
                        check, check_stack_walk, check_time_stamp, closed_port, plain_name,
                        start_address_service, start_ftp_server, stack_functions, test_archive, write_config)

# case: (scenario, what Breakpad calls the exception, the crashing thread's
# functions from the fault outwards, options)
CASES = {
    "null": ("null", "EXCEPTION_ACCESS_VIOLATION_WRITE", ["crashByNullPointer", "wmain"], {}),
    "overflow": ("overflow", "EXCEPTION_STACK_OVERFLOW", ["overflowStack", "wmain"], {}),
    "thread": ("thread", "EXCEPTION_ACCESS_VIOLATION_WRITE", ["crashByNullPointer", "workerMain"],
               {"not_on_stack": "wmain", "other_thread_reaches": "wmain"}),
    "divide": ("divide", "EXCEPTION_INT_DIVIDE_BY_ZERO", ["crashByDivision", "wmain"], {}),
    "raise": ("raise", "0xe0464654", ["crashByRaise", "wmain"], {}),
    # No server and no post-mortem program: the archive stays in the dump
    # folder, and the report and the dump are removed from the current one.
    "server-down": ("null", "EXCEPTION_ACCESS_VIOLATION_WRITE", ["crashByNullPointer", "wmain"],
                    {"ftp": "down", "postmortem": False}),
}

VERSION = "1.1.6.1429"
# The crash handling's own bound is 30 s; Wine adds its start-up.
RUN_TIMEOUT = 60
WINE_ENVIRONMENT = {
    "WINEDEBUG": "-all",
    # No Mono or Gecko installer, no desktop menu entries, no debugger.
    "WINEDLLOVERRIDES": "mscoree,mshtml,winemenubuilder.exe,winedbg.exe=",
}
# "[地址][偏移] 进程 函数" in GBK, the stack section's header line.
STACK_HEADER = bytes.fromhex("5BB5D8D6B75D5BC6ABD2C65D20BDF8B3CC20BAAFCAFD0D0A")
FRAME_LINE = re.compile(r"^\[0X[0-9a-f]{8,16}\]\[0X[0-9a-f]{8,16}\]  \S+  .*$|^\[0X[0-9a-f]{8,16}\]  UnkownModule  .*$")
REGISTERS = ["RAX", "RBX", "RCX", "RDX", "RDI", "RSI", "RBP", "RSP", "R8 ", "R9 ", "R10", "R11", "R12", "R13",
             "R14", "R15", "RIP", "EFlags", "CS ", "DS ", "ES ", "FS ", "GS ", "SS "]


def wine_environment():
    env = dict(os.environ)
    env.update(WINE_ENVIRONMENT)
    env["WINEPREFIX"] = os.environ["WINEPREFIX"]
    # The Wine server's socket folder, inside the prefix the cleanup
    # removes, not in the shared temporary folder.
    env["TMPDIR"] = os.path.join(os.environ["WINEPREFIX"], "server-tmp")
    os.makedirs(env["TMPDIR"], exist_ok=True)
    # No window may appear, wherever the tests run.
    for name in ("DISPLAY", "WAYLAND_DISPLAY"):
        env.pop(name, None)
    return env


def windows_path(path):
    """The path as a program under Wine sees it: drive Z: is the root."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def prepare():
    build = os.environ["WINDOWS_BUILD_DIR"]
    script = os.path.join(os.environ["SCRIBBLOOM_SOURCE_DIR"], "scripts", "build-windows.sh")
    result = subprocess.run([script, build], capture_output=True, timeout=900)
    check(result.returncode == 0, "building %s failed:\n%s" % (build, (result.stdout + result.stderr).decode()[-3000:]))
    prefix = os.environ["WINEPREFIX"]
    shutil.rmtree(prefix, ignore_errors=True)
    os.makedirs(prefix)
    env = wine_environment()
    # The server stays up between the cases (starting one costs seconds),
    # and goes a minute after the last program, should cleanup never run.
    log_path = os.path.join(prefix, "wineboot.log")
    with open(log_path, "wb") as log:
        subprocess.run(["wineserver", "-p60"], env=env, stdout=log, stderr=subprocess.STDOUT, timeout=30, check=True)
        boot = subprocess.run(["wineboot", "-i"], env=env, stdout=log, stderr=subprocess.STDOUT, timeout=120)
    check(boot.returncode == 0, "wineboot failed: %s" % open(log_path, errors="replace").read()[-2000:])


def cleanup():
    prefix = os.environ["WINEPREFIX"]
    if os.path.isdir(prefix):
        env = wine_environment()
        subprocess.run(["wineserver", "-k"], env=env, timeout=30)
        subprocess.run(["wineserver", "-w"], env=env, timeout=30)
    shutil.rmtree(prefix, ignore_errors=True)


def run_units():
    program = os.path.join(os.environ["WINDOWS_BUILD_DIR"], "bin", "WindowsUnitTests.exe")
    log_path = os.path.abspath("windows-units.log")
    with open(log_path, "wb") as log:
        result = subprocess.run(["wine", windows_path(program)], env=wine_environment(), stdout=log,
                                stderr=subprocess.STDOUT, timeout=RUN_TIMEOUT)
    output = open(log_path, errors="replace").read()
    check(result.returncode == 0 and "PASS" in output, "WindowsUnitTests.exe:\n" + output)


def function_table(program):
    """Start addresses (relative to the image base) and names of the program's functions."""
    header = subprocess.run([os.environ["MINGW_OBJDUMP"], "-p", program],
                            capture_output=True, timeout=60, check=True).stdout.decode()
    base = int(re.search(r"^ImageBase\s+([0-9a-fA-F]+)", header, re.M).group(1), 16)
    out = subprocess.run([os.environ["MINGW_NM"], "-C", "--defined-only", program],
                         capture_output=True, timeout=60, check=True).stdout.decode()
    symbols = [line.split(" ", 2) for line in out.splitlines()]
    return sorted((int(s[0], 16) - base, plain_name(s[2])) for s in symbols if len(s) == 3 and s[1] in ("t", "T"))


def name_at(table, offset):
    name = None
    for start, function in table:
        if start > offset:
            break
        name = function
    return name


def walk_dump(dump, program, reason):
    """Function names of the crashing thread and of the others, the program's
    frames named from its symbol table (Breakpad reads no DWARF in a PE file)."""
    tools = os.environ.get("MINIDUMP_TOOLS", "")
    stackwalk = os.path.join(tools, "minidump_stackwalk")
    check(os.path.isfile(stackwalk),
          "Breakpad's reader tools are missing in '%s': run scripts/setup.d/minidump-tools.sh BUILD_DIR" % tools)
    walk = subprocess.run([stackwalk, "-m", dump], capture_output=True, timeout=120)
    check(walk.returncode == 0, "minidump_stackwalk failed: %s" % walk.stderr.decode(errors="replace")[-2000:])
    text = walk.stdout.decode(errors="replace")
    table = function_table(program)
    crashed = None
    threads = {}
    for line in text.splitlines():
        parts = line.split("|")
        if parts[0] == "Crash" and len(parts) >= 4:
            check(parts[1].split(" / ")[0] == reason, "the dump's exception is %s, not %s" % (parts[1], reason))
            crashed = parts[3]
        elif crashed is not None and len(parts) >= 7 and parts[0].isdigit():
            name = parts[2]
            if parts[2] == os.path.basename(program) and parts[6].startswith("0x"):
                # A caller's frame holds its return address: look just before it.
                offset = int(parts[6], 16) - (0 if parts[1] == "0" else 1)
                name = name_at(table, offset) or name
            threads.setdefault(parts[0], []).append(name)
    frames = threads.pop(crashed, [])
    check(frames, "minidump_stackwalk found no frames:\n" + text[:3000])
    return frames, list(threads.values())


def check_in_order(frames, wanted, what):
    at = 0
    for want in wanted:
        while at < len(frames) and frames[at] != want:
            at += 1
        check(at < len(frames), "%s does not reach %s in order %s:\n%s" % (what, want, wanted, frames[:40]))
        at += 1


def check_report(report_bytes, stack, options, app_dir):
    check(b"[Stack Info]\r\n" + STACK_HEADER in report_bytes, "the stack section's header bytes are wrong")
    report = report_bytes.decode("ascii", errors="replace")
    present = [t for t in SECTION_TITLES if t + "\r\n" in report]
    check(present == SECTION_TITLES, "sections %s" % present)
    check([report.find(t) for t in SECTION_TITLES] == sorted(report.find(t) for t in SECTION_TITLES),
          "sections out of order")

    system = report[report.find("[System Info]"):report.find("[CPU(REGISTER) Info]")]
    # A fresh prefix is Windows 7, which the description table predates.
    check("\r\nSYSTEM: Unknown System Version\r\n" in system, "system line:\n" + system)
    check(re.search(r"\r\nCPU:    [^\r\n]*\[[0-9.]+(E[+-][0-9]+)?\(GHz\)\]\r\n", system), "CPU line:\n" + system)
    check(re.search(r"\r\nMemory: Total PhysMemory\[[0-9]+\(MB\)\], Valid PhysMemory\[[0-9]+\(MB\)\]\r\n", system),
          "memory line:\n" + system)
    check("\r\nNet IP: %s\r\n" % PUBLIC_ADDRESS in system, "no public address in:\n" + system)
    check(AddressService.requests and AddressService.requests[0][0] == "GET /getip.php?action=getip HTTP/1.0",
          "address request %r" % AddressService.requests[:1])
    headers = AddressService.requests[0][1]
    check(headers.get("User-Agent") == "FaultTrace" and headers.get("Content-Type") == "application/x-www-form-urlencoded",
          "address request headers %r" % headers)
    check("\r\nClient: %s\r\n" % VERSION in system, "no client version (FaultTrace.dll's) in:\n" + system)

    cpu = report[report.find("[CPU(REGISTER) Info]"):report.find("[Stack Info]")]
    lines = cpu.split("\r\n")[1:13]
    for i, line in enumerate(lines):
        digits = 8 if i >= 9 else 16
        pattern = r"^%s = 0X[0-9a-f]{%d} , %s = 0X[0-9a-f]{%d}$" % (
            re.escape(REGISTERS[2 * i]), digits, re.escape(REGISTERS[2 * i + 1]), digits)
        check(re.match(pattern, line), "register line %r" % line)

    section = report[report.find("[Stack Info]"):report.find("[Module Info]")]
    # After the title and the header line.
    frame_lines = section.split("\r\n")[2:]
    frame_lines = frame_lines[:frame_lines.index("")] if "" in frame_lines else frame_lines
    check(frame_lines, "no frames in the stack section")
    for line in frame_lines:
        check(FRAME_LINE.match(line), "frame line %r" % line)
    check_stack_walk(report, stack)
    functions = [plain_name(f) for f in stack_functions(report)]
    if "not_on_stack" in options:
        check(options["not_on_stack"] not in functions,
              "%s is on the crashing thread's stack: %s" % (options["not_on_stack"], functions))
    check(any("  CrashProgram.exe  " + stack[0] in line for line in frame_lines),
          "the faulting frame is not named in the program:\n" + "\n".join(frame_lines[:10]))

    modules = report[report.find("[Module Info]"):]
    check("] %s\r\n" % windows_path(os.path.join(app_dir, "CrashProgram.exe")) in modules,
          "the program is not in the module list:\n" + modules[:1500])
    check("] %s (%s)\r\n" % (windows_path(os.path.join(app_dir, "FaultTrace.dll")), VERSION) in modules,
          "FaultTrace.dll is not in the module list with its version:\n" + modules[:1500])
    check(report.endswith("\r\n\r\n"), "the report does not end with its blank line")


def run_case(case, scratch):
    scenario, reason, stack, options = CASES[case]
    build_bin = os.path.join(os.environ["WINDOWS_BUILD_DIR"], "bin")
    app_dir = os.path.join(scratch, "app")
    work_dir = os.path.join(scratch, "work")
    ftp_root = os.path.join(scratch, "ftp")
    for d in (app_dir, work_dir, os.path.join(ftp_root, "incoming")):
        os.makedirs(d)
    # The program's own folder holds the dump folder and Postmortem.exe.
    files = ["CrashProgram.exe", "FaultTrace.dll"] + (["Postmortem.exe"] if options.get("postmortem", True) else [])
    for name in files:
        shutil.copy2(os.path.join(build_bin, name), app_dir)
    program = os.path.join(app_dir, "CrashProgram.exe")

    address = start_address_service()
    ftp = start_ftp_server(ftp_root)
    try:
        ftp_port = closed_port() if options.get("ftp") == "down" else ftp.address[1]
        config = os.path.join(scratch, "faulttrace.ini")
        write_config(config, ftp_port, FTP_PASSWORD, address.server_address[1], None,
                     windows_path(os.path.join(app_dir, "FaultTrace.dll")))
        # Into a file, not a pipe: the programs Wine starts beside the
        # crashed one (and the post-mortem program) would hold a pipe open.
        log_path = os.path.join(scratch, "wine.log")
        with open(log_path, "wb") as log:
            started = time.time()
            subprocess.run(["wine", windows_path(program), scenario, windows_path(config)], cwd=work_dir,
                           env=wine_environment(), stdout=log, stderr=subprocess.STDOUT, timeout=RUN_TIMEOUT)
            ended = time.time()
    finally:
        ftp.close_all()
        address.shutdown()
    output = open(log_path, errors="replace").read()
    check("did not crash" not in output, output)

    report_path = os.path.join(work_dir, "FaultTrace.txt")
    dump_path = os.path.join(work_dir, "FaultTrace.DMP")
    if options.get("postmortem", True):
        log_path = os.path.join(app_dir, "postmortem.log")
        deadline = time.time() + 15
        while not os.path.exists(log_path) and time.time() < deadline:
            time.sleep(0.1)
        check(os.path.exists(log_path), "Postmortem.exe was not started\n" + output)
        log = open(log_path).read().split("\n")
        check(log[0].lower() == windows_path(work_dir).lower() and log[1:3] == ["1", "-dump"],
              "Postmortem.exe started as %r" % log)
        check("txt" in log and "dmp" in log, "Postmortem.exe did not find the report and dump: %r" % log)
    else:
        check(not os.path.exists(report_path) and not os.path.exists(dump_path),
              "FaultTrace.txt/DMP left behind although Postmortem.exe could not start")

    dump_dir = os.path.join(app_dir, "dump")
    archives = os.listdir(dump_dir) if os.path.isdir(dump_dir) else []
    uploaded = os.listdir(os.path.join(ftp_root, "incoming"))
    if options.get("ftp") == "down":
        check(len(archives) == 1 and not uploaded, "kept: server has %s, dump folder %s" % (uploaded, archives))
        archive_path = os.path.join(dump_dir, archives[0])
    else:
        check(len(uploaded) == 1 and not archives, "upload: server has %s, dump folder %s" % (uploaded, archives))
        archive_path = os.path.join(ftp_root, "incoming", uploaded[0])
    name = os.path.basename(archive_path)
    check(re.fullmatch(re.escape(VERSION) + r"_FaultTrace\[-[0-9]{14}\]\.zip", name), "archive name %s" % name)
    check_time_stamp(name, started, ended, None)
    report_bytes = test_archive(archive_path)
    if options.get("postmortem", True):
        check(open(report_path, "rb").read() == report_bytes, "the archived report differs from FaultTrace.txt")
    else:
        with zipfile.ZipFile(archive_path) as archive:
            archive.extract("FaultTrace.DMP", scratch)
        dump_path = os.path.join(scratch, "FaultTrace.DMP")

    check_report(report_bytes, stack, options, app_dir)
    frames, others = walk_dump(dump_path, program, reason)
    check_in_order(frames, stack[:1] if case == "overflow" else stack, "the dump's crashing thread")
    if "not_on_stack" in options:
        check(options["not_on_stack"] not in frames, "the dump's crashing thread reaches %s" % options["not_on_stack"])
    if "other_thread_reaches" in options:
        wanted = options["other_thread_reaches"]
        check(any(wanted in thread for thread in others), "no other thread in the dump reaches %s: %s" % (wanted, others))


def main():
    if len(sys.argv) != 2 or sys.argv[1] not in list(CASES) + ["prepare", "units", "cleanup"]:
        print("usage: windows_crash_test.py prepare|units|cleanup|CASE\ncases: " + " ".join(CASES), file=sys.stderr)
        return 2
    what = sys.argv[1]
    try:
        if what == "prepare":
            prepare()
        elif what == "cleanup":
            cleanup()
        elif what == "units":
            run_units()
        else:
            # Kept after a failure for a look, under the test's own build folder.
            scratch = os.path.abspath("windows-" + what)
            shutil.rmtree(scratch, ignore_errors=True)
            os.makedirs(scratch)
            run_case(what, scratch)
            shutil.rmtree(scratch, ignore_errors=True)
    except Failure as failure:
        kept = "" if what not in CASES else "\n(files kept in %s)" % os.path.abspath("windows-" + what)
        print("FAIL %s: %s%s" % (what, failure, kept), file=sys.stderr)
        return 1
    print("PASS %s" % what)
    return 0


if __name__ == "__main__":
    sys.exit(main())
