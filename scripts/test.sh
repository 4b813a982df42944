#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: once in a normal
# build and once under AddressSanitizer and UndefinedBehaviorSanitizer, then
# every fuzz target briefly.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/bootstrap.sh" --tests
jobs=$(nproc)

SONARIS_BUILD_DIR=$root/build "$root/scripts/build.sh"
(cd "$root/build" && ctest --output-on-failure -j"$jobs")

if [ "${SONARIS_SKIP_SANITIZE:-}" != 1 ]; then
  SONARIS_BUILD_DIR=$root/build-asan "$root/scripts/build.sh" -DSONARIS_SANITIZE=ON
  (cd "$root/build-asan" && ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS="suppressions=$root/tests/lsan.supp" ctest --output-on-failure -j"$jobs" -LE e2e)
fi

# Every fuzz target over its seeds and for a short while: a regression of a
# reader of outside data shows here (fuzz/run.sh 3600 TARGET for an hour).
if [ "${SONARIS_SKIP_FUZZ:-}" != 1 ]; then
  "$root/fuzz/run.sh" "${SONARIS_FUZZ_SECONDS:-20}"
fi
