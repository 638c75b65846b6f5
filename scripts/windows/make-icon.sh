#!/usr/bin/env bash
# Renders app/resources/depurix.svg into the Windows icon app/resources/depurix.ico (committed,
# so the build needs neither tool). Run again after changing the drawing.
set -euo pipefail
cd "$(dirname "$0")/../.."
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
sizes=(16 24 32 48 64 128 256)
for s in "${sizes[@]}"; do
    rsvg-convert -w "$s" -h "$s" app/resources/depurix.svg -o "$work/$s.png"
done
convert $(printf "$work/%s.png " "${sizes[@]}") app/resources/depurix.ico
identify app/resources/depurix.ico
