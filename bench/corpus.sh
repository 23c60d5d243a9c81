#!/usr/bin/env bash
# Sets up bench/corpus/ (not tracked): real meshes that people made, copied
# from Debian data packages, for `bench/run.sh --corpus`. They go through the
# importer helper like any scene a user brings. Needs apt-get's package lists
# (apt-get update once on a fresh machine).
#   libcgal-demo: scanned and sculpted closed meshes (bunny, armadillo,
#                 elephant, diplodocus, man) and mechanical parts (fandisk,
#                 blade, turbine, anchor, shark fin part, pig), OFF and STL
#   crrcsim-data: model aircraft (vehicles) in AC3D, several materials each
# Usage: bench/corpus.sh
set -euo pipefail
cd "$(dirname "$0")/.."

# The packages are only unpacked, not installed: no root, no dependencies.
debs=build/bench/debs
mkdir -p "$debs/root"
for package in libcgal-demo crrcsim-data; do
  if ! compgen -G "$debs/${package}_*.deb" >/dev/null; then
    (cd "$debs" && apt-get download -q "$package")
  fi
  dpkg-deb -x "$(compgen -G "$debs/${package}_*.deb" | head -n 1)" "$debs/root"
done

corpus=bench/corpus
mkdir -p "$corpus"
meshes=(anchor_dense.off mech-holes-shark.off blade.off pig.stl turbine.off fandisk_large.off
        man.off diplodocus.off armadillo.off bunny00.off refined_elephant.off)
tar xzf "$debs/root/usr/share/doc/libcgal-dev/data.tar.gz" -C "$debs" "${meshes[@]/#/data/meshes/}"
for mesh in "${meshes[@]}"; do
  cp "$debs/data/meshes/$mesh" "$corpus/"
done
for model in Erwin.ac PilatusB4.ac Crossfire.ac; do
  cp "$debs/root/usr/share/games/crrcsim/objects/$model" "$corpus/"
done
ls -l "$corpus"
