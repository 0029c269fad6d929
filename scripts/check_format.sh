#!/usr/bin/env bash
# Fails when a git-tracked C++ file under src/, tests/, bench/ or fuzz/ is not
# as the repository's .clang-format makes it; lists each difference.
# Formatting is not changed here: run clang-format -i on the files named.
set -euo pipefail
cd "$(dirname "$0")/.."

mapfile -t files < <(git ls-files -- 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' \
  'bench/*.cpp' 'bench/*.h' 'fuzz/*.cpp' 'fuzz/*.h')
if [ ${#files[@]} -eq 0 ]; then
  echo "check_format: no C++ files found (not a git checkout?)" >&2
  exit 1
fi
echo "clang-format $(clang-format --version | grep -o '[0-9][0-9.]*' | head -1): checking ${#files[@]} files"
clang-format --dry-run --Werror "${files[@]}"
echo "All ${#files[@]} files are formatted."
