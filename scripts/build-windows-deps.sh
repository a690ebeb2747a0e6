#!/bin/bash
# Cross-builds, once per machine, the libraries Scribbloom.exe links (Qt's
# qtbase and qtsvg, libcurl, OpenSSL's libcrypto, jsoncpp, minizip) from Debian's own
# source packages with mingw-w64, into a cache outside the checkout that every
# later run and every checkout reuses.
#
#   scripts/build-windows-deps.sh [qt|openssl|curl|jsoncpp|minizip|all]   (default all)
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

# src_version PACKAGE: the newest version of the source package whose files
# the archive still holds (the index can name a version its mirror has
# dropped).
src_version() {
  local v uris
  for v in $(apt-cache showsrc "$1" | awk '/^Version:/ {print $2}' | sort -Vr -u); do
    uris=$(apt-get source -q --print-uris "$1=$v" 2>/dev/null | awk -F"'" '/^'"'"'/ {print $2}')
    [ -n "$uris" ] || continue
    if /usr/bin/python3 - $uris <<'EOF'
import sys, urllib.request
for uri in sys.argv[1:]:
    urllib.request.urlopen(urllib.request.Request(uri, method="HEAD"), timeout=30).close()
EOF
    then
      echo "$v"
      return
    fi
  done
  echo "error: no version of the source package $1 can be fetched" >&2
  return 1
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

# fetch WORK PACKAGE VERSION: unpacks Debian's source (with Debian's
# patches) into WORK/src and prints the unpacked folder.
fetch() {
  local work=$1 pkg=$2 version=$3
  mkdir -p "$work/src"
  (cd "$work/src" && apt-get source -q "$pkg=$version" >&2)
  local dir
  dir=$(find "$work/src" -mindepth 1 -maxdepth 1 -type d | head -1)
  if [ -z "$dir" ]; then
    echo "error: apt-get source $pkg=$version unpacked nothing" >&2
    return 1
  fi
  echo "$dir"
}

# relocate FROM TO: the build folder's name, written into the text files
# that name their own location (pkg-config, CMake, qmake), becomes the
# cache folder's.
relocate() {
  local from=$1 to=$2
  grep -rlZ --include='*.pc' --include='*.cmake' --include='*.prl' --include='*.pri' -F "$from" "$from" \
    | xargs -0 -r sed -i "s|$from|$to|g"
}

# cached NAME: the complete cache folder of NAME, the newest when there are
# several; nothing when there is none. A cache is kept until it is removed:
# a newer source version in the archive does not start a new build.
cached() {
  find "$cache" -mindepth 1 -maxdepth 1 -type d -name "mingw-$1-*" 2>/dev/null | sort -V | tail -1
}

# build_cached NAME VERSIONS FUNCTION: unless NAME is cached, runs FUNCTION
# TMP_PREFIX WORK in a temporary folder and renames that into place at the end.
build_cached() {
  local name=$1 versions=$2 fn=$3
  local final=$cache/mingw-$name-$(echo "$versions" | tr ':~' '__')
  mkdir -p "$cache"
  # Leftovers of interrupted builds of this library.
  rm -rf "$cache/.mingw-$name-"*
  local tmp
  tmp=$(mktemp -d "$cache/.mingw-$name-XXXXXX")
  echo "== building $name $versions for Windows in $tmp (then $final)"
  local start=$SECONDS
  "$fn" "$tmp/$name" "$tmp/work"
  rm -rf "$tmp/work"
  relocate "$tmp" "$final"
  chmod 755 "$tmp"
  mv -T "$tmp" "$final"
  echo "== $name for Windows: built in $(( (SECONDS - start) / 60 )) min, cached in $final"
}

qtbase_version=
qtsvg_version=

build_qt() {
  local prefix=$1 work=$2
  local tools
  tools=$(tool_dir "$work")
  local base svg
  base=$(fetch "$work" qtbase-opensource-src "$qtbase_version")
  svg=$(fetch "$work/svg" qtsvg-opensource-src "$qtsvg_version")
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
  src=$(fetch "$work" openssl "$openssl_version")
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
  src=$(fetch "$work" curl "$curl_version")
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
  src=$(fetch "$work" libjsoncpp "$jsoncpp_version")
  write_toolchain "$work/toolchain.cmake"
  cmake -S "$src" -B "$work/build" -DCMAKE_TOOLCHAIN_FILE="$work/toolchain.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_INSTALL_LIBDIR=lib \
    -DBUILD_SHARED_LIBS=OFF -DBUILD_STATIC_LIBS=ON -DBUILD_OBJECT_LIBS=OFF \
    -DJSONCPP_WITH_TESTS=OFF -DJSONCPP_WITH_POST_BUILD_UNITTEST=OFF -DJSONCPP_WITH_EXAMPLE=OFF
  cmake --build "$work/build" -j"$jobs"
  cmake --install "$work/build"
}

# minizip, the ZIP reader and writer of board files: zlib's own contribution,
# built from Debian's zlib source against the mingw zlib (libz-mingw-w64-dev).
build_minizip() {
  local prefix=$1 work=$2
  local src tools
  src=$(fetch "$work" zlib "$minizip_version")
  tools=$(tool_dir "$work")
  mkdir -p "$prefix/include/minizip" "$prefix/lib/pkgconfig" "$work/obj"
  local file
  for file in ioapi zip unzip iowin32; do
    "$tools/$triple-gcc" -O2 -DNOCRYPT -c "$src/contrib/minizip/$file.c" -o "$work/obj/$file.o"
  done
  "$triple-ar" rcs "$prefix/lib/libminizip.a" "$work"/obj/*.o
  cp "$src"/contrib/minizip/{ioapi,zip,unzip,iowin32}.h "$prefix/include/minizip/"
  cat > "$prefix/lib/pkgconfig/minizip.pc" <<EOF
prefix=$prefix
libdir=\${prefix}/lib
includedir=\${prefix}/include
Name: minizip
Description: ZIP archives on zlib (zlib's contribution)
Version: $minizip_version
Cflags: -I\${includedir}/minizip
Libs: -L\${libdir} -lminizip
EOF
}

# The folder of each cached library, "NAME=FOLDER" a line.
print_prefixes() {
  local name dir
  for name in qt openssl curl jsoncpp minizip; do
    dir=$(cached "$name")
    [ -n "$dir" ] && echo "$name=$dir/$name"
  done
  return 0
}

case "$what" in
  --print-prefixes) print_prefixes; exit 0 ;;
esac
# One build at a time on the machine: a second run waits, then finds the cache.
mkdir -p "$cache"
exec 9>"$cache/.lock"
flock 9
want() {
  [ "$what" = all ] || [ "$what" = "$1" ]
}
if want qt && [ -z "$(cached qt)" ]; then
  ensure_deb_src
  qtbase_version=$(src_version qtbase-opensource-src)
  qtsvg_version=$(src_version qtsvg-opensource-src)
  build_cached qt "$qtbase_version-svg$qtsvg_version" build_qt
fi
# NAME SOURCE-PACKAGE: a library built from one Debian source by build_NAME,
# which finds the source's version in NAME_version.
build_from_source() {
  if want "$1" && [ -z "$(cached "$1")" ]; then
    ensure_deb_src
    local version
    version=$(src_version "$2")
    printf -v "$1_version" '%s' "$version"
    build_cached "$1" "$version" "build_$1"
  fi
}
build_from_source openssl openssl
build_from_source curl curl
build_from_source jsoncpp libjsoncpp
build_from_source minizip zlib
print_prefixes
