#!/usr/bin/env bash
# Fails when a C++ file of ours breaks the repository's .clang-format; names
# the files. Fix them with: clang-format -i FILE...
set -euo pipefail
cd "$(dirname "$0")/.."

mapfile -t files < <(git ls-files -- 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' \
  'bench/*.cpp' 'bench/*.h' 'fuzz/*.cpp' 'fuzz/*.h')
if ! clang-format --dry-run --Werror "${files[@]}" 2>/dev/null; then
  clang-format --dry-run "${files[@]}" 2>&1 | grep -o '^[^:]*\.\(cpp\|h\):' | sort -u | tr -d ':' >&2
  echo "these files break .clang-format" >&2
  exit 1
fi
