#!/usr/bin/env bash
# End-to-end benchmark of the two build strategies on generated race-track
# scenes: per size, wall time and peak resident memory of
# `tarvel-cli compile --strategy literal` and `--strategy fast` (debug log
# off), their ratio, and whether the two .3do files are byte-identical.
#
# Then, per size of --log-sizes, one logged compile (`--log FILE`, fast
# strategy): the bytes of its debug log, its wall time, the log's
# throughput (log bytes / wall time), its CPU time and the bytes per CPU
# second (steadier on a shared machine), and whether its .3do is the
# unlogged one. Each log is deleted once measured; the 100,000-triangle
# one takes about 35 GB while it exists.
#
# Usage: bench/run.sh [--sizes 1000,5000,20000,100000] [--seed S] [--corpus]
#                     [--assembly [4,30,60,120]]
#                     [--literal-max N] [--timeout SECONDS] [--repeat N]
#                     [--log-sizes 20000,100000] [--log-dir DIR]
#   --corpus       the real meshes of bench/corpus/ (set up by bench/corpus.sh),
#                  a generated 123,000-triangle gear assembly and a 60-part
#                  assembly instead of generated tracks, one row each, by
#                  kind (the folder: terrain, building, vehicle, cad, ...)
#                  and file name
#   --assembly     instead, the sweep of generated assemblies of that many
#                  interpenetrating parts (1,536 triangles each); `growth`
#                  is a row's fast time over the row before it
#   --literal-max  sizes above N skip the literal strategy (default 20000;
#                  it is quadratic per node and takes hours at 100k)
#   --timeout      per literal run; a run that exceeds it is killed and
#                  reported as "timeout" (default 3600, 600 with --corpus:
#                  the corpus table gives the literal time where it ends
#                  within 10 minutes; add --literal-max 125000 to try every
#                  row, which takes a few hours)
#   --repeat       fast runs per size (default 3): fast_s is their median and
#                  fast_range their spread, since wall times on a shared
#                  machine vary by a fifth from run to run; the memory is the
#                  largest of them
#   --log-sizes    sizes compiled once more with the debug log ("" for none)
#   --log-dir      where the logs are written (default build/bench)
set -euo pipefail
cd "$(dirname "$0")/.."

sizes=1000,5000,20000,100000
seed=1
literal_max=20000
timeout=
repeat=3
corpus=false
assembly=
log_sizes=20000,100000
log_dir=
while [ $# -gt 0 ]; do
  case "$1" in
    --sizes) sizes="$2"; shift 2 ;;
    --seed) seed="$2"; shift 2 ;;
    --literal-max) literal_max="$2"; shift 2 ;;
    --timeout) timeout="$2"; shift 2 ;;
    --repeat) repeat="$2"; shift 2 ;;
    --corpus) corpus=true; shift ;;
    --assembly)
      assembly=4,30,60,120
      if [ $# -gt 1 ] && [[ $2 =~ ^[0-9,]+$ ]]; then assembly=$2; shift; fi
      shift ;;
    --log-sizes) log_sizes="$2"; shift 2 ;;
    --log-dir) log_dir="$2"; shift 2 ;;
    -h|--help) sed -n '2,37p' "$0"; exit 0 ;;
    *) echo "unknown argument: $1 (see --help)" >&2; exit 2 ;;
  esac
done
if [ -z "$timeout" ]; then
  if $corpus; then timeout=600; else timeout=3600; fi
fi

scripts/install-deps.sh
cmake --preset release -DTARVEL_BUILD_BENCH=ON >/dev/null
cmake --build --preset release -j "$(nproc)" --target tarvel-cli tarvel-scene-gen tarvel-bench-measure

bin=build/release
cli=$bin/src/cli/tarvel-cli
gen=$bin/bench/tarvel-scene-gen
measure=$bin/bench/tarvel-bench-measure
out=build/bench
mkdir -p "$out"
log_dir=${log_dir:-$out}
mkdir -p "$log_dir"

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
printf '%22s %10s %10s %12s %10s %14s %8s %14s %12s %8s %10s\n' \
  scene kind triangles literal_s fast_s fast_range ratio literal_MiB fast_MiB cpu/wall identical
# row SCENE KIND TRIANGLES: the strategies on one scene, one line.
row() {
  local scene=$1 kind=$2 n=$3
  local times=() fast_kib=0 fast_status=0 wall_sum=0 cpu_sum=0
  for ((r = 0; r < repeat; r++)); do
    read -r run_s run_kib run_status < <(compile fast "$scene" 0)
    [ "$run_status" = 0 ] || fast_status=$run_status
    times+=("$run_s")
    [ "$run_kib" -gt "$fast_kib" ] && fast_kib=$run_kib
    read -r wall_sum cpu_sum < <(awk -v w="$wall_sum" -v c="$cpu_sum" -v s="$run_s" \
      '$1 == "cpu" { print w + s, c + $2 }' "$out/result")
  done
  local cpu_wall
  cpu_wall=$(awk -v w="$wall_sum" -v c="$cpu_sum" 'BEGIN { printf "%.2f", (w > 0 ? c / w : 0) }')
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
  printf '%22s %10s %10s %12s %10s %14s %8s %14s %12s %8s %10s\n' "$(basename "$scene")" "$kind" "$n" \
    "$literal_col" "$fast_col" "$fast_range" "$ratio" "$literal_mib" "$(mib "$fast_kib")" \
    "$cpu_wall" "$identical"
  last_fast_s=$fast_s
}
# triangles SCENE: how many polygons the headless tool reads from it.
triangles() {
  "$cli" parse "$1" 2>/dev/null | sed -n 's/.*polygons: \([0-9]*\).*/\1/p'
}

if $corpus; then
  if ! compgen -G "bench/corpus/*/*" >/dev/null; then
    echo "bench/corpus/ is empty or of an older layout: run bench/corpus.sh" >&2
    exit 1
  fi
  for scene in bench/corpus/*/*; do
    [ "${scene##*.}" = mtl ] && continue
    n=$(triangles "$scene")
    if [ -z "$n" ]; then
      echo "$scene: not read" >&2
      continue
    fi
    row "$scene" "$(basename "$(dirname "$scene")")" "$n"
  done
  # The generated gear assembly turned off the axes: nearly every plane
  # crosses something and thousands of scores lie close together.
  scene=$out/gears.ase
  "$gen" --gears 123000 --seed "$seed" -o "$scene" >/dev/null
  row "$scene" generated "$(triangles "$scene")"
  # Curved parts passing through one another, as in a CAD export: long
  # chains of nodes that each peel a face of the hull off a large list.
  scene=$out/assembly_60.ase
  "$gen" --assembly 60 --seed "$seed" -o "$scene" >/dev/null
  row "$scene" generated "$(triangles "$scene")"
elif [ -n "$assembly" ]; then
  IFS=, read -r -a part_list <<<"$assembly"
  previous=
  for parts in "${part_list[@]}"; do
    scene=$out/assembly_$parts.ase
    "$gen" --assembly "$parts" --seed "$seed" -o "$scene" >/dev/null
    row "$scene" "${parts}parts" "$(triangles "$scene")"
    if [ -n "$previous" ]; then
      awk -v a="$previous" -v b="$last_fast_s" 'BEGIN { printf "%22s growth %.2f\n", "", b / a }'
    fi
    previous=$last_fast_s
  done
else
  IFS=, read -r -a size_list <<<"$sizes"
  for n in "${size_list[@]}"; do
    scene=$out/track_$n.ase
    "$gen" --triangles "$n" --seed "$seed" -o "$scene" >/dev/null
    row "$scene" track "$n"
  done
fi

# The scene of size $1, generated unless the table above made it.
scene_of() {
  local scene=$out/track_$1.ase
  [ -f "$scene" ] || "$gen" --triangles "$1" --seed "$seed" -o "$scene" >/dev/null
  echo "$scene"
}

if [ -n "$log_sizes" ]; then
  echo
  echo "Logged compiles (--log FILE, fast strategy); log in $log_dir, $(df -h "$log_dir" | awk 'NR == 2 { print $4 }') free"
  printf '%10s %12s %10s %10s %10s %12s %12s\n' triangles log_MB wall_s log_MB/s cpu_s \
    MB/cpu_s same_3do
  IFS=, read -r -a logged_list <<<"$log_sizes"
  for n in "${logged_list[@]}"; do
    # A track's log takes about 360 kB per triangle.
    need_kb=$((n * 400))
    free_kb=$(df -Pk "$log_dir" | awk 'NR == 2 { print $4 }')
    if [ "$free_kb" -lt "$need_kb" ]; then
      printf '%10s skipped: needs about %d GB free in %s\n' "$n" $((need_kb / 1000000)) "$log_dir"
      continue
    fi
    scene=$(scene_of "$n")
    plain=${scene%.ase}_plain.3do
    logged=${scene%.ase}_logged.3do
    log=$log_dir/track_$n.log.txt
    "$cli" compile "$scene" -o "$plain" >/dev/null 2>&1 || true
    rm -f "$logged"
    "$measure" "$out/result" 0 "$cli" compile "$scene" -o "$logged" --log "$log" \
      >"${scene%.ase}_logged.messages" 2>&1 || true
    read -r run_s _ run_status <"$out/result"
    cpu_s=$(awk '$1 == "cpu" { print $2 }' "$out/result")
    bytes=$(stat -c %s "$log" 2>/dev/null || echo 0)
    rm -f "$log"
    same=NO
    cmp -s "$plain" "$logged" && same=yes
    [ "$run_status" = 0 ] || same="failed($run_status)"
    awk -v b="$bytes" -v s="$run_s" -v c="${cpu_s:-0}" -v n="$n" -v same="$same" 'BEGIN {
      printf "%10s %12.1f %10s %10.1f %10s %12.1f %12s\n", n, b / 1e6, s,
        (s > 0 ? b / 1e6 / s : 0), c, (c > 0 ? b / 1e6 / c : 0), same }'
  done
fi
echo "Scenes, outputs and each run's messages: $out/"
