#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz preset, clang) and runs each for a
# bounded time under AddressSanitizer and UndefinedBehaviorSanitizer.
# Fails on the first finding; the crashing input is kept in
# build/fuzz/artifacts/.
#
# Usage: scripts/fuzz.sh [SECONDS_PER_TARGET] [TARGET...]
# The .3do seeds are compiled from the ASE seeds with a tarvel-cli from the
# release or asan build, whichever is there.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(fuzz_ase_compile fuzz_threedo_read)
fi

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)"

build=build/fuzz
seeds=$build/seeds
mkdir -p "$seeds/fuzz_ase_compile" "$seeds/fuzz_threedo_read" "$build/artifacts"
cp fuzz/seeds/*.ase examples/*.ase "$seeds/fuzz_ase_compile/"
cli=
for candidate in build/release/src/cli/tarvel-cli build/asan/src/cli/tarvel-cli; do
  if [ -x "$candidate" ]; then cli=$candidate; break; fi
done
if [ -n "$cli" ]; then
  for ase in fuzz/seeds/*.ase examples/*.ase; do
    "$cli" compile "$ase" -o "$seeds/fuzz_threedo_read/$(basename "${ase%.ase}").3do" \
      >/dev/null 2>&1 || true
  done
else
  echo "no tarvel-cli built: fuzz_threedo_read starts without compiled seeds" >&2
fi

# The targets return at once above these sizes (see their kMaxInput).
declare -A max_len=([fuzz_ase_compile]=4096 [fuzz_threedo_read]=16384)

for target in "${targets[@]}"; do
  corpus=$build/corpus/$target
  mkdir -p "$corpus"
  echo "== $target for ${seconds}s"
  ASAN_OPTIONS=detect_leaks=1 "$build/fuzz/$target" "$corpus" "$seeds/$target" \
    -max_total_time="$seconds" -max_len="${max_len[$target]}" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$build/artifacts/$target-" 2>"$build/$target.log" || {
    tail -n 60 "$build/$target.log"
    echo "$target: finding, input kept under $build/artifacts/" >&2
    exit 1
  }
  grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb)' "$build/$target.log" || true
done
