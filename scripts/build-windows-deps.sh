#!/bin/bash
# Cross-builds, once per machine, the libraries Scribbloom.exe links (Qt's
# qtbase and qtsvg, libcurl, OpenSSL's libcrypto, jsoncpp) from Debian's own
# source packages with mingw-w64, into a cache outside the checkout that every
# later run and every checkout reuses.
#
#   scripts/build-windows-deps.sh [qt|openssl|curl|jsoncpp|all]   (default all)
#   scripts/build-windows-deps.sh --print-prefixes                 (NAME=FOLDER lines)
#
# Each library gets a folder of its own, named after the source package
# versions it was built from:
#   $SCRIBBLOOM_WINDOWS_CACHE/mingw-<library>-<versions>/   (default /var/cache/scribbloom)
# It is built in a temporary folder beside it and renamed into place only
# when complete, so an interrupted or failed build is never taken for a cache;
# the next run removes the leftover and starts that library again.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
cache=${SCRIBBLOOM_WINDOWS_CACHE:-/var/cache/scribbloom}
# Qt's and the other libraries' own builds may use both processors.
jobs=${DEPS_JOBS:-2}
triple=x86_64-w64-mingw32
what=${1:-all}

# The deb-src entry `apt-get source` needs, for the suites the machine's own
# apt sources already use.
ensure_deb_src() {
  local list=/etc/apt/sources.list.d/scribbloom-deb-src.sources
  if apt-cache showsrc qtbase-opensource-src 2>/dev/null | grep -q '^Version:'; then
    return
  fi
  if [ "$(id -u)" -ne 0 ]; then
    echo "error: adding the deb-src entry for apt-get source needs root" >&2
    exit 1
  fi
  echo "== adding $list (Debian's source packages)"
  cat > "$list" <<'EOF'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://deb.debian.org/debian-security
Suites: bookworm-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
  apt-get update -q
}

# src_version PACKAGE: the newest version of the source package apt knows.
src_version() {
  apt-cache showsrc "$1" | awk '/^Version:/ {print $2}' | sort -V | tail -1
}

# The posix-thread compilers under the plain names Qt's and the other
# libraries' build systems call.
tool_dir() {
  local dir=$1/tools
  mkdir -p "$dir"
  local t
  for t in gcc g++; do
    ln -sf "/usr/bin/$triple-$t-posix" "$dir/$triple-$t"
  done
  echo "$dir"
}

# fetch WORK PACKAGE: unpacks Debian's source (with Debian's patches) into
# WORK/src and prints the unpacked folder.
fetch() {
  local work=$1 pkg=$2
  mkdir -p "$work/src"
  (cd "$work/src" && apt-get source -q "$pkg" >&2)
  find "$work/src" -mindepth 1 -maxdepth 1 -type d | head -1
}

# relocate FROM TO: the build folder's name, written into the text files
# that name their own location (pkg-config, CMake, qmake), becomes the
# cache folder's.
relocate() {
  local from=$1 to=$2
  grep -rlZ --include='*.pc' --include='*.cmake' --include='*.prl' --include='*.pri' -F "$from" "$from" \
    | xargs -0 -r sed -i "s|$from|$to|g"
}

# build_cached NAME VERSIONS FUNCTION: runs FUNCTION TMP_PREFIX WORK unless
# the cache folder for NAME-VERSIONS exists; renames it into place at the end.
build_cached() {
  local name=$1 versions=$2 fn=$3
  local final=$cache/mingw-$name-$versions
  if [ -d "$final" ]; then
    echo "== $name for Windows: cached in $final"
    return
  fi
  mkdir -p "$cache"
  # Leftovers of interrupted builds of this library.
  rm -rf "$cache/.mingw-$name-$versions".*
  local tmp
  tmp=$(mktemp -d "$cache/.mingw-$name-$versions.XXXXXX")
  echo "== building $name $versions for Windows in $tmp (then $final)"
  local start=$SECONDS
  "$fn" "$tmp/$name" "$tmp/work"
  rm -rf "$tmp/work"
  relocate "$tmp" "$final"
  chmod 755 "$tmp"
  mv -T "$tmp" "$final"
  echo "== $name for Windows: built in $(( (SECONDS - start) / 60 )) min, cached in $final"
}

qt_versions() {
  echo "$(src_version qtbase-opensource-src)-svg$(src_version qtsvg-opensource-src)" | tr ':~' '__'
}

build_qt() {
  local prefix=$1 work=$2
  local tools
  tools=$(tool_dir "$work")
  local base svg
  base=$(fetch "$work" qtbase-opensource-src)
  svg=$(fetch "$work/svg" qtsvg-opensource-src)
  (
    export PATH="$tools:$PATH"
    mkdir -p "$work/build-base"
    cd "$work/build-base"
    # The +dfsg source holds no wintab, sqlite or iaccessible2.
    "$base/configure" -xplatform win32-g++ -device-option CROSS_COMPILE=$triple- \
      -platform linux-g++ -prefix "$prefix" -release -opensource -confirm-license \
      -nomake examples -nomake tests -no-dbus -no-icu -opengl desktop \
      -qt-zlib -qt-libpng -qt-libjpeg -qt-freetype -qt-pcre -qt-harfbuzz \
      -no-sql-sqlite -no-feature-sql -no-feature-tabletevent -no-feature-vulkan
    make -j"$jobs"
    make install
    mkdir -p "$work/build-svg"
    cd "$work/build-svg"
    "$prefix/bin/qmake" "$svg/qtsvg.pro"
    make -j"$jobs"
    make install
  )
  # qmake finds its prefix from here once the folder has moved.
  printf '[Paths]\nPrefix=..\n' > "$prefix/bin/qt.conf"
}

# libcrypto alone: the program's request codec uses it; the transfers' TLS
# is the system's own (Schannel, in libcurl).
build_openssl() {
  local prefix=$1 work=$2
  local src
  src=$(fetch "$work" openssl)
  (
    cd "$src"
    ./Configure mingw64 --cross-compile-prefix=$triple- --prefix="$prefix" --libdir=lib \
      no-shared no-tests no-module no-legacy no-engine no-dso
    make -j"$jobs" build_libs
    make install_dev
  )
}

# The cmake toolchain the CMake-built libraries use.
write_toolchain() {
  cat > "$1" <<EOF
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER $triple-gcc-posix)
set(CMAKE_CXX_COMPILER $triple-g++-posix)
set(CMAKE_RC_COMPILER $triple-windres)
set(CMAKE_FIND_ROOT_PATH /usr/$triple)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
EOF
}

# HTTP(S) only, TLS by Schannel, zlib from Debian's mingw-w64 package.
build_curl() {
  local prefix=$1 work=$2
  local src
  src=$(fetch "$work" curl)
  write_toolchain "$work/toolchain.cmake"
  cmake -S "$src" -B "$work/build" -DCMAKE_TOOLCHAIN_FILE="$work/toolchain.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DBUILD_SHARED_LIBS=OFF -DBUILD_CURL_EXE=OFF -DBUILD_TESTING=OFF -DHTTP_ONLY=ON \
    -DCURL_USE_SCHANNEL=ON -DCURL_USE_OPENSSL=OFF -DCURL_USE_LIBSSH2=OFF -DCURL_USE_LIBPSL=OFF \
    -DUSE_LIBIDN2=OFF -DUSE_NGHTTP2=OFF -DCURL_BROTLI=OFF -DCURL_ZSTD=OFF -DENABLE_MANUAL=OFF \
    -DCURL_ZLIB=ON -DZLIB_LIBRARY=/usr/$triple/lib/libz.a -DZLIB_INCLUDE_DIR=/usr/$triple/include
  cmake --build "$work/build" -j"$jobs"
  cmake --install "$work/build"
}

build_jsoncpp() {
  local prefix=$1 work=$2
  local src
  src=$(fetch "$work" libjsoncpp)
  write_toolchain "$work/toolchain.cmake"
  cmake -S "$src" -B "$work/build" -DCMAKE_TOOLCHAIN_FILE="$work/toolchain.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_INSTALL_LIBDIR=lib \
    -DBUILD_SHARED_LIBS=OFF -DBUILD_STATIC_LIBS=ON -DBUILD_OBJECT_LIBS=OFF \
    -DJSONCPP_WITH_TESTS=OFF -DJSONCPP_WITH_POST_BUILD_UNITTEST=OFF -DJSONCPP_WITH_EXAMPLE=OFF
  cmake --build "$work/build" -j"$jobs"
  cmake --install "$work/build"
}

version_of() {
  src_version "$1" | tr ':~' '__'
}

# The folder of each library, "NAME=FOLDER" a line.
print_prefixes() {
  echo "qt=$cache/mingw-qt-$(qt_versions)/qt"
  echo "openssl=$cache/mingw-openssl-$(version_of openssl)/openssl"
  echo "curl=$cache/mingw-curl-$(version_of curl)/curl"
  echo "jsoncpp=$cache/mingw-jsoncpp-$(version_of libjsoncpp)/jsoncpp"
}

ensure_deb_src
case "$what" in
  --print-prefixes) print_prefixes; exit 0 ;;
esac
case "$what" in qt|all) build_cached qt "$(qt_versions)" build_qt ;; esac
case "$what" in openssl|all) build_cached openssl "$(version_of openssl)" build_openssl ;; esac
case "$what" in curl|all) build_cached curl "$(version_of curl)" build_curl ;; esac
case "$what" in jsoncpp|all) build_cached jsoncpp "$(version_of libjsoncpp)" build_jsoncpp ;; esac
