#!/usr/bin/env bash
# The huge-input checks: a 1,000,000-triangle race track and a
# 200,000-triangle staircase (a BSP tree as deep as the scene), each compiled
# with the fast strategy and the debug log off. Prints wall time, peak
# resident memory and the exit status of each compile, then checks each
# output with `tarvel-cli info`. Not part of ./test.sh: minutes, and the
# scenes take about 0.5 GB of disk under build/bench/.
#
# Usage: bench/huge.sh [--triangles N] [--staircase N]
set -euo pipefail
cd "$(dirname "$0")/.."

triangles=1000000
staircase=200000
while [ $# -gt 0 ]; do
  case "$1" in
    --triangles) triangles="$2"; shift 2 ;;
    --staircase) staircase="$2"; shift 2 ;;
    *) echo "unknown argument: $1" >&2; exit 2 ;;
  esac
done

scripts/install-deps.sh
cmake --preset release -DTARVEL_BUILD_BENCH=ON >/dev/null
cmake --build --preset release -j "$(nproc)" --target tarvel-cli tarvel-scene-gen tarvel-bench-measure

bin=build/release
cli=$bin/src/cli/tarvel-cli
measure=$bin/bench/tarvel-bench-measure
out=build/bench
mkdir -p "$out"

# check NAME SCENE: compile, report, verify.
check() {
  local name=$1 scene=$2 target=${2%.ase}.3do
  rm -f "$target"
  "$measure" "$out/result" 0 "$cli" compile --strategy fast "$scene" -o "$target" \
    >"$out/$name.log" 2>&1 || true
  read -r seconds kib status <"$out/result"
  printf '%-16s %8s s %9.1f MiB  exit %s\n' "$name" "$seconds" \
    "$(awk -v k="$kib" 'BEGIN { print k / 1024 }')" "$status"
  [ "$status" = 0 ] || { tail -n 5 "$out/$name.log"; return 1; }
  "$cli" info "$target" | tail -n 2
}

"$bin/bench/tarvel-scene-gen" --triangles "$triangles" --seed 1 -o "$out/track_huge.ase" >/dev/null
"$bin/bench/tarvel-scene-gen" --staircase "$staircase" -o "$out/staircase_huge.ase" >/dev/null
status=0
check "track_$triangles" "$out/track_huge.ase" || status=1
check "staircase_$staircase" "$out/staircase_huge.ase" || status=1
exit $status
