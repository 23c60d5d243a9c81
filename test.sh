#!/usr/bin/env bash
# Installs what is missing, checks the formatting, then runs the whole test
# suite twice (release build, then AddressSanitizer + UndefinedBehaviorSanitizer
# with asserts on), makes and checks the Linux package, runs the threaded tests
# under ThreadSanitizer, and each fuzz target: a fixed, seeded run by default,
# so that a build passes or fails the same everywhere; FUZZ_SECONDS=N explores
# for N seconds instead, 0 skips.
# Then the Windows cross build: its suite under wine, a table comparing its
# outputs with the Linux build's, and its zip and installer, installed and
# removed under wine. TARVEL_WINDOWS=0 leaves the Windows build out.
set -euo pipefail
cd "$(dirname "$0")"

windows=${TARVEL_WINDOWS:-1}
if [ "$windows" = 1 ]; then
  scripts/install-deps.sh --fuzz --packages --windows
else
  scripts/install-deps.sh --fuzz --packages
fi

jobs=$(nproc)
fuzz_seconds=${FUZZ_SECONDS:---fixed}

summaries=()
run_suite() {
  local preset=$1
  echo "== $preset build and tests"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  QT_QPA_PLATFORM=offscreen ctest --preset "$preset" -j "$jobs" |
    tee "build/$preset/ctest-summary.txt"
  summaries+=("$preset: $(grep -E 'tests passed' "build/$preset/ctest-summary.txt")")
}

scripts/check-format.sh

run_suite release

# The .deb made from that build, unpacked and run as a user would.
scripts/check-packages.sh linux

# The sanitizers' options (the leak suppressions name only third-party
# libraries) live in the test presets, so ctest --preset asan by hand runs
# as this does.
run_suite asan

# The tests that run threads side by side, under ThreadSanitizer.
run_suite tsan

if [ "$windows" = 1 ]; then
  # The Windows build: its libraries come from Debian's source packages, built
  # once and cached outside the clone; its tests run under wine.
  # Each stage says how long it took, for keeping the whole run inside CI's
  # time limit.
  timed() {
    local start=$SECONDS
    "$@"
    timings+=("windows $1: $((SECONDS - start)) s")
  }
  timings=()
  echo "== windows libraries (the first run builds them: about a quarter of an hour)"
  timed scripts/windows-deps.sh
  timed run_suite windows
  timed scripts/windows-e2e.sh build/release build/windows
  # The Windows zip and installer, installed and taken away again under wine.
  timed scripts/check-packages.sh windows
  printf '%s\n' "${timings[@]}"
fi
printf '%s\n' "${summaries[@]}"

if [ "$fuzz_seconds" != 0 ]; then
  scripts/fuzz.sh "$fuzz_seconds"
fi
