#!/usr/bin/env bash
# Installs what is missing, then runs the whole test suite twice (release
# build, then AddressSanitizer + UndefinedBehaviorSanitizer), then the Windows
# build's suite under wine and a table comparing its outputs with the Linux
# build's, then makes and checks the Linux and Windows packages, and each fuzz
# target: a fixed, seeded run by default, so that a
# build passes or fails the same everywhere; FUZZ_SECONDS=N explores for N
# seconds instead, 0 skips.
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-deps.sh --fuzz --windows --packages

jobs=$(nproc)
fuzz_seconds=${FUZZ_SECONDS:---fixed}

summaries=()
run_suite() {
  local preset=$1
  echo "== $preset build and tests"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  QT_QPA_PLATFORM=offscreen ctest --preset "$preset" -j "$jobs" --label-exclude slow |
    tee "build/$preset/ctest-summary.txt"
  summaries+=("$preset: $(grep -E 'tests passed' "build/$preset/ctest-summary.txt")")
}

run_suite release

# The .deb made from that build, unpacked and run as a user would.
scripts/check-packages.sh linux

# Leaks inside Qt's and fontconfig's own caches are theirs, not ours; the
# suppressions name only those libraries.
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan-third-party.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1"
run_suite asan

# The Windows build: its libraries come from Debian's source packages, built
# once and cached outside the clone; its tests run under wine.
echo "== windows libraries (the first run builds them: about a quarter of an hour)"
scripts/windows-deps.sh
run_suite windows
scripts/windows-e2e.sh build/release build/windows
# The Windows zip and installer, installed and taken away again under wine.
scripts/check-packages.sh windows
printf '%s\n' "${summaries[@]}"

if [ "$fuzz_seconds" != 0 ]; then
  scripts/fuzz.sh "$fuzz_seconds"
fi
