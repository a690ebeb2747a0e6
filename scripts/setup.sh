#!/bin/bash
# Sets up a fresh Debian 12 machine for Scribbloom, builds it, then either
# starts the program or runs the whole test suite.
#
#   scripts/setup.sh run              install what is missing, build, start
#   scripts/setup.sh test             install what is missing, build (Windows too), run every test
#   scripts/setup.sh test --sanitize  the same with AddressSanitizer + UBSan
#   scripts/setup.sh package          install what is missing, build the Debian package
#   scripts/setup.sh windows          install mingw-w64 and Wine, build the program for Windows
#                                     x86-64 (build-windows/Scribbloom/ and its ZIP; the libraries
#                                     it links are built once into /var/cache/scribbloom), and
#                                     FaultTrace.dll for x86 too (build-windows-x86/)
#
# Installing needs root (apt-get); the rest runs as any user.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
mode=${1:-run}
sanitize=OFF
build=$here/build
if [ "${2:-}" = "--sanitize" ]; then
  sanitize=ON
  build=$here/build-sanitize
fi
if [ "$mode" = package ]; then
  build=$here/build-package
fi
jobs=${JOBS:-2}

# install_packages LIST...: the packages of the lists in scripts/ that are missing.
install_packages() {
  local missing=()
  local list
  for list in "$@"; do
    while read -r pkg; do
      [ -z "$pkg" ] && continue
      case "$pkg" in \#*) continue ;; esac
      if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'ok installed'; then
        missing+=("$pkg")
      fi
    done < "$here/scripts/$list"
  done
  # npm fetches test tools; a machine with Node.js from another source has
  # its own npm, and Debian's npm package would conflict with it.
  if [ "$mode" != windows ] && ! command -v npm >/dev/null 2>&1; then
    missing+=(npm)
  fi
  if [ ${#missing[@]} -gt 0 ]; then
    echo "== installing: ${missing[*]}"
    if [ "$(id -u)" -ne 0 ]; then
      echo "error: installing packages needs root (apt-get); run this script as root" >&2
      exit 1
    fi
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q
    apt-get install -y -q --no-install-recommends "${missing[@]}"
  fi
}

configure_and_build() {
  echo "== building in $build"
  cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSCRIBBLOOM_SANITIZE=$sanitize
  cmake --build "$build" -j"$jobs"
}

# The package is built the way Debian builds its own: with the distribution's
# hardening flags, and without the tests and benchmarks, which it does not hold.
build_package() {
  echo "== building the Debian package in $build"
  local flags
  flags=$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)
  (
    eval "$flags"
    export CFLAGS="$CFLAGS $CPPFLAGS" CXXFLAGS="$CXXFLAGS $CPPFLAGS"
    cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DSCRIBBLOOM_BUILD_TESTS=OFF -DSCRIBBLOOM_BUILD_BENCH=OFF
  )
  cmake --build "$build" -j"$jobs"
  (cd "$build" && cpack -G DEB)
  echo "== package: $(ls "$build"/scribbloom_*.deb)"
}

# sway will not run as root: the Wayland tests run their session as this
# unprivileged user.
ensure_wayland_user() {
  local user=${SCRIBBLOOM_WAYLAND_USER:-scribbloom-wl}
  if [ "$(id -u)" -eq 0 ] && ! id "$user" >/dev/null 2>&1; then
    echo "== adding the user $user for the Wayland tests"
    useradd --create-home --shell /usr/sbin/nologin "$user"
  fi
}

case "$mode" in
  windows)
    install_packages packages-windows.txt
    "$here/scripts/build-windows.sh" "$here/build-windows" x86_64
    "$here/scripts/build-windows.sh" "$here/build-windows-x86" i686
    echo "== Scribbloom for Windows: $here/build-windows/Scribbloom and $(ls "$here"/build-windows/Scribbloom-*.zip)"
    echo "== FaultTrace.dll: $here/build-windows/bin (x86-64), $here/build-windows-x86/bin (x86)"
    exit 0
    ;;
  test) install_packages packages.txt packages-windows.txt ;;
  *) install_packages packages.txt ;;
esac
if [ "$mode" = test ]; then
  ensure_wayland_user
fi
# Extra test tools that do not come from Debian's packages.
if [ "$mode" = test ] && [ -d "$here/scripts/setup.d" ]; then
  for hook in "$here"/scripts/setup.d/*.sh; do
    [ -e "$hook" ] && bash "$hook" "$build"
  done
fi
if [ "$mode" = package ]; then
  build_package
  exit 0
fi
configure_and_build

case "$mode" in
  run)
    cd "$build/bin"
    if [ -n "${DISPLAY:-}" ]; then
      exec ./Scribbloom
    fi
    echo "== no display found: starting Scribbloom on a virtual X display (Xvfb, 1920x1080)"
    exec xvfb-run -a -s "-screen 0 1920x1080x24" ./Scribbloom
    ;;
  test)
    # The Windows tests of this CTest run use it (label "windows"); the
    # first run also builds the libraries it links into the machine's cache.
    "$here/scripts/build-windows.sh" "$here/build-windows" x86_64
    cd "$build"
    if [ "$sanitize" = ON ]; then
      export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
      export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    fi
    ctest --output-on-failure -j"$jobs"
    ;;
  *)
    echo "usage: $0 run|test [--sanitize]|package|windows" >&2
    exit 2
    ;;
esac
