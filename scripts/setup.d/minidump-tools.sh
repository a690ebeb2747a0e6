#!/bin/bash
# Breakpad's minidump readers (minidump_stackwalk, minidump_dump, dump_syms),
# prebuilt for Linux x86-64 in the npm package "minidump". The crash tests use
# them to read what FaultTrace writes; nothing ships with them.
#   scripts/setup.d/minidump-tools.sh BUILD_DIR
set -euo pipefail

build=${1:?usage: $0 BUILD_DIR}
version=0.26.0
target=$build/test-tools/minidump
if [ -x "$target/bin/linux-x64/minidump_stackwalk" ] && [ "$(cat "$target/.version" 2>/dev/null)" = "$version" ]; then
  exit 0
fi
command -v npm >/dev/null || { echo "minidump-tools: npm is needed (apt-get install npm)" >&2; exit 1; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
# Only the packed archive: its install script would try to build from source.
(cd "$scratch" && npm pack --silent "minidump@$version" >/dev/null)
tar -xzf "$scratch/minidump-$version.tgz" -C "$scratch"
rm -rf "$target"
mkdir -p "$target/bin"
cp -r "$scratch/package/bin/linux-x64" "$target/bin/"
chmod +x "$target"/bin/linux-x64/*
echo "$version" > "$target/.version"
echo "== minidump tools in $target/bin/linux-x64"
