#!/usr/bin/env bash
# Builds the Debian package from a configured build directory, installs it into a scratch root
# and checks what landed there and what the package declares it needs.
set -euo pipefail
build=${1:?usage: check-package.sh BUILD_DIR}
build=$(cd "$build" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

(cd "$build" && cpack -G DEB -B "$scratch/out" >/dev/null)
deb=$(ls "$scratch"/out/depurix_*.deb)

root="$scratch/root"
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status"
dpkg --root="$root" --force-depends --force-not-root --force-script-chrootless -i "$deb" >/dev/null

fail() { echo "check-package: $*" >&2; exit 1; }
[ -x "$root/usr/bin/depurix" ] || fail "usr/bin/depurix missing"
[ -f "$root/usr/share/applications/depurix.desktop" ] || fail "desktop entry missing"
[ -f "$root/usr/share/icons/hicolor/scalable/apps/depurix.svg" ] || fail "icon missing"
grep -q '^Exec=depurix$' "$root/usr/share/applications/depurix.desktop" || fail "desktop entry does not start depurix"
grep -q '^Icon=depurix$' "$root/usr/share/applications/depurix.desktop" || fail "desktop entry has no icon"
dpkg-query --admindir="$root/var/lib/dpkg" -W -f='${Status}' depurix | grep -q 'install ok installed' \
    || fail "package not recorded as installed"

depends=$(dpkg-deb -f "$deb" Depends)
for need in libfbclient2 libqt6widgets6 libqt6gui6 libqt6core6 qt6-qpa-plugins qt6-translations-l10n \
    firebird3.0-server-core; do
    grep -q "$need" <<<"$depends" || fail "Depends lacks $need: $depends"
done
if ldd "$root/usr/bin/depurix" | grep -q 'not found'; then fail "unresolved libraries"; fi
echo "check-package: $(basename "$deb") installs and declares: $depends"
