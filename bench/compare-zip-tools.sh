#!/usr/bin/env bash
# Whole-process open and save of a library file beside unzip -p and zip -5 (see bench/WholeProcessBenchmark.cpp).
# Usage: bench/compare-zip-tools.sh [build folder, default build/bench] [runs, default 21]
set -euo pipefail
build="${1:-build/bench}"
exec "$build/bench/bench_whole_process" "$build/bench/bench_library_file" "${2:-21}"
