#!/usr/bin/env bash
# Installs what is missing, then runs the whole test suite twice (release
# build, then AddressSanitizer + UndefinedBehaviorSanitizer) and each fuzz
# target (it makes and checks the packages after the suites): a fixed, seeded
# run by default, so that a build passes or fails
# the same everywhere; FUZZ_SECONDS=N explores for N seconds instead, 0 skips.
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-deps.sh --fuzz --packages

jobs=$(nproc)
fuzz_seconds=${FUZZ_SECONDS:---fixed}

run_suite() {
  local preset=$1
  echo "== $preset build and tests"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  QT_QPA_PLATFORM=offscreen ctest --preset "$preset" -j "$jobs" --label-exclude slow
}

run_suite release

# The .deb made from that build, unpacked and run as a user would.
scripts/check-packages.sh linux

# Leaks inside Qt's and fontconfig's own caches are theirs, not ours; the
# suppressions name only those libraries.
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan-third-party.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1"
run_suite asan

# The Windows zip and installer, installed and taken away again under wine,
# once there is a windows preset (its libraries built by the Windows suite).
if cmake --list-presets 2>/dev/null | grep -q '"windows"'; then
  scripts/check-packages.sh windows
fi

if [ "$fuzz_seconds" != 0 ]; then
  scripts/fuzz.sh "$fuzz_seconds"
fi
