#!/usr/bin/env bash
# Set up, build with AddressSanitizer and UndefinedBehaviorSanitizer, and run every test, then the
# fuzz targets. One clang build serves both: the tests and the libFuzzer targets share its objects.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
CC=clang CXX=clang++ "$top/scripts/build.sh" build-test -DMMSFORM_SANITIZE=ON -DMMSFORM_WERROR=ON -DMMSFORM_FUZZ=ON
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$top/build-test" -j2 --output-on-failure
if [[ -x "$top/scripts/fuzz.sh" ]]; then
  MMSFORM_FUZZ_BUILD=build-test "$top/scripts/fuzz.sh"
fi
