#!/usr/bin/env bash
# Configures and builds Sonaris into build/ (or $SONARIS_BUILD_DIR).
# Extra arguments go to CMake's configure step, e.g. -DSONARIS_SANITIZE=ON.
# SONARIS_TARGET builds one target instead of everything.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${SONARIS_BUILD_DIR:-$root/build}
launcher=()
# ccache, where installed, makes a second build of the same sources cheap.
# Paths are taken relative to the checkout, so a second clone hits too.
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR=$root CCACHE_NOHASHDIR=1
fi
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" "$@" >/dev/null
cmake --build "$build" -j"$(nproc)" --target "${SONARIS_TARGET:-all}"
