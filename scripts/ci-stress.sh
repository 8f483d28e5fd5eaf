#!/usr/bin/env bash
# Runs CI (.ci/run) from a fresh clone of a commit N times while M processes burn CPU beside it, and prints
# pass or fail and the duration of each run. Not part of CI: it shows that CI holds on a busy machine.
#   scripts/ci-stress.sh [-n runs] [-m burners] [-c cores] [-r commit] [-k]
#     -n runs     how many CI runs, one after the other (default 3; env RUNS)
#     -m burners  busy processes beside each run (default 16; env BURNERS)
#     -c cores    a taskset core list ("0,1", "0-3") that CI and the burners are pinned to (default: none,
#                 every core; env CORES)
#     -r commit   what to clone (default HEAD of this repository; env COMMIT)
#     -k          keep the clones and logs (default: only the logs of failed runs are kept)
# Each run gets an empty build folder; the compiler cache is shared (set CCACHE_DISABLE=1 for a cold build).
# Example: scripts/ci-stress.sh -n 2 -m 4 -c 0,1
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
runs="${RUNS:-3}"
burners="${BURNERS:-16}"
cores="${CORES:-}"
commit="${COMMIT:-HEAD}"
keep=0
while getopts "n:m:c:r:k" option; do
  case "$option" in
    n) runs="$OPTARG" ;;
    m) burners="$OPTARG" ;;
    c) cores="$OPTARG" ;;
    r) commit="$OPTARG" ;;
    k) keep=1 ;;
    *) sed -n '2,12p' "$0"; exit 2 ;;
  esac
done
commit="$(git -C "$ROOT" rev-parse "$commit")"

pin=()
if [ -n "$cores" ]; then
  pin=(taskset -c "$cores")
fi

work="$(mktemp -d "${TMPDIR:-/tmp}/sonavire-ci-stress.XXXXXX")"
burner_pids=()
stop_burners() {
  for pid in "${burner_pids[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
  for pid in "${burner_pids[@]}"; do
    wait "$pid" 2>/dev/null || true
  done
  burner_pids=()
}
trap 'stop_burners; [ "$keep" = 1 ] || rm -rf "$work/clone"' EXIT

echo "commit $commit, $runs run(s), $burners burner(s), cores ${cores:-all} ($(nproc) here); logs in $work"
passed=0
for run in $(seq 1 "$runs"); do
  clone="$work/clone"
  rm -rf "$clone"
  git clone --quiet --no-hardlinks "$ROOT" "$clone"
  git -C "$clone" checkout --quiet "$commit"
  # CI finds shared/ beside the clone, as in the real set-up.
  if [ -d "$ROOT/../shared" ] && [ ! -e "$work/shared" ]; then
    ln -s "$(cd "$ROOT/../shared" && pwd)" "$work/shared"
  fi

  for _ in $(seq 1 "$burners"); do
    "${pin[@]}" bash -c 'while :; do :; done' &
    burner_pids+=("$!")
  done

  log="$work/run-$run.log"
  start=$(date +%s)
  status=0
  (cd "$clone" && CI=true "${pin[@]}" bash .ci/run </dev/null >"$log" 2>&1) || status=$?
  seconds=$(($(date +%s) - start))
  stop_burners

  load="$(cut -d' ' -f1-3 /proc/loadavg)"
  if [ "$status" = 0 ]; then
    passed=$((passed + 1))
    printf 'run %d: pass  %dm%02ds  (load %s)\n' "$run" $((seconds / 60)) $((seconds % 60)) "$load"
    [ "$keep" = 1 ] || rm -f "$log"
  else
    printf 'run %d: FAIL (exit %d)  %dm%02ds  (load %s); log %s\n' "$run" "$status" $((seconds / 60)) \
      $((seconds % 60)) "$load" "$log"
    grep -E "^\s*[0-9]+ - |\[  FAILED  \]|Failure|tests passed" "$log" | head -20 || true
  fi
done
echo "$passed passed, $((runs - passed)) failed"
[ "$passed" = "$runs" ]
