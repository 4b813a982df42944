#!/usr/bin/env bash
# The Debian package: made with CPack, installed with dpkg, run from the
# PATH with its manual page, and removed without leaving a file behind.
# It changes the machine's installed packages, so it runs only where
# SONARIS_TEST_DEB=1 says that is wanted (CI's throwaway machine), as root.
# Usage: debian_package.sh BUILD_DIR
set -euo pipefail
build=$1
if [ "${SONARIS_TEST_DEB:-}" != 1 ] || [ "$(id -u)" != 0 ]; then
  echo "skipped: set SONARIS_TEST_DEB=1 and run as root to install the package"
  exit 77
fi
fail() { echo "FAIL debian_package: $*" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >/dev/null) ||
  fail "cpack did not make the package"
deb=$(ls "$work"/selenor_*.deb) || fail "no selenor_*.deb"
# The programs open these themselves when a back end is chosen: no
# library links them, so each must be named here.
for lib in libsdl2-2.0 libsdl2-ttf libfontconfig libespeak-ng libspeechd libbrlapi; do
  dpkg-deb -f "$deb" Depends | grep -q "$lib" || fail "Depends lacks $lib"
done
dpkg-deb -f "$deb" Suggests | grep -q mbrola-br4 || fail "Suggests lacks the MBROLA voices"
dpkg -i "$deb" >/dev/null || { apt-get install -f -y -qq >/dev/null; dpkg -i "$deb" >/dev/null; } ||
  fail "dpkg -i failed"
files=$(dpkg -L selenor | while read -r f; do [ -f "$f" ] && echo "$f"; done)
for f in $files; do
  cmp -s -n 4 "$f" <(printf '\177ELF') || continue
  ! readelf -S "$f" | grep -q '\.debug_info' || fail "$f is installed with its debugging data"
done
version=$(cd / && env -i PATH=/usr/bin:/bin selenor --version) || fail "selenor --version failed"
echo "$version" | grep -q Selenor || fail "unexpected --version: $version"
MANWIDTH=80 man -P cat selenor 2>/dev/null | grep -q "SONARIS_AUDIO" || fail "man selenor shows no page"
MANWIDTH=80 man -P cat 5 SONARIS.INI 2>/dev/null | grep -q "TIPOSAPI" || fail "man 5 SONARIS.INI shows no page"
# Removing keeps the speech-dispatcher module's settings, as Debian keeps
# every conffile; purging takes them too.
conffiles=$(dpkg-query -W -f='${Conffiles}' selenor | awk '{print $1}')
dpkg -r selenor >/dev/null || fail "dpkg -r failed"
for f in $files; do
  case " $conffiles " in *" $f "*) continue ;; esac
  [ ! -e "$f" ] || fail "$f is left after dpkg -r"
done
[ ! -e /usr/share/sonaris ] || fail "/usr/share/sonaris is left after dpkg -r"
dpkg --purge selenor >/dev/null || fail "dpkg --purge failed"
for f in $conffiles; do [ ! -e "$f" ] || fail "$f is left after dpkg --purge"; done
echo "ok debian_package"
