#!/usr/bin/env bash
# Installs the Debian packages the project needs, only those that are missing.
# Usage: scripts/install-deps.sh [--gui] [--fuzz] [--xvfb] [--cad] [--windows] [--packages]
#   --cad: the CAD program bench/corpus.sh exports the corpus's assemblies with
set -euo pipefail

packages=(g++ cmake ninja-build pkg-config libgtest-dev libgmock-dev libcli11-dev
          libbenchmark-dev libpng-dev qt6-base-dev libassimp-dev clang-format)
for arg in "$@"; do
  case "$arg" in
    --fuzz) packages+=(clang libclang-rt-14-dev) ;;
    --xvfb) packages+=(xvfb xauth) ;;
    --cad) packages+=(openscad) ;;
    # The Windows cross build and its tests under wine; scripts/windows-deps.sh
    # builds the rest from Debian's source packages (dpkg-dev unpacks them).
    --windows) packages+=(g++-mingw-w64-x86-64-posix libz-mingw-w64-dev wine64 nsis xvfb
                          dpkg-dev googletest libcli11-dev libstb-dev libutfcpp-dev
                          libminizip-dev patch) ;;
    # The .deb's dependencies (dpkg-shlibdeps) and the Windows installer.
    --packages) packages+=(dpkg-dev nsis unzip) ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
