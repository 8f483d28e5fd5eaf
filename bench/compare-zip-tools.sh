#!/usr/bin/env bash
# Times Info-ZIP's zip -5 and unzip on the members of the benchmark's library file, for comparison with
# bench_files. Usage: bench/compare-zip-tools.sh [path of bench_files]
set -euo pipefail
bench="${1:-build/bench/bench/bench_files}"
runs=20
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

"$bench" --write-sample "$work/lib.snvrlib"
mkdir "$work/members"
(cd "$work/members" && unzip -q ../lib.snvrlib)
mapfile -t members < <(unzip -Z1 "$work/lib.snvrlib")

# mean_ms <command...>: the mean wall time of the command over the runs, in milliseconds.
mean_ms() {
  local start end
  start=$(date +%s%N)
  for _ in $(seq "$runs"); do "$@"; done
  end=$(date +%s%N)
  echo "scale=2; ($end - $start) / $runs / 1000000" | bc
}

zip_members() { rm -f "$work/out.zip"; (cd "$work/members" && zip -q -5 -X ../out.zip "${members[@]}"); }
echo "zip -5 of the ${#members[@]} members (from the page cache): $(mean_ms zip_members) ms"
echo "unzip -t (inflate and check, nothing written):           $(mean_ms unzip -tqq "$work/lib.snvrlib") ms"
unzip_all() { rm -rf "$work/x"; unzip -qq "$work/lib.snvrlib" -d "$work/x"; }
echo "unzip into a folder:                                     $(mean_ms unzip_all) ms"
