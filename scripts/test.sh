#!/usr/bin/env bash
# Installs what is missing, builds everything and runs all tests.
#   scripts/test.sh          clang build with AddressSanitizer and UBSan (build/check); the fuzz targets are
#                            built in the same tree, so scripts/fuzz.sh runs them without a second build
#   scripts/test.sh --plain  gcc debug build without sanitizers, for a debugger (build/tests)
set -euo pipefail
source "$(dirname "$0")/common.sh"

bash "$ROOT/scripts/install-deps.sh"

if [ "${1:-}" = "--plain" ]; then
  dir="$ROOT/build/tests"
  configure_and_build "$dir" -DCMAKE_BUILD_TYPE=Debug
else
  dir="$CHECK_BUILD"
  configure_check_build
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
  export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
fi

cd "$dir"
with_display ctest --output-on-failure -j "$JOBS"
