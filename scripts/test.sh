#!/usr/bin/env bash
# Installs what is missing, builds everything and runs all tests.
#   scripts/test.sh             plain debug build (build/tests)
#   scripts/test.sh --sanitize  the same under AddressSanitizer and UBSan (build/sanitize)
set -euo pipefail
source "$(dirname "$0")/common.sh"

mode="plain"
if [ "${1:-}" = "--sanitize" ]; then mode="sanitize"; fi

bash "$ROOT/scripts/install-deps.sh"

if [ "$mode" = "sanitize" ]; then
  dir="$ROOT/build/sanitize"
  configure_and_build "$dir" -DCMAKE_BUILD_TYPE=Debug -DSONAVIRE_SANITIZE=ON
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
  export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
else
  dir="$ROOT/build/tests"
  configure_and_build "$dir" -DCMAKE_BUILD_TYPE=Debug
fi

cd "$dir"
with_display ctest --output-on-failure -j "$JOBS"
