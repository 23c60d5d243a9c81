#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz preset, clang) and runs each under
# AddressSanitizer and UndefinedBehaviorSanitizer. Fails on the first
# finding; the crashing input is kept in build/fuzz/artifacts/.
#
# Usage: scripts/fuzz.sh [SECONDS_PER_TARGET | --fixed] [TARGET...]
#   SECONDS  explore: a random seed, for that long, growing the corpus in
#            build/fuzz/corpus/ from one run to the next
#   --fixed  the test suite's run: seed 1, a fixed number of inputs and a
#            fresh corpus, so the same build finds the same things everywhere
# Both first replay fuzz/regressions/<target>/, the inputs of past findings.
# The .3do seeds are compiled from the ASE seeds with a tarvel-cli from the
# release or asan build, whichever is there.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
shift || true
fixed=false
if [ "$seconds" = --fixed ]; then
  fixed=true
  seconds=600  # only a cap: the run count ends a fixed run well before
fi
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(fuzz_ase_compile fuzz_threedo_read fuzz_scene_decode)
fi

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)"

build=build/fuzz
seeds=$build/seeds
mkdir -p "$seeds/fuzz_ase_compile" "$seeds/fuzz_threedo_read" "$seeds/fuzz_scene_decode" \
  "$build/artifacts"
cp fuzz/seeds/*.ase examples/*.ase "$seeds/fuzz_ase_compile/"
cp fuzz/seeds/*.tvscene "$seeds/fuzz_scene_decode/"
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
declare -A max_len=([fuzz_ase_compile]=4096 [fuzz_threedo_read]=16384 [fuzz_scene_decode]=4096)
# About a minute each under the sanitizers. Each ASE text is compiled along
# the tool's threaded path and saved, and small ones literally besides.
declare -A fixed_runs=([fuzz_ase_compile]=10000 [fuzz_threedo_read]=1000000
                        [fuzz_scene_decode]=2000000)

for target in "${targets[@]}"; do
  corpus=$build/corpus/$target
  budget=(-max_total_time="$seconds")
  if $fixed; then
    corpus=$build/fixed-corpus/$target
    rm -rf "$corpus"
    budget+=(-seed=1 -runs="${fixed_runs[$target]}")
    echo "== $target, ${fixed_runs[$target]} inputs from seed 1"
  else
    echo "== $target for ${seconds}s"
  fi
  mkdir -p "$corpus" "fuzz/regressions/$target"
  ASAN_OPTIONS=detect_leaks=1 "$build/fuzz/$target" "$corpus" "$seeds/$target" "fuzz/regressions/$target" \
    "${budget[@]}" -max_len="${max_len[$target]}" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$build/artifacts/$target-" 2>"$build/$target.log" || {
    tail -n 60 "$build/$target.log"
    echo "$target: finding, input kept under $build/artifacts/" >&2
    exit 1
  }
  grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb)' "$build/$target.log" || true
done
