#!/usr/bin/env bash
# End-to-end benchmark of the two build strategies on generated race-track
# scenes: per size, wall time and peak resident memory of
# `tarvel-cli compile --strategy literal` and `--strategy fast` (debug log
# off), their ratio, and whether the two .3do files are byte-identical.
#
# Usage: bench/run.sh [--sizes 1000,5000,20000,100000] [--seed S] [--corpus]
#                     [--literal-max N] [--timeout SECONDS] [--repeat N]
#   --corpus       the real meshes of bench/corpus/ (set up by bench/corpus.sh)
#                  instead of generated scenes, one row each, by file name
#   --literal-max  sizes above N skip the literal strategy (default 20000;
#                  it is quadratic per node and takes hours at 100k)
#   --timeout      per literal run; a run that exceeds it is killed and
#                  reported as "timeout" (default 3600)
#   --repeat       fast runs per size (default 3): fast_s is their median and
#                  fast_range their spread, since wall times on a shared
#                  machine vary by a fifth from run to run; the memory is the
#                  largest of them
set -euo pipefail
cd "$(dirname "$0")/.."

sizes=1000,5000,20000,100000
seed=1
literal_max=20000
timeout=3600
repeat=3
corpus=false
while [ $# -gt 0 ]; do
  case "$1" in
    --sizes) sizes="$2"; shift 2 ;;
    --seed) seed="$2"; shift 2 ;;
    --literal-max) literal_max="$2"; shift 2 ;;
    --timeout) timeout="$2"; shift 2 ;;
    --repeat) repeat="$2"; shift 2 ;;
    --corpus) corpus=true; shift ;;
    -h|--help) sed -n '2,19p' "$0"; exit 0 ;;
    *) echo "unknown argument: $1 (see --help)" >&2; exit 2 ;;
  esac
done

scripts/install-deps.sh
cmake --preset release -DTARVEL_BUILD_BENCH=ON >/dev/null
cmake --build --preset release -j "$(nproc)" --target tarvel-cli tarvel-scene-gen tarvel-bench-measure

bin=build/release
cli=$bin/src/cli/tarvel-cli
gen=$bin/bench/tarvel-scene-gen
measure=$bin/bench/tarvel-bench-measure
out=build/bench
mkdir -p "$out"

# compile STRATEGY SCENE TIMEOUT: leaves "seconds KiB status" in $out/result,
# the output and the messages in $out/<scene's name>_STRATEGY.3do and .log.
compile() {
  local strategy=$1 scene=$2 limit=$3
  local stem
  stem=$out/$(basename "${scene%.*}")_$strategy
  rm -f "$stem.3do"
  "$measure" "$out/result" "$limit" \
    "$cli" compile --strategy "$strategy" "$scene" -o "$stem.3do" >"$stem.log" 2>&1 || true
  cat "$out/result"
}

mib() { awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'; }

echo
echo "$(nproc) cores; release build; debug log off; seed $seed"
printf '%22s %10s %12s %10s %14s %8s %14s %12s %10s\n' \
  scene triangles literal_s fast_s fast_range ratio literal_MiB fast_MiB identical
# row SCENE TRIANGLES: the strategies on one scene, one line.
row() {
  local scene=$1 n=$2
  local times=() fast_kib=0 fast_status=0
  for ((r = 0; r < repeat; r++)); do
    read -r run_s run_kib run_status < <(compile fast "$scene" 0)
    [ "$run_status" = 0 ] || fast_status=$run_status
    times+=("$run_s")
    [ "$run_kib" -gt "$fast_kib" ] && fast_kib=$run_kib
  done
  sorted=$(printf '%s\n' "${times[@]}" | sort -g)
  fast_s=$(sed -n "$(((repeat + 1) / 2))p" <<<"$sorted")
  fast_range="$(head -n 1 <<<"$sorted")-$(tail -n 1 <<<"$sorted")"
  fast_col=$fast_s
  [ "$fast_status" = 0 ] || fast_col="failed($fast_status)"

  local literal_col=skipped ratio=- literal_mib=- identical=- stem
  stem=$out/$(basename "${scene%.*}")
  if [ "$n" -le "$literal_max" ]; then
    read -r lit_s lit_kib lit_status < <(compile literal "$scene" "$timeout")
    literal_mib=$(mib "$lit_kib")
    if [ "$lit_status" = 0 ]; then
      literal_col=$lit_s
      if [ "$fast_status" = 0 ]; then
        ratio=$(awk -v l="$lit_s" -v f="$fast_s" 'BEGIN { printf "%.1f", (f > 0 ? l / f : 0) }')
        if cmp -s "${stem}_literal.3do" "${stem}_fast.3do"; then
          identical=yes
        else
          identical=NO
        fi
      fi
    elif [ "$lit_status" = timeout ]; then
      literal_col=">$timeout(timeout)"
    else
      literal_col="failed($lit_status)"
    fi
  fi
  printf '%22s %10s %12s %10s %14s %8s %14s %12s %10s\n' "$(basename "$scene")" "$n" \
    "$literal_col" "$fast_col" "$fast_range" "$ratio" "$literal_mib" "$(mib "$fast_kib")" \
    "$identical"
}

if $corpus; then
  if ! compgen -G "bench/corpus/*" >/dev/null; then
    echo "bench/corpus/ is empty: run bench/corpus.sh first" >&2
    exit 1
  fi
  for scene in bench/corpus/*; do
    n=$("$cli" parse "$scene" 2>/dev/null | sed -n 's/.*polygons: \([0-9]*\).*/\1/p')
    if [ -z "$n" ]; then
      echo "$scene: not read" >&2
      continue
    fi
    row "$scene" "$n"
  done
else
  IFS=, read -r -a size_list <<<"$sizes"
  for n in "${size_list[@]}"; do
    scene=$out/track_$n.ase
    "$gen" --triangles "$n" --seed "$seed" -o "$scene" >/dev/null
    row "$scene" "$n"
  done
fi
echo "Scenes, outputs and each run's messages: $out/"
