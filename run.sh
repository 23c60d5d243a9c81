#!/usr/bin/env bash
# Installs what is missing, builds the release preset and runs the main job on
# the bundled example. ./run.sh --gui opens the desktop window instead.
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-deps.sh

cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)"

if [ "${1:-}" = "--gui" ]; then
  exec build/release/src/app/tarvel
fi
build/release/src/cli/tarvel-cli compile examples/village.ase -o build/release/village.3do
