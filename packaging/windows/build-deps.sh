#!/usr/bin/env bash
# Builds, once per machine, what the Windows build of vorn needs and Debian has no MinGW
# package of: qtbase (Core, Gui, Widgets, PrintSupport, Test and the Windows plugins),
# libxlsxwriter, libzip and pugixml, cross-compiled with MinGW-w64 (posix threads) from
# Debian's own sources. The result is kept outside the clone, keyed by version and build
# options, so later runs (and CI on the same machine) reuse it:
#   $VORN_CACHE/qt-6.4.2-mingw64-<key>     (VORN_CACHE defaults to ~/.cache/vorn)
#   $VORN_CACHE/libs-mingw64-<key>
# Prints the two prefixes on its last two lines: QT_PREFIX=... and LIBS_PREFIX=...
# The sources come through a private apt configuration with a deb-src entry; the machine's
# own sources list is left as it is.
set -euo pipefail
cache=${VORN_CACHE:-$HOME/.cache/vorn}
jobs=$(nproc 2>/dev/null || echo 2)
triple=x86_64-w64-mingw32
mkdir -p "$cache"
# One run at a time per cache: a second one (another clone, CI) waits for the first and
# then finds its result.
exec 9>"$cache/.build-deps.lock"
flock 9

qt_version=6.4.2
qt_options=(-xplatform win32-g++ -qt-host-path /usr -release -shared -nomake examples -nomake tests
  -no-opengl -no-dbus -no-feature-network -no-feature-sql -no-feature-concurrent
  -no-feature-tabletevent -qt-zlib -qt-libpng -qt-libjpeg -qt-freetype -qt-harfbuzz -qt-pcre
  -qt-doubleconversion -no-icu -ccache)
qt_key=$(printf '%s\n' "$qt_version" "${qt_options[@]}" | sha1sum | cut -c1-8)
qt_prefix=$cache/qt-$qt_version-mingw64-$qt_key
libs_key=$(printf '%s\n' libxlsxwriter libzip pugixml zlib-mingw shared 1 | sha1sum | cut -c1-8)
libs_prefix=$cache/libs-mingw64-$libs_key
work=$cache/work
export CCACHE_DIR=$cache/ccache

log() { echo "[windows deps] $*" >&2; }

# A toolchain file of the deps' own, so that changes to the project's toolchain do not
# invalidate the kept build.
toolchain=$cache/mingw64-toolchain.cmake
cat > "$toolchain.new" <<TC
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER $triple-gcc-posix)
set(CMAKE_CXX_COMPILER $triple-g++-posix)
set(CMAKE_RC_COMPILER $triple-windres)
set(CMAKE_FIND_ROOT_PATH /usr/$triple $libs_prefix $qt_prefix)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
TC
if ! cmp -s "$toolchain.new" "$toolchain"; then mv "$toolchain.new" "$toolchain"; else rm "$toolchain.new"; fi

# apt-get source through a private list with a deb-src entry.
fetch_source() {  # NAME DIR-GLOB
  local name=$1 apt=$work/apt
  mkdir -p "$apt/lists/partial" "$work/src"
  if [ ! -f "$apt/updated" ]; then
    local uri
    uri=$(grep -hoE 'https?://[^ ]*/debian/?$|https?://[^ ]*/debian ' /etc/apt/sources.list.d/*.sources \
      /etc/apt/sources.list 2>/dev/null | head -1 | tr -d ' ')
    uri=${uri:-http://deb.debian.org/debian}
    echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $uri bookworm main" \
      > "$apt/sources.list"
    apt-get -o Dir::Etc::SourceList="$apt/sources.list" -o Dir::Etc::SourceParts=/dev/null \
      -o Dir::State::Lists="$apt/lists" update >&2
    touch "$apt/updated"
  fi
  (cd "$work/src" && apt-get -o Dir::Etc::SourceList="$apt/sources.list" \
     -o Dir::Etc::SourceParts=/dev/null -o Dir::State::Lists="$apt/lists" \
     source --download-only "$name" >&2)
}

unpack() {  # NAME -> prints the unpacked folder
  local name=$1 dsc
  dsc=$(ls "$work/src/${name}"_*.dsc 2>/dev/null | head -1)
  [ -n "$dsc" ] || { fetch_source "$name"; dsc=$(ls "$work/src/${name}"_*.dsc | head -1); }
  local dir=$work/src/$name
  if [ ! -d "$dir" ]; then
    dpkg-source --no-check --skip-patches -x "$dsc" "$dir.tmp" >&2 || \
      dpkg-source --no-check -x "$dsc" "$dir.tmp" >&2
    mv "$dir.tmp" "$dir"
  fi
  echo "$dir"
}

if [ ! -f "$qt_prefix/.vorn-complete" ]; then
  log "qtbase $qt_version for MinGW-w64 into $qt_prefix (about 30 minutes on two cores)"
  src=$(unpack qt6-base)
  bld=$work/qtbase-build-$qt_key
  mkdir -p "$bld"
  if [ ! -f "$bld/build.ninja" ]; then
    (cd "$bld" && "$src/configure" -prefix "$qt_prefix" "${qt_options[@]}" -- \
       -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
       -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake >&2)
  fi
  cmake --build "$bld" --parallel "$jobs" >&2
  cmake --install "$bld" >&2
  touch "$qt_prefix/.vorn-complete"
fi

if [ ! -f "$libs_prefix/.vorn-complete" ]; then
  log "libxlsxwriter, libzip, pugixml for MinGW-w64 into $libs_prefix"
  mkdir -p "$libs_prefix"
  common=(-G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release
    -DCMAKE_INSTALL_PREFIX="$libs_prefix" -DBUILD_SHARED_LIBS=ON)
  src=$(unpack pugixml)
  cmake -S "$src" -B "$work/pugixml-build" "${common[@]}" -DPUGIXML_BUILD_TESTS=OFF >&2
  cmake --build "$work/pugixml-build" --parallel "$jobs" >&2
  cmake --install "$work/pugixml-build" >&2
  src=$(unpack libzip)
  cmake -S "$src" -B "$work/libzip-build" "${common[@]}" -DENABLE_BZIP2=OFF -DENABLE_LZMA=OFF \
    -DENABLE_ZSTD=OFF -DENABLE_GNUTLS=OFF -DENABLE_OPENSSL=OFF -DENABLE_MBEDTLS=OFF \
    -DENABLE_COMMONCRYPTO=OFF -DENABLE_WINDOWS_CRYPTO=ON -DBUILD_TOOLS=OFF \
    -DBUILD_REGRESS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_DOC=OFF -DBUILD_OSSFUZZ=OFF >&2
  cmake --build "$work/libzip-build" --parallel "$jobs" >&2
  cmake --install "$work/libzip-build" >&2
  src=$(unpack libxlsxwriter)
  cmake -S "$src" -B "$work/libxlsxwriter-build" "${common[@]}" -DUSE_SYSTEM_MINIZIP=OFF \
    -DBUILD_TESTS=OFF -DBUILD_EXAMPLES=OFF >&2
  cmake --build "$work/libxlsxwriter-build" --parallel "$jobs" >&2
  cmake --install "$work/libxlsxwriter-build" >&2
  touch "$libs_prefix/.vorn-complete"
fi

echo "QT_PREFIX=$qt_prefix"
echo "LIBS_PREFIX=$libs_prefix"
