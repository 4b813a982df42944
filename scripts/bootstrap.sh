#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Sonaris need.
# Only what is missing is installed; safe to run again.
set -euo pipefail

build_pkgs="build-essential cmake pkg-config libgtest-dev libgmock-dev libbenchmark-dev
  libsdl2-dev libsdl2-ttf-dev libfontconfig-dev fonts-dejavu-core
  libespeak-ng-dev espeak-ng espeak-ng-data libspeechd-dev libbrlapi-dev xdg-utils scdoc
  speech-dispatcher speech-dispatcher-espeak-ng"
test_pkgs="clang ccache python3 brltty tmux xvfb xdotool xclip sox x11-utils x11-apps x11-xkb-utils man-db"

want="$build_pkgs"
if [ "${1:-}" = "--tests" ]; then want="$want $test_pkgs"; fi

missing=""
for p in $want; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  echo "Instalando pacotes:$missing" >&2
  sudo_cmd=""
  if [ "$(id -u)" != 0 ]; then sudo_cmd="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $sudo_cmd apt-get update -qq
  # shellcheck disable=SC2086
  $sudo_cmd apt-get install -y -qq --no-install-recommends $missing
fi

# MBROLA and its Brazilian voices for the Toada voice, into third_party/mbrola
# (nothing to do when they are there). Without them everything else still
# builds and runs, and the tests that need them say they were skipped.
"$(dirname "$0")/fetch-mbrola.sh" ||
  echo "MBROLA não foi baixado: a voz Toada fica indisponível." >&2
