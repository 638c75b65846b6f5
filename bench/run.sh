#!/usr/bin/env bash
# Runs the benchmark: builds the databases once (bench/results/data), measures every operation
# against isql-fb at each size offscreen, then the window's own cost under Xvfb, and writes
# bench/results/bench.csv and bench/results/bench.png.
# Usage: bench/run.sh [SCALES]   (default 0,50000,200000,800000)
set -euo pipefail
cd "$(dirname "$0")/.."
scales=${1:-0,50000,200000,800000}
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target depurix_bench
out=bench/results
mkdir -p "$out"
QT_QPA_PLATFORM=offscreen build/bench/depurix_bench --out "$out" --scales "$scales"
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1024x768x24" \
    build/bench/depurix_bench --out "$out" --scales "${scales%%,*}" --no-duplicates --append
echo "results: $out/bench.csv $out/bench.png"
