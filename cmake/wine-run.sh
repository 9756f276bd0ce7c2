#!/usr/bin/env bash
# Runs a Windows program under Wine for the cross-build (mkdata, test discovery, ctest).
#   wine-run.sh [--dll-dir=DIR]... PROGRAM [ARGS...]
# Each DIR (a Linux path) goes on the Windows PATH, so that the program finds the MinGW
# runtime and Qt's DLLs where they were built. WINEPREFIX comes from the caller
# (./dev.sh windows keeps one in the build folder); the timeout keeps a hung Wine from
# hanging the build or CI.
export WINEDEBUG=-all
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
dirs=()
while [[ ${1:-} == --dll-dir=* ]]; do
  dirs+=("Z:${1#--dll-dir=}")
  shift
done
if ((${#dirs[@]})); then
  path=$(IFS=';'; echo "${dirs[*]}")
  export WINEPATH="${path//\//\\}${WINEPATH:+;$WINEPATH}"
fi
# Qt's offscreen platform on Windows reads fonts from a folder only (no fontconfig): the
# host's Liberation fonts, which the reports name, serve the window tests.
if [[ ${QT_QPA_PLATFORM:-} == offscreen && -z ${QT_QPA_FONTDIR:-} ]]; then
  export QT_QPA_FONTDIR=/usr/share/fonts/truetype/liberation
fi
# Wine hands QT_* variables (like PATH) to Windows programs only when they come as
# WINEQT_*: the window tests' QT_QPA_PLATFORM=offscreen goes through that way.
for v in $(compgen -e); do
  if [[ $v == QT_* ]]; then export "WINE$v=${!v}"; fi
done
exec timeout -k 10 "${VORN_WINE_TIMEOUT:-600}" wine "$@"
