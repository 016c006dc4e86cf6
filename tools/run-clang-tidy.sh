#!/usr/bin/env bash
# Runs clang-tidy (.clang-tidy) on every project source of a configured build
# and fails on any finding.
#   tools/run-clang-tidy.sh <builddir>
set -eu
build=${1:-build}
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files -- 'src/*.cpp' 'tools/*.cpp')
run-clang-tidy -quiet -p "$build" -j "$(nproc)" "${files[@]}" >"$build/clang-tidy.log" 2>&1 || true
if grep -q -E "(warning|error):" "$build/clang-tidy.log"; then
  grep -E "(warning|error):" "$build/clang-tidy.log" | sed 's/\x1b\[[0-9;]*m//g' | sort -u | head -n 80 >&2
  echo "clang-tidy found problems; the whole report is in $build/clang-tidy.log" >&2
  exit 1
fi
echo "clang-tidy: no findings in ${#files[@]} files"
