#!/usr/bin/env bash
# Installs what is missing, configures, builds with all cores or KAROMIL_JOBS (sanitizers on) and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/deps.sh
karomil_ensure_packages
build=${KAROMIL_BUILD_DIR:-build}
# Paths relative to the checkout, so a fresh clone elsewhere reuses the compiler cache.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DKAROMIL_SANITIZE=ON >/dev/null
jobs=${KAROMIL_JOBS:-$(nproc)}
cmake --build "$build" -j "$jobs"
export QT_QPA_PLATFORM=offscreen
# Leaks inside Qt and the system libraries are theirs; ours are never suppressed.
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1"
ctest --test-dir "$build" --output-on-failure --timeout 300 -j "$jobs"
