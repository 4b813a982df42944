#!/usr/bin/env bash
# Installs what is missing, builds, and starts Selenor from the build folder,
# where the build left the speech data and a SONARIS.INI that points at it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/bootstrap.sh"
"$root/scripts/build.sh"
build=${SONARIS_BUILD_DIR:-$root/build}
cd "$build"
exec ./app/selenor "$@"
