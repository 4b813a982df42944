#!/usr/bin/env bash
# Fetches the MBROLA synthesizer and the Brazilian voices br1, br3 and br4
# into third_party/mbrola/ (git-ignored), keeping only the executable and the
# voice databases:
#   third_party/mbrola/bin/mbrola
#   third_party/mbrola/share/mbrola/<voice>/...
# The packages live in Debian's contrib and non-free components. The system's
# apt sources are never changed: a private apt configuration copies the
# machine's own Debian entries with "contrib non-free" added and keeps its
# package lists and cache in a temporary folder.
# Does nothing when everything is already there. On failure it says why and
# exits non-zero; nothing outside third_party/mbrola/ is touched.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
dest="$root/third_party/mbrola"
voices="br1 br3 br4"

have_all() {
  [ -x "$dest/bin/mbrola" ] || return 1
  local v
  for v in $voices; do [ -f "$dest/share/mbrola/$v/$v" ] || return 1; done
}

fail() { echo "fetch-mbrola: $*" >&2; exit 1; }

if have_all; then exit 0; fi

command -v apt-get >/dev/null || fail "apt-get não encontrado (é preciso um sistema Debian)."
command -v dpkg-deb >/dev/null || fail "dpkg-deb não encontrado."

# shellcheck disable=SC1091
codename="$(. /etc/os-release 2>/dev/null && echo "${VERSION_CODENAME:-}")"
[ -n "$codename" ] || fail "não foi possível saber a versão do Debian (/etc/os-release)."

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/lists/partial" "$work/cache/archives/partial" "$work/debs" "$work/x"

# One-line entries ("deb [opts] uri suite comps") from both source formats,
# keeping only the Debian release entries (suites of this machine's codename).
{
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] && sed -e 's/#.*//' "$f"
  done
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    awk '
      function flush(   i, n, t, u, s, nt, nu, ns, opt) {
        if (types != "" && enabled != "no") {
          opt = (signed != "") ? "[signed-by=" signed "] " : ""
          nt = split(types, t, " "); nu = split(uris, u, " "); ns = split(suites, s, " ")
          for (i = 1; i <= nt; i++) for (n = 1; n <= nu; n++) for (k = 1; k <= ns; k++)
            print t[i] " " opt u[n] " " s[k] " " comps
        }
        types = uris = suites = comps = signed = enabled = ""
      }
      /^[ \t]*#/ { next }
      /^[ \t]*$/ { flush(); next }
      {
        key = tolower($1); sub(/:$/, "", key)
        val = $0; sub(/^[^:]*:[ \t]*/, "", val)
        if (key == "types") types = val
        else if (key == "uris") uris = val
        else if (key == "suites") suites = val
        else if (key == "components") comps = val
        else if (key == "signed-by") signed = val
        else if (key == "enabled") enabled = tolower(val)
      }
      END { flush() }' "$f"
  done
} | awk -v cn="$codename" '
  $1 != "deb" { next }
  {
    i = 2; opts = ""
    if ($2 ~ /^\[/) {
      while (i <= NF && $i !~ /\]$/) { opts = opts $i " "; i++ }
      opts = opts $i " "; i++
    }
    uri = $i; suite = $(i + 1)
    if (suite != cn && index(suite, cn "-") != 1 && index(suite, cn "/") != 1) next
    comps = "main contrib non-free"
    line = "deb " opts uri " " suite " " comps
    if (!(line in seen)) { seen[line] = 1; print line }
  }' >"$work/sources.list"

[ -s "$work/sources.list" ] || fail "nenhuma entrada Debian ($codename) nas fontes do apt desta máquina."

apt_opts=(
  -o "Dir::Etc::SourceList=$work/sources.list"
  -o "Dir::Etc::SourceParts=/dev/null"
  -o "Dir::State::Lists=$work/lists"
  -o "Dir::State::Status=/var/lib/dpkg/status"
  -o "Dir::Cache=$work/cache"
  -o "Debug::NoLocking=1"
  -o "APT::Sandbox::User=root"
)

echo "fetch-mbrola: atualizando a lista de pacotes (contrib, non-free)..." >&2
if ! apt-get "${apt_opts[@]}" -qq update >"$work/update.log" 2>&1; then
  cat "$work/update.log" >&2
  fail "apt-get update falhou (sem rede?)."
fi

pkgs="mbrola"
for v in $voices; do pkgs="$pkgs mbrola-$v"; done
echo "fetch-mbrola: baixando $pkgs..." >&2
# shellcheck disable=SC2086
if ! (cd "$work/debs" && apt-get "${apt_opts[@]}" -qq download $pkgs) >"$work/dl.log" 2>&1; then
  # apt-get update exits 0 even when no list could be fetched: its warnings
  # tell why the packages are unknown (no network, no contrib/non-free).
  grep -E '^(W|E):' "$work/update.log" >&2 || true
  cat "$work/dl.log" >&2
  fail "apt-get download falhou."
fi

for deb in "$work"/debs/*.deb; do
  dpkg-deb -x "$deb" "$work/x" || fail "não foi possível abrir $(basename "$deb")."
done

[ -x "$work/x/usr/bin/mbrola" ] || fail "o pacote mbrola não trouxe usr/bin/mbrola."
for v in $voices; do
  [ -d "$work/x/usr/share/mbrola/$v" ] || fail "o pacote mbrola-$v não trouxe a voz $v."
done

# Assemble beside the destination, then swap in, so a failure leaves no half copy.
new="$dest.new.$$"
rm -rf "$new"
mkdir -p "$new/bin" "$new/share"
cp "$work/x/usr/bin/mbrola" "$new/bin/mbrola"
cp -r "$work/x/usr/share/mbrola" "$new/share/mbrola"
rm -rf "$dest"
mv "$new" "$dest"
have_all || fail "a cópia em $dest ficou incompleta."
echo "fetch-mbrola: MBROLA e as vozes $voices em $dest" >&2
