#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: once in a normal
# build and once under AddressSanitizer and UndefinedBehaviorSanitizer.
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
