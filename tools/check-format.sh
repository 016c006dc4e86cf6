#!/usr/bin/env bash
# Checks that every C++ source follows .clang-format; --fix rewrites them.
set -eu
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files -- '*.cpp' '*.h' 2>/dev/null || find src tests tools bench fuzz -name '*.cpp' -o -name '*.h')
if [ "${1:-}" = "--fix" ]; then
  clang-format -i "${files[@]}"
  exit 0
fi
if ! clang-format --dry-run -Werror "${files[@]}" 2>/tmp/zelvo-format.$$; then
  head -n 40 /tmp/zelvo-format.$$ >&2
  rm -f /tmp/zelvo-format.$$
  echo "Sources are not formatted: run 'make format'." >&2
  exit 1
fi
rm -f /tmp/zelvo-format.$$
