#!/usr/bin/env bash
# Builds, for the Windows cross build, the libraries Debian ships no Windows
# build of: minizip, libpng and assimp (importers only) from Debian's own
# source packages at the versions this system has installed, GoogleTest from
# /usr/src/googletest, and a header directory with CLI11, stb and utf8cpp.
# zlib comes from libz-mingw-w64-dev.
#
# The result is cached outside the clone, in
#   ${TARVEL_DEPS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/tarvel}/win64-<versions>
# with a link "win64" beside it that the toolchain file follows; a second run
# with the same versions builds nothing, and a run that was stopped goes on
# from the last step it finished. Prints the prefix on its last line.
#
# Sources come through apt with a private configuration (its own source list,
# made of deb-src lines for the mirrors already configured, its own lists and
# cache): no system file is changed.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cache=${TARVEL_DEPS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/tarvel}
triple=x86_64-w64-mingw32
jobs=$(nproc)
# Raised whenever the way the libraries are built changes, so that an old
# cache is not taken for a new one.
recipe=1

source_version() { dpkg-query -W -f='${source:Version}' "$1"; }

png_version=$(source_version libpng-dev)
assimp_version=$(source_version libassimp-dev)
minizip_version=$(source_version libminizip-dev)
gtest_version=$(source_version googletest)
cli11_version=$(source_version libcli11-dev)
zlib_version=$(source_version libz-mingw-w64-dev)

key="r$recipe-png$png_version-assimp$assimp_version-minizip$minizip_version"
key+="-gtest$gtest_version-cli11$cli11_version-zlib$zlib_version"
key=$(printf '%s' "$key" | tr ':~+' '._p')
prefix="$cache/win64-$key"

if [ -f "$prefix/.complete" ]; then
  ln -sfn "$(basename "$prefix")" "$cache/win64"
  echo "$prefix"
  exit 0
fi

work="$cache/work-$key"
# The steps a stopped run finished are marked in the work directory; without
# the prefix they marked, they are done again.
[ -d "$prefix" ] || rm -rf "$work"
trap 'echo "windows-deps: failed; the logs are in $work" >&2' ERR
mkdir -p "$work/src" "$prefix/include" "$prefix/lib/pkgconfig"

# step NAME COMMAND...: runs COMMAND unless an earlier run finished it.
step() {
  local name=$1
  shift
  [ -f "$work/.done-$name" ] && return 0
  "$@"
  touch "$work/.done-$name"
}

# --- sources through a private apt configuration ---------------------------

apt_dir="$work/apt"
apt_opts=(-o "Dir::Etc::SourceList=$apt_dir/sources.list"
          -o "Dir::Etc::SourceParts=$apt_dir/sources.list.d"
          -o "Dir::State::Lists=$apt_dir/lists"
          -o "Dir::Cache=$apt_dir/cache"
          -o "APT::Sandbox::User=root" -q)

setup_apt() {
mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$apt_dir/sources.list.d"
: >"$apt_dir/sources.list"
for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
  [ -f "$f" ] || continue
  sed -n 's/^[[:space:]]*deb[[:space:]]\+/deb-src /p' "$f" >>"$apt_dir/sources.list"
done
# deb822 stanzas: each one of type deb, again with type deb-src.
for f in /etc/apt/sources.list.d/*.sources; do
  [ -f "$f" ] || continue
  awk 'BEGIN { RS = ""; FS = "\n" }
       { out = ""; deb = 0
         for (i = 1; i <= NF; i++) {
           if ($i ~ /^#/) continue
           if ($i ~ /^Types:/) { if ($i ~ /[[:space:]]deb([[:space:]]|$)/) deb = 1; out = out "Types: deb-src\n" }
           else out = out $i "\n"
         }
         if (deb) printf "%s\n", out }' "$f" >"$apt_dir/sources.list.d/$(basename "$f")"
done
# A mirror without source indexes only warns; the fetch below fails if the
# package cannot be found at all.
apt-get "${apt_opts[@]}" update >"$work/apt-update.log" 2>&1 || true
}

# Fetches and unpacks (with Debian's patches applied) source package $1 at
# version $2 into $work/src/$1. A mirror may list a security update whose
# files it does not hold; then the next newest version of the index is used.
fetch_source() {
  local pkg=$1 want=$2 v
  local versions
  versions=$( (echo "$want"; apt-cache "${apt_opts[@]}" showsrc "$pkg" |
               sed -n 's/^Version: //p' | sort -u |
               sort -r -t' ' -k1,1 --version-sort) | awk '!seen[$0]++')
  for v in $versions; do
    if (cd "$work/src" && apt-get "${apt_opts[@]}" source --download-only "$pkg=$v" \
          >>"$work/apt-source.log" 2>&1); then
      rm -rf "${work:?}/src/$pkg"
      dpkg-source --no-check -x "$work/src/${pkg}_${v#*:}.dsc" "$work/src/$pkg" \
        >>"$work/apt-source.log" 2>&1
      echo "$pkg $v" >>"$prefix/VERSIONS"
      return 0
    fi
  done
  echo "windows-deps: cannot fetch the source package $pkg (see $work/apt-source.log)" >&2
  return 1
}

step apt setup_apt
step fetch-minizip fetch_source minizip "$minizip_version"
step fetch-libpng fetch_source libpng1.6 "$png_version"
step fetch-assimp fetch_source assimp "$assimp_version"

# --- headers ----------------------------------------------------------------
# Copied one library at a time: the host's /usr/include as a whole must never
# be on the cross compiler's path.
copy_headers() {
  cp -r /usr/include/CLI "$prefix/include/"
  # Debian's CLI11 package files find the headers relative to themselves.
  mkdir -p "$prefix/share/cmake"
  cp -r /usr/share/cmake/CLI11 "$prefix/share/cmake/"
  cp -r /usr/include/stb "$prefix/include/"
  cp -r /usr/include/utf8cpp/. "$prefix/include/"
}
step headers copy_headers

toolchain=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake"
           -DTARVEL_WIN64_PREFIX="$prefix" -DCMAKE_INSTALL_PREFIX="$prefix"
           -DCMAKE_BUILD_TYPE=Release -G Ninja)
export PKG_CONFIG_LIBDIR="$prefix/lib/pkgconfig"
export PKG_CONFIG_PATH=""

# --- minizip: a handful of C files; its autotools build is not worth running.
build_minizip() {
  local s="$work/src/minizip" o="$work/build-minizip" f
  mkdir -p "$o" "$prefix/include/minizip"
  for f in ioapi mztools unzip zip iowin32; do
    nice -n 10 $triple-gcc-posix -O2 -I/usr/$triple/include -c "$s/$f.c" -o "$o/$f.o" \
      >>"$work/minizip.log" 2>&1
  done
  $triple-ar rcs "$prefix/lib/libminizip.a" "$o"/*.o
  cp "$s"/{crypt,ioapi,mztools,unzip,zip,iowin32}.h "$prefix/include/minizip/"
  cat >"$prefix/lib/pkgconfig/minizip.pc" <<EOF
prefix=$prefix
libdir=\${prefix}/lib
includedir=\${prefix}/include/minizip

Name: minizip
Description: Minizip zip file manipulation library
Version: ${minizip_version%%-*}
Libs: -L\${libdir} -lminizip -lz
Cflags: -I\${includedir}
EOF
}

build_cmake() {
  local name=$1 src=$2
  shift 2
  nice -n 10 cmake -S "$src" -B "$work/build-$name" "${toolchain[@]}" "$@" >"$work/$name.log" 2>&1
  nice -n 10 cmake --build "$work/build-$name" -j "$jobs" >>"$work/$name.log" 2>&1
  cmake --install "$work/build-$name" >>"$work/$name.log" 2>&1
}

step minizip build_minizip

step libpng build_cmake libpng "$work/src/libpng1.6" \
  -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
  -DSKIP_INSTALL_PROGRAMS=ON -DSKIP_INSTALL_FILES=ON

step googletest build_cmake googletest /usr/src/googletest \
  -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON -Dgtest_force_shared_crt=OFF

# Debian makes the system's draco library required; draco has no Windows
# build, so that patch is taken out again and assimp built without draco.
undo_draco_patch() {
  (cd "$work/src/assimp" && patch -R -p1 <debian/patches/use-system-libdraco.patch >/dev/null)
}
step assimp-nodraco undo_draco_patch
# Debian unbundled stb and utf8cpp from assimp: they come from the prefix.
step assimp build_cmake assimp "$work/src/assimp" \
  -DCMAKE_CXX_FLAGS="-isystem $prefix/include" \
  -DBUILD_SHARED_LIBS=OFF -DASSIMP_NO_EXPORT=ON \
  -DASSIMP_BUILD_ALL_EXPORTERS_BY_DEFAULT=OFF \
  -DASSIMP_BUILD_ASSIMP_TOOLS=OFF -DASSIMP_BUILD_TESTS=OFF \
  -DASSIMP_BUILD_SAMPLES=OFF -DASSIMP_BUILD_DOCS=OFF \
  -DASSIMP_BUILD_ZLIB=OFF -DASSIMP_BUILD_DRACO=OFF \
  -DASSIMP_WARNINGS_AS_ERRORS=OFF -DASSIMP_INSTALL_PDB=OFF \
  -DASSIMP_DOUBLE_PRECISION=OFF

for f in /usr/share/doc/libcli11-dev/copyright /usr/share/doc/libstb-dev/copyright \
         /usr/share/doc/libutfcpp-dev/copyright /usr/share/doc/libz-mingw-w64-dev/copyright; do
  if [ -f "$f" ]; then
    mkdir -p "$prefix/licences/$(basename "$(dirname "$f")")"
    cp "$f" "$prefix/licences/$(basename "$(dirname "$f")")/"
  fi
done
for p in minizip libpng1.6 assimp; do
  mkdir -p "$prefix/licences/$p" && cp "$work/src/$p/debian/copyright" "$prefix/licences/$p/"
done

touch "$prefix/.complete"
ln -sfn "$(basename "$prefix")" "$cache/win64"
rm -rf "$work"
echo "$prefix"
