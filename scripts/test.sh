#!/usr/bin/env bash
# Builds everything with warnings as errors and runs the whole test suite, then does both again in
# build-sanitize/ with AddressSanitizer and UndefinedBehaviorSanitizer. Fails if either run fails
# or if the Firebird 4.0 server the suite also runs against cannot be started.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
jobs=$(nproc)

# The suite runs against a Firebird 4.0 server too: started once for both runs, stopped at the end.
trap 'scripts/firebird4-server.sh stop' EXIT
fb4=$(scripts/firebird4-server.sh start)
eval "$fb4"

suite() {
    local dir=$1 sanitize=$2
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDEPURIX_WERROR=ON \
        -DDEPURIX_SANITIZE="$sanitize"
    cmake --build "$dir" -j"$jobs"
    ctest --test-dir "$dir" --output-on-failure -j"$jobs"
}

start=$SECONDS
suite build OFF
echo "test.sh: normal build and suite passed in $((SECONDS - start)) s"

# Set before the build: listing the tests already runs the instrumented binary. The Firebird
# server, isql-fb and gbak the tests start are not instrumented and ignore these.
# intercept_tls_get_addr=0: GCC 12's runtime mistakes some thread-local blocks of libraries loaded
# later (the Firebird engine's) for an old glibc layout, and the leak check then crashes ("Tracer
# caught signal 11"); without it, those blocks are simply not scanned for pointers.
export ASAN_OPTIONS="detect_leaks=1:check_initialization_order=1:strict_init_order=1:intercept_tls_get_addr=0"
export LSAN_OPTIONS="suppressions=$PWD/tests/sanitizers/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
start=$SECONDS
suite build-sanitize ON
echo "test.sh: sanitized build and suite passed in $((SECONDS - start)) s"
