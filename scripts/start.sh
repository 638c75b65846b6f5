#!/usr/bin/env bash
# Builds the tool, creates the sample databases when they are absent, and starts the tool.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)" --target depurix
scripts/make-sample-databases.sh
exec build/depurix "$@"
