#!/usr/bin/env bash
# Installs what is missing, builds what Selenor needs (not the tests), and
# starts it from the build folder, where the build left the speech data and
# a SONARIS.INI that points at it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/bootstrap.sh"
SONARIS_TARGET=sonaris_runtime "$root/scripts/build.sh"
build=${SONARIS_BUILD_DIR:-$root/build}
cd "$build"
exec ./app/selenor "$@"
