#!/usr/bin/env bash
# Vorn developer entry point.
#   ./dev.sh run [ARGS...]  install what is missing, build, start vorn with its bundled DATA
#   ./dev.sh test           install what is missing, build with sanitizers, run every test
#   ./dev.sh bench          build and run the benchmarks
#   ./dev.sh windows        cross-build vorn for Windows (the window and the command line),
#                           run the tests under Wine, make the installer and try it in Wine
#   ./dev.sh package        build the Debian package vorn_VERSION_ARCH.deb here
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(cmake ninja-build g++ clang libclang-rt-14-dev qt6-base-dev libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev libshp-dev shapelib libcli11-dev nlohmann-json3-dev
  python3 python3-dbfread python3-dbf xvfb xauth fonts-dejavu-core fonts-liberation poppler-utils
  qt6-translations-l10n librsvg2-bin dpkg-dev desktop-file-utils file pkg-config
  libxlsxwriter-dev libzip-dev libpugixml-dev python3-openpyxl ccache)

ensure_packages() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if ((${#missing[@]})); then
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    echo "Installing: ${missing[*]}"
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
  fi
}

jobs=$(nproc 2>/dev/null || echo 2)
# ccache keeps compiled objects between builds and between clones of the project.
export CCACHE_DIR=${CCACHE_DIR:-$HOME/.cache/vorn/ccache} CCACHE_NOHASHDIR=1 CCACHE_BASEDIR="$PWD"
launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
cmd=${1:-run}
shift || true
case "$cmd" in
  run)
    ensure_packages
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORN_BUILD_TESTS=OFF "${launcher[@]}" >/dev/null
    cmake --build build -j "$jobs"
    exec build/vorn "$@"
    ;;
  test)
    ensure_packages
    cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug \
      -DCMAKE_CXX_COMPILER=clang++ -DENABLE_SANITIZERS=ON -DVORN_FUZZ=ON \
      -DWARNINGS_AS_ERRORS=ON -DVORN_BUILD_BENCH=ON "${launcher[@]}"
    cmake --build build-test -j "$jobs"
    export QT_QPA_PLATFORM=offscreen
    ctest --test-dir build-test --output-on-failure -j "$jobs"
    ;;
  bench)
    ensure_packages
    cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DVORN_BUILD_BENCH=ON \
      -DVORN_BUILD_TESTS=OFF >/dev/null
    cmake --build build-bench -j "$jobs"
    for b in build-bench/bench/*/bench_*; do
      if [ -f "$b" ] && [ -x "$b" ]; then "$b" "$@"; fi
    done
    ;;
  windows)
    # Everything for Windows, each stage timed: Qt and the XLSX libraries cross-built once
    # and kept in ~/.cache/vorn (packaging/windows/build-deps.sh), vorn.exe (the window) and
    # vorn.com (the command line) built against them, every test under Wine, the installer
    # vorn-VERSION-win64-setup.exe and the portable zip left here, and the installer tried
    # in a fresh Wine prefix (packaging/windows/check-installer.sh). Every Wine call has a
    # timeout (cmake/wine-run.sh), so a hung Wine cannot hang CI.
    PACKAGES+=(g++-mingw-w64-x86-64-posix wine wine64 googletest nsis libz-mingw-w64-dev
      qt6-base-dev-tools imagemagick x11-utils)
    ensure_packages
    bw=build-windows
    started=$SECONDS
    stage_start=$SECONDS
    stages=()
    stage() {  # NAME: ends the stage begun last
      stages+=("$(printf '%-28s %5d s' "$1" $((SECONDS - stage_start)))")
      echo "[windows] $1: $((SECONDS - stage_start)) s" >&2
      stage_start=$SECONDS
    }
    deps=$(packaging/windows/build-deps.sh)
    qt_prefix=$(sed -n 's/^QT_PREFIX=//p' <<<"$deps")
    libs_prefix=$(sed -n 's/^LIBS_PREFIX=//p' <<<"$deps")
    stage "Qt and libraries"
    mkdir -p "$bw/host-include"
    # CLI11 and nlohmann/json are header-only: the host's copies serve the cross build too,
    # without putting all of /usr/include in its way.
    ln -sfn /usr/include/CLI "$bw/host-include/CLI"
    ln -sfn /usr/include/nlohmann "$bw/host-include/nlohmann"
    export WINEPREFIX="$PWD/$bw/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    # The mark is written once wineboot has finished: a prefix left half made by an
    # interrupted run is made again.
    if [ ! -f "$WINEPREFIX/.vorn-ready" ]; then
      rm -rf "$WINEPREFIX"
      timeout -k 10 600 wineboot -i >/dev/null 2>&1 || { echo "wineboot failed" >&2; exit 1; }
      timeout -k 10 120 wineserver -w || true
      touch "$WINEPREFIX/.vorn-ready"
    fi
    stage "Wine prefix"
    # pkg-config finds the cross-built libraries only, never the host's
    PKG_CONFIG_LIBDIR="$libs_prefix/lib/pkgconfig" PKG_CONFIG_PATH="" \
    cmake -S . -B "$bw" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
      -DCMAKE_BUILD_TYPE=Release -DVORN_BUILD_GUI=ON -DWARNINGS_AS_ERRORS=ON \
      -DVORN_WINDOWS_PREFIXES="$qt_prefix;$libs_prefix" -DVORN_WINDOWS_XLSX=ON \
      -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
      -DCMAKE_PREFIX_PATH="$qt_prefix" "${launcher[@]}" \
      -DCLI11_INCLUDE_DIR="$PWD/$bw/host-include" \
      -DNLOHMANN_JSON_INCLUDE_DIR="$PWD/$bw/host-include" >/dev/null
    cmake --build "$bw" -j "$jobs"
    stage "build"
    # Every test under Wine: the core's, the window's Qt tests on the offscreen platform
    # and the Windows ones; among them cases_tests runs vorn.com calc --json on every folder
    # of tests/cases and compares with its expected.json.
    # the window's settings start empty, as the Linux tests' own config folder does
    timeout -k 10 120 wine reg delete 'HKCU\Software\vorn' /f >/dev/null 2>&1 || true
    ctest --test-dir "$bw" --output-on-failure -j "$jobs" --timeout 600
    timeout -k 10 60 wineserver -k 2>/dev/null || true
    stage "tests under Wine"
    packaging/windows/make-packages.sh "$bw" .
    stage "installer and zip"
    packaging/windows/check-installer.sh vorn-*-win64-setup.exe "$bw/wine-check"
    stage "installer under Wine"
    printf '%s\n' "${stages[@]}" "$(printf '%-28s %5d s' total $((SECONDS - started)))"
    ;;
  package)
    # lintian: packaging/check-package.sh reads the package with it
    PACKAGES+=(lintian)
    ensure_packages
    cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DVORN_BUILD_TESTS=OFF \
      -C packaging/package-flags.cmake -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
    cmake --build build-package -j "$jobs"
    rm -f build-package/vorn_*.deb
    (cd build-package && cpack -G DEB >/dev/null)
    cp build-package/vorn_*.deb .
    ls vorn_*.deb
    ;;
  *)
    echo "usage: $0 run [ARGS...] | test | bench | windows | package" >&2
    exit 2
    ;;
esac
