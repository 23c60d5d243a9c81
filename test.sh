#!/usr/bin/env bash
# Installs what is missing, builds the release preset and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-deps.sh

jobs=$(nproc)
cmake --preset release >/dev/null
cmake --build --preset release -j "$jobs"
QT_QPA_PLATFORM=offscreen ctest --preset release -j "$jobs" --label-exclude slow
