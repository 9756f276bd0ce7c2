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
exec timeout -k 10 "${VORN_WINE_TIMEOUT:-600}" wine "$@"
