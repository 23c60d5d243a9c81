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
#   openscad:     CAD assemblies: mechanical parts of bench/cad/parts.scad
#                 exported at high resolution, copies placed so that they
#                 pass through one another at angles (a gearbox, an engine,
#                 a steel space frame), five textured materials and a
#                 clipper box each, OBJ; openscad is installed (install-deps
#                 --cad), since it runs
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

# The parts are exported once and kept with the packages.
scripts/install-deps.sh --cad
parts=build/bench/cad
mkdir -p "$parts"
for part in 0 1 2 3 4 5 6 7; do
  if [ ! -s "$parts/part$part.stl" ] || [ bench/cad/parts.scad -nt "$parts/part$part.stl" ]; then
    openscad -q -D "part=$part" -o "$parts/part$part.stl" bench/cad/parts.scad
  fi
done
mkdir -p "$corpus/cad"
cat >"$corpus/cad/finishes.mtl" <<'MTL'
newmtl steel
Kd 0.6 0.6 0.62
map_Kd steel.png
newmtl brass
Kd 0.7 0.6 0.3
map_Kd brass.png
newmtl cast_iron
Kd 0.3 0.3 0.3
map_Kd cast_iron.png
newmtl rubber
Kd 0.1 0.1 0.1
map_Kd rubber.png
newmtl paint
Kd 0.2 0.3 0.7
map_Kd paint_blue.png
newmtl clipper
Kd 1 1 1
map_Kd clipper.tga
MTL
# assemble NAME SEED HALF_SIDE PART:MATERIAL:COPIES...
assemble() {
  local name=$1 seed=$2 half=$3
  shift 3
  (cd "$parts" && awk -v seed="$seed" -v spread="$half" -v mtl=finishes.mtl \
    -f "$OLDPWD/bench/cad/assemble.awk" "$@") >"$corpus/cad/$name.obj"
}
# gears, gear wheels, shafts, bearings and bolts
assemble gearbox 11 70 part0.stl:steel:8 part1.stl:brass:8 part3.stl:steel:10 \
  part4.stl:cast_iron:10 part5.stl:paint:20
# pulleys, cranks, shafts, pipes and bolts
assemble engine 23 80 part2.stl:cast_iron:12 part7.stl:steel:12 part3.stl:steel:12 \
  part6.stl:rubber:20 part5.stl:brass:20
# tubes of a roof's space frame, with bolts and bearings at the joints
assemble space_frame 37 110 part6.stl:paint:100 part5.stl:steel:30 part4.stl:cast_iron:8
ls -l "$corpus"/*
