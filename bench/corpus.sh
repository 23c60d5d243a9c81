#!/usr/bin/env bash
# Sets up bench/corpus/ (not tracked): real meshes that people made, copied
# from Debian data packages, for `bench/run.sh --corpus`. They go through the
# importer helper like any scene a user brings. Each lands in a folder named
# for its kind (terrain, building, vehicle, scanned, sculpted, mechanical),
# which the run's table shows. Needs apt-get's package lists (apt-get update
# once on a fresh machine); the packages come to about 260 MB.
#   libcgal-demo: scanned and sculpted closed meshes (bunny, armadillo,
#                 man; elephant, diplodocus, pig), mechanical parts (fandisk,
#                 blade, turbine, anchor, shark fin part), a building
#                 reconstructed from a scan (b9) and two stacked geological
#                 horizons (a heightfield), OFF and STL
#   crrcsim-data: model aircraft in AC3D, several materials each, and the
#                 flight field's terrain
#   stormbaancoureur-data: the racing game's terrain grid with its walls, 3DS
#   flightgear-data-models: buildings (a tower block, apartment blocks, a
#                 district of houses), an aircraft, an aircraft tug and an
#                 aircraft carrier with its deck (about 100,000 triangles),
#                 AC3D
#   morse-simulator-data: robot simulator scenes made in Blender 2.6: an
#                 outdoor terrain with buildings, a group of buildings, the
#                 inside of a building, an off-road car
# Usage: bench/corpus.sh
set -euo pipefail
cd "$(dirname "$0")/.."

# The packages are only unpacked, not installed: no root, no dependencies.
debs=build/bench/debs
mkdir -p "$debs/root"
for package in libcgal-demo crrcsim-data stormbaancoureur-data flightgear-data-models \
  morse-simulator-data; do
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
        man.off diplodocus.off armadillo.off bunny00.off refined_elephant.off b9_mesh.off
        horizons.off)
tar xzf "$debs/root/usr/share/doc/libcgal-dev/data.tar.gz" -C "$debs" "${meshes[@]/#/data/meshes/}"
cgal=$debs/data/meshes
put mechanical "$cgal"/{anchor_dense,mech-holes-shark,blade,turbine,fandisk_large}.off
put scanned "$cgal"/{man,armadillo,bunny00}.off
put sculpted "$cgal"/{diplodocus,refined_elephant}.off "$cgal/pig.stl"
put terrain "$cgal/horizons.off"
put building "$cgal/b9_mesh.off"

crrcsim=$debs/root/usr/share/games/crrcsim/objects
put vehicle "$crrcsim"/{Erwin,PilatusB4,Crossfire}.ac
put terrain "$crrcsim/woods_terrain.ac"

put terrain "$debs/root/usr/share/games/stormbaancoureur/models/terrain3.3ds"

models=$debs/root/usr/share/games/flightgear/Models
put building "$models"/Residential/{hochhaus_asemwald,lasnamae_korghoone,zone_maisons-ba}.ac
put vehicle "$models/Geometry/KC-130/KC-130.ac" "$models/Airport/Pushback/Goldhofert.ac" \
  "$models/Geometry/Nimitz/truman.ac"

morse=$debs/root/usr/share/morse/data
put terrain "$morse/environments/land-1/rosace_1.blend"
put building "$morse/environments/land-1/buildings_1.blend" \
  "$morse/environments/indoors-1/indoor-1.blend"
put vehicle "$morse/robots/hummer.blend"
ls -l "$corpus"/*
