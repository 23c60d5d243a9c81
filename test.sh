#!/usr/bin/env bash
# Installs what is missing, checks the formatting, then runs the whole test
# suite twice (release build, then AddressSanitizer + UndefinedBehaviorSanitizer
# with asserts on), the threaded tests under ThreadSanitizer, and each fuzz
# target: a fixed, seeded run by default, so that a build passes or fails
# the same everywhere; FUZZ_SECONDS=N explores for N seconds instead, 0 skips.
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-deps.sh --fuzz

jobs=$(nproc)
fuzz_seconds=${FUZZ_SECONDS:---fixed}

run_suite() {
  local preset=$1
  echo "== $preset build and tests"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  QT_QPA_PLATFORM=offscreen ctest --preset "$preset" -j "$jobs"
}

scripts/check-format.sh

run_suite release

# The sanitizers' options (the leak suppressions name only third-party
# libraries) live in the test presets, so ctest --preset asan by hand runs
# as this does.
run_suite asan

# The tests that run threads side by side, under ThreadSanitizer.
run_suite tsan

if [ "$fuzz_seconds" != 0 ]; then
  scripts/fuzz.sh "$fuzz_seconds"
fi
