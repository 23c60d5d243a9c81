#!/usr/bin/env bash
# Sets up bench/corpus/ (not tracked): real meshes that people made, copied
# from Debian data packages, for `bench/run.sh --corpus`. They go through the
# importer helper like any scene a user brings. Each lands in a folder named
# for its kind (terrain, building, vehicle, scanned, sculpted, mechanical),
# which the run's table shows. Needs apt-get's package lists (apt-get update
# once on a fresh machine).
#   libcgal-demo: scanned and sculpted closed meshes (bunny, armadillo,
#                 man; elephant, diplodocus, pig) and mechanical parts
#                 (fandisk, blade, turbine, anchor, shark fin part), OFF and STL
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

# Laid anew each time, so that no file of an older layout stays behind.
corpus=bench/corpus
rm -rf "$corpus"
# put KIND FILE...: copies the files into the kind's folder.
put() {
  mkdir -p "$corpus/$1"
  cp "${@:2}" "$corpus/$1/"
}

meshes=(anchor_dense.off mech-holes-shark.off blade.off pig.stl turbine.off fandisk_large.off
        man.off diplodocus.off armadillo.off bunny00.off refined_elephant.off)
tar xzf "$debs/root/usr/share/doc/libcgal-dev/data.tar.gz" -C "$debs" "${meshes[@]/#/data/meshes/}"
cgal=$debs/data/meshes
put mechanical "$cgal"/{anchor_dense,mech-holes-shark,blade,turbine,fandisk_large}.off
put scanned "$cgal"/{man,armadillo,bunny00}.off
put sculpted "$cgal"/{diplodocus,refined_elephant}.off "$cgal/pig.stl"

crrcsim=$debs/root/usr/share/games/crrcsim/objects
put vehicle "$crrcsim"/{Erwin,PilatusB4,Crossfire}.ac

ls -l "$corpus"/*
