#!/usr/bin/env bash
# Builds the fuzz targets with clang into build-fuzz/ and runs each over its
# seeds (the repository's own data and the committed regression cases in
# fuzz/corpus/TARGET) for SECONDS seconds. A crash, leak, timeout or
# out-of-memory fails the run and leaves the input in build-fuzz/artifacts/;
# add it to fuzz/corpus/TARGET as a regression case once mended.
# Usage: fuzz/run.sh [SECONDS] [TARGET...]      (default: 20 s, every target)
# The targets run SONARIS_FUZZ_JOBS at a time (default: one per core).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-20}
shift || true
build=${SONARIS_FUZZ_BUILD_DIR:-$root/build-fuzz}

# SONARIS_FUZZ_NO_BUILD=1 runs the targets already built (several runs at once).
if [ "${SONARIS_FUZZ_NO_BUILD:-}" != 1 ]; then
  CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DSONARIS_FUZZ=ON -DSONARIS_TESTS=OFF >/dev/null
  cmake --build "$build" -j"$(nproc)" >/dev/null
fi

seeds_root=$(mktemp -d)
trap 'rm -rf "$seeds_root"' EXIT
data=$build/data

# seeds TARGET FILE...: copies of the files that serve as that target's seeds.
seeds() {
  local dir=$seeds_root/$1
  shift
  mkdir -p "$dir"
  local f
  for f in "$@"; do [ -f "$f" ] && cp "$f" "$dir/$(basename "$f")"; done
  return 0
}
seeds ini "$root/data/SONARIS.INI"
seeds settings "$root/data/SONARIS.INI"
seeds diphone_rules "$root/data/regras.rgr"
seeds diphone_exceptions "$root/data/portug.exc"
seeds recorded_wav "$data"/som/letras/_6[5-9].wav "$data"/som/letras/_vinte.wav
seeds wave_play "$data"/som/letras/_7[0-4].wav "$data"/som/letras/_cem.wav
seeds speak_text
split -l 1 -a 3 "$root/data/corpus/selenor.txt" "$seeds_root/speak_text/line-"
# A small database in the target's own layout: index length, index, samples.
python3 - "$data/som/difones/DIFONES2" "$seeds_root/diphone_database" <<'PY'
import os, struct, sys
base, out = sys.argv[1], sys.argv[2]
os.makedirs(out, exist_ok=True)
if os.path.exists(base + ".IND"):
    index = open(base + ".IND", "rb").read()[:15 * 40]
    samples = open(base + ".DIF", "rb").read()[:60000]
    open(os.path.join(out, "small"), "wb").write(struct.pack("<H", len(index)) + index + samples)
PY
for toada in nrl exc abr pro dfn nrm; do
  seeds "toada_$toada" "$root"/data/toada/*."$toada" "$data"/toada/*."$toada"
done
seeds toada_text "$root/data/corpus/selenor.txt" "$root/bench/bench-toada-prepare/noticias.txt"

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for exe in "$build"/fuzz/fuzz_*; do targets+=("$(basename "$exe" | sed 's/^fuzz_//')"); done
fi
mkdir -p "$build/artifacts"
export SONARIS_DATA=$data
# SONARIS_FUZZ_JOBS targets at once (default: one per core).
parallel=${SONARIS_FUZZ_JOBS:-$(nproc)}

# fuzz_one TARGET: one run; its log and its exit status go to artifacts/.
fuzz_one() {
  local t=$1 status=0
  mkdir -p "$root/fuzz/corpus/$t" "$seeds_root/$t" "$seeds_root/new-$t"
  "$build/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$build/artifacts/$t-" \
    "$seeds_root/new-$t" "$root/fuzz/corpus/$t" "$seeds_root/$t" \
    >"$build/artifacts/$t.log" 2>&1 || status=$?
  echo "$status" >"$build/artifacts/$t.status"
}

for t in "${targets[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$parallel" ]; do wait -n || true; done
  fuzz_one "$t" &
done
wait

failed=0
for t in "${targets[@]}"; do
  if [ "$(cat "$build/artifacts/$t.status")" = 0 ]; then
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$build/artifacts/$t.log" | grep -o '[0-9]*$')
    echo "fuzz $t: ok, ${runs:-?} runs in ${seconds} s"
  else
    echo "fuzz $t: FAILED (log: $build/artifacts/$t.log)"
    tail -n 30 "$build/artifacts/$t.log"
    failed=$((failed + 1))
  fi
done
echo "fuzz: $(( ${#targets[@]} - failed )) passed, $failed failed"
[ "$failed" = 0 ]
