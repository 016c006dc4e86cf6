#!/usr/bin/env bash
# Runs clang-tidy (.clang-tidy) on every project source of a configured build.
#   tools/run-clang-tidy.sh <builddir>
set -eu
build=${1:-build}
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files -- 'src/*.cpp' 'tools/*.cpp')
run-clang-tidy -quiet -p "$build" -j "$(nproc)" "${files[@]}" >"$build/clang-tidy.log" 2>&1 || {
  grep -E "warning:|error:" "$build/clang-tidy.log" | sort -u | head -n 80 >&2
  echo "clang-tidy found problems; the whole report is in $build/clang-tidy.log" >&2
  exit 1
}
echo "clang-tidy: no findings"
