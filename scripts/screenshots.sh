#!/usr/bin/env bash
# Regenerates the README's screenshots of the real window under Xvfb, on a copy of the sample
# ERP database.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target depurix_screenshots
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
HOME="$work" scripts/make-sample-databases.sh >/dev/null
mkdir -p docs/screenshots
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1024x768x24" \
    build/depurix_screenshots docs/screenshots "$work/KEMB/VORNIX/BD/VORNIX.FDB"
