#!/usr/bin/env bash
# Checks the naming convention of .clang-tidy over every source file of the
# build in build/ (its compile_commands.json). Fails on the first finding.
# GCC-only warning options of that build are no error for clang-tidy.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build}
files=$(git ls-files 'src/*.cpp' 'tests/*.cpp' 'bench/*.cpp' 'data/*.cpp')
run-clang-tidy -quiet -extra-arg=-Wno-unknown-warning-option -p "$BUILD" -j "$(nproc)" $files > "$BUILD/naming.log" 2>&1 || {
  grep -E "warning:|error:" "$BUILD/naming.log" | sort -u | head -50
  echo "Naming check failed: see $BUILD/naming.log"
  exit 1
}
echo "Naming check passed."
