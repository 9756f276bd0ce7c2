#!/usr/bin/env bash
# make-packages.sh BUILD-DIR OUT-DIR: the installer vorn-VERSION-win64-setup.exe (CPack,
# NSIS) and the portable zip vorn-VERSION-win64-portable.zip, both into OUT-DIR.
# The portable copy keeps DATA beside vorn.exe on purpose: it works from a USB stick or any
# folder it is unpacked to, and keeps its edited tables there.
set -euo pipefail
bw=$(cd "$1" && pwd)
out=$(cd "$2" && pwd)
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$bw/CPackConfig.cmake")
[ -n "$version" ] || { echo "no version in $bw/CPackConfig.cmake" >&2; exit 1; }

rm -rf "$bw/packages"
(cd "$bw" && cpack -G NSIS --config CPackConfig.cmake >/dev/null)
setup=vorn-$version-win64-setup.exe
cp "$bw/packages/$setup" "$out/$setup"

stage=$bw/portable
name=vorn-$version-win64
rm -rf "$stage"
cmake --install "$bw" --prefix "$stage/root" >/dev/null
mkdir -p "$stage/$name"
cp -a "$stage/root/bin/." "$stage/$name/"
rm -f "$stage/$name/vorn-path.exe" # PATH is the installer's business
cp -a "$stage/root/share/vorn/DATA" "$stage/$name/DATA"
cp -a "$stage/root/share/vorn/doc" "$stage/$name/doc"
rm -f "$out/$name-portable.zip"
(cd "$stage" && cmake -E tar cf "$out/$name-portable.zip" --format=zip "$name")
ls -l "$out/$setup" "$out/$name-portable.zip" | awk '{printf "%s %.1f MB\n", $NF, $5 / 1048576}'
