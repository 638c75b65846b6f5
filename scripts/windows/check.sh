#!/usr/bin/env bash
# Checks the Windows build under Wine on a virtual screen: the tests that need no database, then
# the installer (a silent install, the program's window and an operation without a Firebird
# client, an uninstall). Builds first (build.sh).
#   --screenshots  also refreshes docs/screenshots/windows-wine*.png
set -euo pipefail
cd "$(dirname "$0")/../.."
scripts/windows/build.sh
qt=$(scripts/windows/build-qt.sh 2>/dev/null | tail -n1)
build=$PWD/build-windows
version=$(sed -n 's/^project(Depurix VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
shots=$build/screenshots
mkdir -p "$shots"

fail() { echo "check.sh: $*" >&2; exit 1; }
windows_path() { local p=${1//\//\\}; printf 'Z:%s' "$p"; }

# A Wine of our own, thrown away each time: nothing of an earlier run can help this one.
export WINEPREFIX=$build/wine WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
rm -rf "$WINEPREFIX"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$build/display" 2>/dev/null &
xvfb=$!
trap 'wineserver -k 2>/dev/null || true; kill $xvfb 2>/dev/null || true' EXIT
for _ in $(seq 50); do [ -s "$build/display" ] && break; sleep 0.1; done
export DISPLAY=:$(cat "$build/display")
wineboot -i >/dev/null 2>&1
# Wine does not hand QT_* variables to the programs it starts; the registry's environment does.
# The tests run headless, and the headless platform reads fonts from a folder.
wine reg add 'HKCU\Environment' /v QT_QPA_FONTDIR /d "$(windows_path /usr/share/fonts/truetype/dejavu)" /f >/dev/null 2>&1
wineserver -w

start=$SECONDS
WINEPATH="$(windows_path "$qt/bin");$(windows_path /usr/lib/gcc/x86_64-w64-mingw32/12-posix);$(windows_path /usr/x86_64-w64-mingw32/lib)" \
    ctest --test-dir "$build" --output-on-failure
echo "check.sh: tests under Wine in $((SECONDS - start)) s"

setup=$build/dist/depurix-$version-windows-x64-setup.exe
wine "$setup" /S
wineserver -w
program="$WINEPREFIX/drive_c/Program Files/Depurix"
for f in depurix.exe desinstalar.exe qt.conf Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll \
    libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll platforms/qwindows.dll \
    styles/qwindowsvistastyle.dll translations/qtbase_pt_BR.qm; do
    [ -f "$program/$f" ] || fail "the installer left out $f"
done
[ -f "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Depurix.lnk" ] ||
    fail "no Start menu entry"
[ ! -e "$program/fbclient.dll" ] || fail "fbclient.dll is the customer's own, never shipped"
# Every DLL the program and its plugins import is in its folder or is part of Windows.
system32="$WINEPREFIX/drive_c/windows/system32"
while IFS= read -r -d '' pe; do
    for dll in $(x86_64-w64-mingw32-objdump -p "$pe" | sed -n 's/^[[:space:]]*DLL Name: //p'); do
        case ${dll,,} in api-ms-win-* | ext-ms-*) continue ;; esac  # API sets, the loader's own
        [ -f "$program/$dll" ] || [ -n "$(find "$system32" -maxdepth 1 -iname "$dll" -print -quit)" ] ||
            fail "${pe#"$program/"} needs $dll, which is not installed"
    done
done < <(find "$program" \( -name '*.exe' -o -name '*.dll' \) -print0)

# The installed program on its own DLLs: no path into the build.
wine "C:\\Program Files\\Depurix\\depurix.exe" >/dev/null 2>&1 &
window=""
for _ in $(seq 120); do
    window=$(xdotool search --name 'Limpeza do Banco de Dados' 2>/dev/null | head -n1) && [ -n "$window" ] && break
    sleep 0.5
done
[ -n "$window" ] || fail "the installed program showed no window"
sleep 2
import -window root "$shots/windows-wine.png"
# Removing an establishment connects first: without a client its failure is the first log line.
xdotool mousemove --window "$window" 568 407 click 1
sleep 3
import -window root "$shots/windows-wine-sem-cliente.png"
wineserver -k
wineserver -w

wine "C:\\Program Files\\Depurix\\desinstalar.exe" /S
wineserver -w
for _ in $(seq 20); do [ -e "$program" ] || break; sleep 0.5; done
[ ! -e "$program" ] || fail "the uninstaller left $(ls "$program")"

if [ "${1:-}" = "--screenshots" ]; then
    cp "$shots"/windows-wine*.png docs/screenshots/
fi
echo "check.sh: installed, started, operated without a client and uninstalled under Wine;" \
    "installer $(du -h "$setup" | cut -f1), zip $(du -h "${setup%-setup.exe}.zip" | cut -f1)"
