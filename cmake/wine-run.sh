#!/usr/bin/env bash
# Runs a Windows program under Wine for the cross-build (mkdata, test discovery, ctest).
# WINEPREFIX comes from the caller (./dev.sh windows keeps one in the build folder);
# the timeout keeps a hung Wine from hanging the build or CI.
export WINEDEBUG=-all
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
exec timeout -k 10 "${VORN_WINE_TIMEOUT:-600}" wine "$@"
