#!/bin/sh
# Builds the project twice (normal, and under AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs the whole test suite in each.
set -eu
cd "$(dirname "$0")/.."
scripts/setup.sh normal sanitize

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# CTest's own variable, when set, limits the tests run at once.
jobs=${CTEST_PARALLEL_LEVEL:-$(nproc)}
for dir in build build-asan; do
  echo "== tests in $dir"
  ctest --test-dir "$dir" -j "$jobs" --output-on-failure --timeout 600
done
