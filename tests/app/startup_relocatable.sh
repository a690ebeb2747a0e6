#!/bin/bash
# A copy of the program and its crash helper in a folder of their own loads
# the libraries of that folder, never those of the build folder it came from
# (which other users, and other machines, may not reach).
set -euo pipefail
bin=$(cd "$1" && pwd)
copy=$(mktemp -d "${TMPDIR:-/tmp}/scribbloom-relocated-XXXXXX")
trap 'rm -rf "$copy"' EXIT
cp "$bin"/Scribbloom "$bin"/FaultTraceHelper "$bin"/libFaultTrace.so* "$copy"/
status=0
for program in Scribbloom FaultTraceHelper; do
  libraries=$(ldd "$copy/$program")
  if grep -q 'not found' <<<"$libraries" || grep -qF "$bin/" <<<"$libraries"; then
    echo "FAIL: $program, copied to $copy, does not load its libraries from there:"
    echo "$libraries"
    status=1
  fi
done
libraries=$(ldd "$copy/Scribbloom")
if ! grep -qF "$copy/libFaultTrace.so" <<<"$libraries"; then
  echo "FAIL: the copied program does not load the crash-report library beside it:"
  echo "$libraries"
  status=1
fi
[ $status -eq 0 ] && echo "PASS: the copied program and helper load their libraries from their own folder"
exit $status
