#!/usr/bin/env bash
# Installs the Debian packages of the Windows cross build, its installer and its checks under
# Wine, and the source of the Qt the Windows build is made with. Safe to run again.
set -euo pipefail

packages=(
    cmake ninja-build dpkg-dev
    g++-mingw-w64-x86-64-posix mingw-w64-tools binutils-mingw-w64-x86-64
    wine wine64 nsis zip imagemagick librsvg2-bin
    qt6-translations-l10n googletest firebird-dev
    xvfb xauth x11-utils xdotool fonts-dejavu-core
)

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
apt_get() { DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=600 "$@"; }

# Qt is built from the very source Debian builds its own packages from, so the deb-src line
# names the suite the binaries come from.
sources=/etc/apt/sources.list.d/depurix-src.sources
updated=""
if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src ' /etc/apt/sources.list; then
    suite=$(. /etc/os-release && echo "$VERSION_CODENAME")
    printf 'Types: deb-src\nURIs: http://deb.debian.org/debian\nSuites: %s\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
        "$suite" | $sudo tee "$sources" >/dev/null
    apt_get update
    updated=1
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "install-deps (windows): installing ${missing[*]}"
    [ -n "$updated" ] || apt_get update
    apt_get install -y --no-install-recommends "${missing[@]}"
else
    echo "install-deps (windows): all packages present"
fi
