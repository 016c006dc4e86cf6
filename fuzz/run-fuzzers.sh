#!/usr/bin/env bash
# Runs every libFuzzer target of a fuzz build for a bounded time.
#   fuzz/run-fuzzers.sh <builddir> [seconds per fuzzer, default 60]
# Each fuzzer starts from its kept corpus (tests/persistence/corpus for the
# settings files, tests/tuning/scala-corpus for Scala scales) and
# grows a working corpus in <builddir>/fuzz-corpus/<fuzzer>; crashes, leaks
# and sanitizer reports land in <builddir>/fuzz-artifacts/<fuzzer>/.
# Exits non-zero when any fuzzer found a problem.
set -uo pipefail

if [ $# -lt 1 ]; then
  echo "usage: $0 <builddir> [seconds]" >&2
  exit 2
fi
build=$(cd "$1" && pwd) || exit 2
seconds=${2:-60}
[ -n "$seconds" ] || seconds=60
here=$(cd "$(dirname "$0")" && pwd)
xml_seeds="$here/../tests/persistence/corpus"
scala_seeds="$here/../tests/tuning/scala-corpus"

shopt -s nullglob
fuzzers=("$build"/bin/fuzz_*)
if [ ${#fuzzers[@]} -eq 0 ]; then
  echo "No fuzzers found in $build/bin (configure with -DZELVO_FUZZ=ON and clang)." >&2
  exit 1
fi

failed=0
for fuzzer in "${fuzzers[@]}"; do
  [ -x "$fuzzer" ] || continue
  name=$(basename "$fuzzer")
  corpus="$build/fuzz-corpus/$name"
  artifacts="$build/fuzz-artifacts/$name"
  mkdir -p "$corpus" "$artifacts"
  log="$build/fuzz-artifacts/$name.log"
  case "$name" in
    fuzz_scala_*) seeds="$scala_seeds" dict="$here/scala.dict" ;;
    *) seeds="$xml_seeds" dict="$here/xml.dict" ;;
  esac
  echo "== $name: ${seconds}s"
  "$fuzzer" "$corpus" "$seeds" \
    -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=4096 \
    -dict="$dict" -print_final_stats=1 \
    -artifact_prefix="$artifacts/" >"$log" 2>&1
  status=$?
  runs=$(grep -E '^stat::number_of_executed_units' "$log" | awk '{print $2}')
  if [ $status -ne 0 ]; then
    failed=1
    echo "   FAILED (exit $status), see $log and $artifacts/"
    grep -E 'ERROR: |SUMMARY: |check failed' "$log" | head -5 | sed 's/^/   /'
  else
    echo "   ok: ${runs:-?} executions, corpus $(ls "$corpus" | wc -l) inputs"
  fi
done
exit $failed
