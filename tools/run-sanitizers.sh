#!/bin/sh
# Builds the whole project with a sanitizer in a folder of its own and runs
# every test there.  Usage: run-sanitizers.sh asan|tsan [--build-only] [JOBS]
#   asan: AddressSanitizer (with LeakSanitizer) and UndefinedBehaviorSanitizer
#   tsan: ThreadSanitizer
# Reports from third-party libraries are suppressed by the files in
# tests/sanitizers/; a report from our own code fails the run.
set -eu

kind=${1:?usage: run-sanitizers.sh asan|tsan [--build-only] [JOBS]}
shift
build_only=0
if [ "${1:-}" = "--build-only" ]; then
  build_only=1
  shift
fi
jobs=${1:-2}

root=$(cd "$(dirname "$0")/.." && pwd)
supp=$root/tests/sanitizers
case $kind in
  asan)
    flags="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
    ;;
  tsan)
    flags="-fsanitize=thread -fno-omit-frame-pointer"
    ;;
  *)
    echo "run-sanitizers.sh: unknown kind '$kind' (asan or tsan)" >&2
    exit 2
    ;;
esac
build=$root/build-$kind

launcher=""
if command -v ccache >/dev/null 2>&1; then
  launcher="-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache"
fi
# shellcheck disable=SC2086
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DZELVO_BUILD_BENCH=OFF $launcher \
  "-DCMAKE_C_FLAGS=$flags" "-DCMAKE_CXX_FLAGS=$flags" \
  "-DCMAKE_EXE_LINKER_FLAGS=$flags" "-DCMAKE_SHARED_LINKER_FLAGS=$flags"
nice -n 10 cmake --build "$build" -j "$jobs"
[ "$build_only" = 1 ] && exit 0

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:halt_on_error=1:suppressions=$supp/asan.supp"
export LSAN_OPTIONS="suppressions=$supp/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:suppressions=$supp/ubsan.supp"
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:suppressions=$supp/tsan.supp"
# The GUI tests start GTK, whose one-off start-up allocations are not ours.
export G_SLICE=always-malloc G_DEBUG=gc-friendly
cd "$build" && ctest --output-on-failure -j "$jobs"
