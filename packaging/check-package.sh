#!/usr/bin/env bash
# Checks a built package: its contents, its desktop entry, and the program run from the
# unpacked package with its relocated data and a fresh home folder.
#   packaging/check-package.sh vorn_VERSION_ARCH.deb
set -euo pipefail
deb=${1:?usage: $0 PACKAGE.deb}
src=$(cd "$(dirname "$0")/.." && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "package check: $*" >&2; exit 1; }

dpkg-deb -c "$deb" | awk '{print $NF}' | sed 's|^\./|/|' >"$tmp/contents"
for f in /usr/bin/vorn /usr/share/vorn/DATA/vorn.dbf /usr/share/vorn/DATA/s_region.dbf \
  /usr/share/vorn/DATA/kat-30.dbf /usr/share/vorn/doc/guide.md \
  /usr/share/applications/vorn.desktop /usr/share/mime/packages/vorn.xml \
  /usr/share/icons/hicolor/scalable/apps/vorn.svg /usr/share/icons/hicolor/48x48/apps/vorn.png \
  /usr/share/man/man1/vorn.1.gz /usr/share/doc/vorn/copyright /usr/share/doc/vorn/changelog.gz; do
  grep -qxF "$f" "$tmp/contents" || fail "$f missing from $deb"
done
dpkg-deb -f "$deb" Depends | grep -q 'libqt6widgets6' || fail "Depends lacks the Qt libraries"
# the window cannot start without the platform plugins; no library names them
dpkg-deb -f "$deb" Depends | grep -q 'qt6-qpa-plugins' || fail "Depends lacks qt6-qpa-plugins"
if command -v lintian >/dev/null; then
  # errors and warnings fail the check; notes and hints do not
  lintian --fail-on error,warning "$deb" || fail "lintian"
fi

dpkg-deb -x "$deb" "$tmp/root"
desktop-file-validate "$tmp/root/usr/share/applications/vorn.desktop"

vorn=$tmp/root/usr/bin/vorn
export HOME=$tmp/home XDG_DATA_HOME= XDG_CONFIG_HOME=
mkdir -p "$HOME"
"$vorn" --version | grep -q 'Vorn версия' || fail "vorn --version"
out=$("$vorn" calc "$src/tests/cases/cooling-apples/input.vrn" --json) || fail "vorn calc failed"
grep -q '"gains":{"walls":' <<<"$out" || fail "vorn calc --json has no gains: $out"
[ -f "$HOME/.local/share/vorn/DATA/vorn.dbf" ] || fail "the user's data folder was not filled"
echo "package check: $deb passed"
