#!/usr/bin/env bash
# Builds the project and runs every test: first a normal build, then one instrumented with
# AddressSanitizer and UndefinedBehaviorSanitizer. Tests that need a window run under a virtual
# X display (Xvfb with Mesa's software renderer) that this script starts itself.
# Usage: tools/test.sh [--quick]   (--quick skips the sanitizer build)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

tools/install-deps.sh

jobs=$(nproc)
export LIBGL_ALWAYS_SOFTWARE=1
export SDL_AUDIODRIVER=dummy
export ALSOFT_DRIVERS=null
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:strict_string_checks=1
export LSAN_OPTIONS=suppressions=$root/tools/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

run_suite() {
  local dir=$1
  shift
  echo "== $dir: configure and build"
  cmake -S . -B "$dir" "$@" >/dev/null
  cmake --build "$dir" -j"$jobs"
  echo "== $dir: test"
  xvfb-run -a -s "-screen 0 800x600x24 -noreset" \
    ctest --test-dir "$dir" --output-on-failure -j"$jobs" --timeout 600
}

run_suite build -DCMAKE_BUILD_TYPE=RelWithDebInfo
if [[ "${1:-}" != "--quick" ]]; then
  run_suite build-sanitize -DCMAKE_BUILD_TYPE=Debug -DSANITIZE=ON -DBUILD_BENCHMARKS=OFF
fi
echo "== all tests passed"
