#!/usr/bin/python3
"""Reads the undefined symbols of the crash path's object files: everything
they call from outside themselves must be async-signal-safe or a plain
system call. An allocation, stdio, a lock, the loader's lists or an
unwinding library on the crash path fails this test.

    crash_path_calls.py OBJECT...   (or one argument of objects separated by ";")
"""

import subprocess
import sys

# POSIX's async-signal-safe functions and plain system-call wrappers that the
# crash path uses, and the few symbols the compiler draws in by itself.
ALLOWED = {
    # processes and signals
    "_Fork", "_exit", "execve", "waitpid", "kill", "getpid", "alarm", "sigaction", "sigaddset", "sigemptyset",
    "sigprocmask", "sigaltstack", "prctl", "ptrace", "syscall", "environ",
    # files and pipes
    "open", "read", "write", "close", "lseek", "unlink", "pipe2", "dup2", "fcntl", "poll",
    # memory and time; mmap only while arming, in normal context
    "process_vm_readv", "mmap", "clock_gettime", "nanosleep", "time",
    # leaving a faulted step
    "__sigsetjmp", "siglongjmp",
    # drawn in by the compiler
    "__errno_location", "memset", "memcpy", "memmove", "strlen", "__stack_chk_fail", "_GLOBAL_OFFSET_TABLE_",
    "__cxa_pure_virtual", "_ZTVN10__cxxabiv117__class_type_infoE", "_ZTVN10__cxxabiv120__si_class_type_infoE",
}


def symbols(obj, *flags):
    out = subprocess.run(["nm", "--format=posix", *flags, obj], capture_output=True, text=True, check=True).stdout
    return {line.split()[0] for line in out.splitlines() if line.split()}


def main(objects):
    if not objects:
        print("usage: crash_path_calls.py OBJECT...", file=sys.stderr)
        return 2
    defined = set()
    for obj in objects:
        defined |= symbols(obj, "--defined-only")
    bad = {}
    for obj in objects:
        for name in sorted(symbols(obj, "--undefined-only") - defined - ALLOWED):
            bad.setdefault(obj.rsplit("/", 1)[-1], []).append(name)
    if bad:
        for obj, names in sorted(bad.items()):
            demangled = subprocess.run(["c++filt"], input="\n".join(names), capture_output=True, text=True).stdout
            print("FAIL %s calls what the crash path must not:\n  %s" % (obj, demangled.replace("\n", "\n  ")))
        return 1
    print("PASS %d objects call only async-signal-safe functions" % len(objects))
    return 0


if __name__ == "__main__":
    # CMake hands the object list over as one ";"-separated argument.
    sys.exit(main([obj for arg in sys.argv[1:] for obj in arg.split(";") if obj]))
