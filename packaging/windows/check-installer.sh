#!/usr/bin/env bash
# check-installer.sh SETUP.exe WORK-DIR: the installer tried as a user would, in a fresh
# Wine prefix under WORK-DIR, with Xvfb for the window:
#   silent install (/S) into C:\Program Files\Vorn; every DLL the programs import is
#   there or is the system's; Start-menu entry, file types, PATH;
#   "vorn calc" typed in a console (found on PATH) on every bundled case agrees with the
#   case's expected figures, and the first start fills %APPDATA%\vorn\DATA;
#   vorn.exe opens a calculation named in Cyrillic in its window (screenshot: WORK-DIR/window.png);
#   vorn.com report writes the PDF, in Liberation Sans;
#   an install over the installed version keeps the user's data;
#   the silent uninstall removes the program and leaves the user's data and calculations.
# Every Wine call has a timeout.
set -euo pipefail
setup=$(realpath "$1")
work=$2
src=$(cd "$(dirname "$0")/../.." && pwd)
rm -rf "$work"
mkdir -p "$work"
work=$(cd "$work" && pwd)
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset WINEPATH
fail() { echo "check-installer: $*" >&2; exit 1; }
w() { timeout -k 10 "${VORN_WINE_TIMEOUT:-300}" wine "$@"; }
settle() { timeout -k 10 300 wineserver -w || true; }

xvfb_pid=
cleanup() {
  timeout -k 5 30 wineserver -k 2>/dev/null || true
  [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

# Xvfb on a free display of its own choosing
Xvfb -displayfd 3 -screen 0 1280x900x24 -nolisten tcp >/dev/null 2>&1 3>"$work/display" &
xvfb_pid=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.2; done
[ -s "$work/display" ] || fail "Xvfb did not start"
export DISPLAY=:$(head -1 "$work/display")

timeout -k 10 600 wineboot -i >/dev/null 2>&1 || fail "wineboot failed"
settle
drive=$WINEPREFIX/drive_c
inst="$drive/Program Files/Vorn"
user=$(ls "$drive/users" | grep -vx Public | head -1)
appdata="$drive/users/$user/AppData/Roaming"

echo "== silent install"
w "$setup" /S >/dev/null 2>&1 || fail "the installer failed"
settle
for f in bin/vorn.exe bin/vorn.com bin/qt.conf bin/platforms/qwindows.dll \
  bin/platforms/qoffscreen.dll bin/translations/qtbase_ru.qm Uninstall.exe \
  share/vorn/DATA/vorn.dbf; do
  [ -f "$inst/$f" ] || fail "not installed: $f"
done
ls "$inst/bin/fonts/"LiberationSans-*.ttf >/dev/null || fail "no Liberation Sans"
[ ! -e "$inst/bin/DATA" ] || fail "DATA beside the installed program"

# Every DLL imported is installed beside the programs or is one of Windows' own.
sys32=$drive/windows/system32
missing=$(find "$inst/bin" -iname '*.dll' -o -iname '*.exe' -o -iname '*.com' | while read -r f; do
  x86_64-w64-mingw32-objdump -p "$f" | sed -n 's/^\s*DLL Name: //p' | while read -r dll; do
    if [ -z "$(find "$inst/bin" -maxdepth 1 -iname "$dll")" ] &&
       [ -z "$(find "$sys32" -maxdepth 1 -iname "$dll")" ] && [[ ! ${dll,,} == api-ms-win-* ]]; then
      echo "$(basename "$f") -> $dll"
    fi
  done
done)
[ -z "$missing" ] || fail "DLLs not found: $missing"

find "$drive/ProgramData/Microsoft/Windows/Start Menu" -iname 'Vorn.lnk' | grep -q . ||
  fail "no Start-menu entry"
w reg query 'HKLM\Software\Classes\.vrn' /ve 2>/dev/null | grep -q Vorn.Calculation || fail "no .vrn type"
w reg query 'HKLM\Software\Classes\Vorn.Project\shell\open\command' /ve 2>/dev/null |
  grep -qi 'vorn.exe' || fail "no .vrp command"
w reg query 'HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\Environment' /v Path 2>/dev/null |
  grep -qi 'Program Files\\Vorn\\bin' || fail "bin not on PATH"
settle

echo "== vorn calc from a console (PATH), every bundled case"
docs="$drive/users/$user/Documents"
mkdir -p "$docs"
n=0
for case in "$src"/tests/cases/*/; do
  name=$(basename "$case")
  [ -f "$case/input.vrn" ] && [ -f "$case/expected.json" ] || continue
  cp "$case/input.vrn" "$docs/$name.vrn"
  w cmd /c vorn calc "C:\\users\\$user\\Documents\\$name.vrn" --json \
    >"$work/$name.json" 2>"$work/$name.err" || true
  python3 - "$case/expected.json" "$work/$name.json" "$work/$name.err" <<'PY' || fail "case $name"
import json, sys
want = json.load(open(sys.argv[1], encoding="utf-8"))
err = open(sys.argv[3], encoding="utf-8", errors="replace").read()
if "error" in want:
    sys.exit(0 if want["error"] in err else f"{sys.argv[1]}: error {want['error']!r} not in {err!r}")
got = json.loads(open(sys.argv[2], encoding="utf-8").read() or "null")
# the keys a case names are compared, down into lists ("steps" names only some keys of
# some steps; {} holds a place)
def flat(v, p=""):
    if isinstance(v, dict):
        for k, x in v.items():
            yield from flat(x, f"{p}/{k}")
    elif isinstance(v, list):
        for i, x in enumerate(v):
            yield from flat(x, f"{p}/{i}")
    else:
        yield p, v
g = dict(flat(got))
for k, v in flat(want):
    if k not in g:
        sys.exit(f"{k} missing; {err}")
    if isinstance(v, (int, float)) and not isinstance(v, bool):
        if abs(g[k] - v) > 1e-9:
            sys.exit(f"{k}: {g[k]} != {v}")
    elif g[k] != v:
        sys.exit(f"{k}: {g[k]!r} != {v!r}")
PY
  n=$((n + 1))
done
[ "$n" -gt 0 ] || fail "no cases"
echo "$n cases agree"
[ -f "$appdata/vorn/DATA/vorn.dbf" ] || fail "the first start did not fill %APPDATA%\\vorn\\DATA"

echo "== the window opens a calculation named in Cyrillic"
calc="Расчёт камеры №1.vrn"
cp "$src/tests/cases/cooling-apples/input.vrn" "$docs/$calc"
settle
# Wine's DirectWrite draws no text in line edits (the numbers of the input screen); Qt's
# FreeType engine draws what a real Windows shows. (QT_* reaches Wine as WINEQT_*.)
WINEQT_QPA_PLATFORM="windows:fontengine=freetype" \
  w "$inst/bin/vorn.exe" "C:\\users\\$user\\Documents\\$calc" >"$work/window.log" 2>&1 &
vorn_pid=$!
shown=
for _ in $(seq 90); do
  if xwininfo -root -tree 2>/dev/null | grep -qE '"[^"]*Vorn'; then shown=1; break; fi
  sleep 1
done
[ -n "$shown" ] || fail "no window: $(cat "$work/window.log")"
sleep 8 # the calculation opens after the start-up
import -window root "$work/window.png"
xwininfo -root -tree | grep -E '"[^"]*Vorn' | head -3
timeout -k 5 30 wineserver -k 2>/dev/null || true
wait "$vorn_pid" 2>/dev/null || true

echo "== vorn.com report to PDF"
w "$inst/bin/vorn.com" report "C:\\users\\$user\\Documents\\$calc" -o 'C:\users\'"$user"'\Documents\отчет.pdf' \
  >"$work/report.log" 2>&1 || fail "report: $(cat "$work/report.log")"
pdf="$docs/отчет.pdf"
[ -s "$pdf" ] || fail "no PDF"
pdffonts "$pdf" | grep -q LiberationSans || fail "the report is not in Liberation Sans"
pdftotext "$pdf" - | grep -q 'кВт' || fail "the report has no text"
cp "$pdf" "$work/report.pdf"
settle

echo "== install over the installed version keeps the user's data"
echo "правка пользователя" >"$appdata/vorn/DATA/user-note.txt"
cp "$appdata/vorn/DATA/vorn.dbf" "$work/user-vorn.dbf"
printf 'X' >>"$appdata/vorn/DATA/vorn.dbf"
w "$setup" /S >/dev/null 2>&1 || fail "the second install failed"
settle
[ -f "$inst/bin/vorn.exe" ] || fail "the second install left no program"
[ -f "$appdata/vorn/DATA/user-note.txt" ] || fail "the second install lost the user's data"
cmp -s "$appdata/vorn/DATA/vorn.dbf" "$work/user-vorn.dbf" && fail "the user's table was replaced"
cp "$work/user-vorn.dbf" "$appdata/vorn/DATA/vorn.dbf"

echo "== silent uninstall"
w "$inst/Uninstall.exe" /S >/dev/null 2>&1 || fail "the uninstaller failed"
settle
[ ! -e "$inst/bin/vorn.exe" ] || fail "vorn.exe left behind"
[ ! -e "$inst" ] || fail "the install folder left behind: $(find "$inst" | head -5)"
find "$drive/ProgramData/Microsoft/Windows/Start Menu" -iname 'Vorn*' | grep -q . &&
  fail "the Start-menu entry left behind"
w reg query 'HKLM\Software\Classes\.vrn' /ve >/dev/null 2>&1 && fail ".vrn type left behind"
w reg query 'HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\Environment' /v Path 2>/dev/null |
  grep -qi 'Program Files\\Vorn' && fail "bin left on PATH"
[ -f "$appdata/vorn/DATA/user-note.txt" ] || fail "the uninstaller removed the user's data"
[ -f "$docs/$calc" ] || fail "the uninstaller removed a calculation"
echo "installer checked; screenshot $work/window.png"
