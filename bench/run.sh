#!/usr/bin/env bash
# Runs the benchmark: builds the databases once (bench/results/data), measures each operation at
# each size through the tool, isql-fb and depurix_replay offscreen, then the window's own cost
# under Xvfb, and writes bench/results/bench.csv and bench/results/bench.png (bench-quick.*
# with --quick).
# Usage: bench/run.sh [--quick] [SCALES]   (default 0,50000,200000,800000; --quick: 0,50000 and
# the full cleanup only)
#        bench/run.sh --cycle [SCALES]   (default 0,50000,200000: the technician's whole cycle,
# tool and by hand; writes bench/results/cycle.csv)
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${1:-}" = "--cycle" ]; then
    scripts/install-deps.sh
    cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build build -j"$(nproc)" --target depurix_bench depurix_replay
    mkdir -p bench/results/data
    QT_QPA_PLATFORM=offscreen build/bench/depurix_bench --out bench/results --cycle \
        --scales "${2:-0,50000,200000}" | tee bench/results/data/cycle.log
    exit "${PIPESTATUS[0]}"
fi
quick=()
if [ "${1:-}" = "--quick" ]; then
    quick=(--quick)
    shift
fi
default=0,50000,200000,800000
[ ${#quick[@]} -eq 0 ] || default=0,50000
scales=${1:-$default}
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target depurix_bench depurix_replay
out=bench/results
mkdir -p "$out"
log=$out/data/bench.log
mkdir -p "$out/data"
QT_QPA_PLATFORM=offscreen build/bench/depurix_bench --out "$out" --scales "$scales" "${quick[@]}" |
    tee "$log"
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1024x768x24" \
    build/bench/depurix_bench --out "$out" --scales "${scales%%,*}" --window-cost --append \
    "${quick[@]}"
name=bench
[ ${#quick[@]} -eq 0 ] || name=bench-quick
echo "results: $out/$name.csv $out/$name.png"
grep '^ratio tool/isql:' "$log" | tail -n 1
