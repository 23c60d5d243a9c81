#!/usr/bin/env bash
# Compiles the same scenes with the Linux build and, under wine, with the
# Windows build, and prints a table: the .3do bytes (cmp), the summary
# (standard output), the memo lines (standard error), the log text and the
# exit status must be the same on both. Each system works in a copy of the
# same tree, from its top, so that the names the messages carry are the same.
# Usage: scripts/windows-e2e.sh [LINUX_BUILD_DIR] [WINDOWS_BUILD_DIR]
#   (defaults build/release and build/windows)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
linux=$(cd "${1:-$root/build/release}" && pwd)
windows=$(cd "${2:-$root/build/windows}" && pwd)
export LC_ALL=C.UTF-8
# A run that goes wrong stops at 1 GiB a file instead of filling the disk.
ulimit -f 1048576

SECONDS=0
work=$windows/e2e
rm -rf "$work"
mkdir -p "$work/in"
cd "$work/in"

# --- the scenes --------------------------------------------------------------
crlf=village_crlf.ase
cp "$root/examples/village.ase" "$crlf"
tr -d '\r' <"$crlf" >village_lf.ase
"$linux/bench/tarvel-scene-gen" --triangles 20000 --seed 1 -o track_20k.ase >/dev/null
# A tree 10,000 levels deep, which the large stack carries; its build time grows
# with the square of the depth (under wine on a loaded 2-core machine: 30 s).
"$linux/bench/tarvel-scene-gen" --staircase 10000 -o staircase_10k.ase >/dev/null
# UTF-16 little-endian after a byte-order mark: read as bytes, as on Linux.
{ printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE "$crlf"; } >village_utf16.ase
# A Ctrl+Z byte, where a C runtime's text mode would see the end of the file.
awk 'NR == 2 { printf "*COMMENT \"\032\"\r\n" } { print }' "$crlf" >ctrl_z.ase
# Latin-1 bytes in the material names and the texture names the .3do holds.
sed -e 's/"Walls"/"Trib\xfcne"/' -e 's/"House"/"Ma\xefson \xe9t\xe9"/' \
    -e 's/brick\.tga/brique_\xe9t\xe9.tga/' -e 's/\\roof\.tga/\\\xfcberdach.tga/' \
    "$crlf" >latin1_names.ase
# Sub-materials 1,000 deep under the example's first material.
awk 'BEGIN { for (i = 0; i < 1000; i++) head = head "*NUMSUBMTLS 1\r\n*SUBMATERIAL 0 {\r\n"
             for (i = 0; i < 1000; i++) tail = tail "}\r\n" }
     /\*MATERIAL_NAME "Grass"/ && !done { print; printf "%s%s", head, tail; done = 1; next }
     { print }' "$crlf" >submaterials_1000.ase
mkdir -p "Pistes/Écurie" "競技場"
cp "$crlf" "Pistes/Écurie/tribune.ase"
cp "$crlf" "競技場/観客席.ase"
# Through the import helper: a format the scene library reads.
printf 'v 0 0 0\nv 10 0 0\nv 0 10 0\nv 0 0 10\nf 1 2 3\nf 1 2 4\nf 1 3 4\nf 2 3 4\n' >tetra.obj

scenes=(village_crlf.ase village_lf.ase track_20k.ase staircase_10k.ase village_utf16.ase
        ctrl_z.ase latin1_names.ase submaterials_1000.ase "Pistes/Écurie/tribune.ase"
        "競技場/観客席.ase" tetra.obj)

# The debug log of the large scenes runs to gigabytes; they go without one.
logged() {
  case $1 in track_20k.ase | staircase_10k.ase) return 1 ;; esac
}

cp -r "$work/in" "$work/linux"
cp -r "$work/in" "$work/windows"

# --- the runs ------------------------------------------------------------------
# run SYSTEM SCENE COMMAND...: compiles SCENE in SYSTEM's tree; the results go
# beside the output.
run() {
  local system=$1 scene=$2
  shift 2
  local out="${scene%.*}.3do" log=()
  local status=0
  if logged "$scene"; then
    log=(--log "${scene%.*}.log")
  fi
  (cd "$work/$system" &&
     "$@" compile "$scene" -o "$out" "${log[@]}" >"$out.stdout" 2>"$out.stderr") || status=$?
  echo "$status" >"$work/$system/$out.status"
}

wine_run=$windows/wine-run.sh
for scene in "${scenes[@]}"; do
  run linux "$scene" "$linux/src/cli/tarvel-cli"
  run windows "$scene" "$wine_run" "$windows/src/cli/tarvel-cli.exe"
done

# --- the table ---------------------------------------------------------------
# same FILE: "same" when both systems wrote it alike (or neither wrote it).
same() {
  local a="$work/linux/$1" b="$work/windows/$1"
  if [ ! -e "$a" ] && [ ! -e "$b" ]; then
    echo "none"
  elif [ -e "$a" ] && [ -e "$b" ] && cmp -s "$a" "$b"; then
    echo "same"
  else
    echo "DIFFER"
  fi
}

failed=0
printf '%-28s %-7s %-7s %-7s %-7s %s\n' scene .3do stdout stderr log exit
for scene in "${scenes[@]}"; do
  out="${scene%.*}.3do"
  row=("$(same "$out")" "$(same "$out.stdout")" "$(same "$out.stderr")" "$(same "${scene%.*}.log")")
  exit_linux=$(cat "$work/linux/$out.status")
  exit_windows=$(cat "$work/windows/$out.status")
  exit_cell="$exit_linux"
  if [ "$exit_linux" != "$exit_windows" ]; then
    exit_cell="DIFFER ($exit_linux/$exit_windows)"
  fi
  # Padded by characters, not bytes, for the names in Unicode.
  printf '%s%*s %-7s %-7s %-7s %-7s %s\n' "$scene" $((28 - ${#scene})) "" "${row[@]}" "$exit_cell"
  case " ${row[*]} $exit_cell" in *DIFFER*) failed=$((failed + 1)) ;; esac
done

printf 'windows e2e: %d of %d scenes alike on both systems (%d s)\n' \
  $((${#scenes[@]} - failed)) "${#scenes[@]}" "$SECONDS"
[ "$failed" -eq 0 ]
