#!/usr/bin/env bash
# Runs every benchmark program that the build produced.
set -eu
build=${1:-build}
found=0
for b in "$build"/bin/zelvo-bench-*; do
  [ -x "$b" ] || continue
  found=1
  echo "== $(basename "$b")"
  case "$(basename "$b")" in
    # Benchmarks that paint windows get the project's private X server.
    zelvo-bench-gui-*) "$(dirname "$0")/../tests/support/run-under-xvfb.sh" "$b" --benchmark_counters_tabular=true ;;
    *) "$b" --benchmark_counters_tabular=true ;;
  esac
done
[ "$found" = 1 ] || { echo "No benchmarks were built." >&2; exit 1; }
