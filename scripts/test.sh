#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: once in a normal
# build and once under AddressSanitizer and UndefinedBehaviorSanitizer, then
# every fuzz target briefly. SONARIS_SKIP_SANITIZE=1 and SONARIS_SKIP_FUZZ=1
# leave out either part.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/bootstrap.sh" --tests
jobs=$(nproc)

SONARIS_BUILD_DIR=$root/build "$root/scripts/build.sh"
(cd "$root/build" && ctest --output-on-failure -j"$jobs")

# One clang build serves both the sanitizer run and the fuzz targets: every
# unit test under AddressSanitizer and UndefinedBehaviorSanitizer (with the
# fuzzer's instrumentation, which changes nothing else), then every fuzz
# target over its seeds and for a short while, two at a time on two cores
# (a regression of a reader of outside data shows here; fuzz/run.sh 3600
# TARGET for an hour).
checked=$root/build-asan
if [ "${SONARIS_SKIP_SANITIZE:-}" != 1 ] || [ "${SONARIS_SKIP_FUZZ:-}" != 1 ]; then
  SONARIS_BUILD_DIR=$checked "$root/scripts/build.sh" -DCMAKE_C_COMPILER=clang \
    -DCMAKE_CXX_COMPILER=clang++ -DSONARIS_FUZZ=ON -DSONARIS_BENCH=OFF
fi
if [ "${SONARIS_SKIP_SANITIZE:-}" != 1 ]; then
  (cd "$checked" && ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS="suppressions=$root/tests/lsan.supp" ctest --output-on-failure -j"$jobs" -LE e2e)
fi
if [ "${SONARIS_SKIP_FUZZ:-}" != 1 ]; then
  SONARIS_FUZZ_BUILD_DIR=$checked SONARIS_FUZZ_NO_BUILD=1 "$root/fuzz/run.sh" "${SONARIS_FUZZ_SECONDS:-20}"
fi
