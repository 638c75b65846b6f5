#!/usr/bin/env bash
# Installs every Debian package the project needs to build, test and run. Safe to run again.
set -euo pipefail

packages=(
    build-essential cmake pkg-config
    qt6-base-dev
    firebird-dev libfbclient2 firebird3.0-server-core firebird3.0-utils
    googletest libgtest-dev libgmock-dev
    xvfb xauth
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
    echo "install-deps: all packages present"
    exit 0
fi

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "install-deps: installing ${missing[*]}"
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
