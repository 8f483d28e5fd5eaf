#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (in the checked build of scripts/test.sh) and runs each for a bounded
# time (FUZZ_SECONDS, default 15), JOBS of them at once. Any crash, leak, time-out or sanitizer report fails the
# run; findings are kept in build/check/findings.
#   scripts/fuzz.sh [target...]
set -euo pipefail
source "$(dirname "$0")/common.sh"

bash "$ROOT/scripts/install-deps.sh"
dir="$CHECK_BUILD"
configure_check_build

seconds="${FUZZ_SECONDS:-15}"
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  mapfile -t targets < <(find "$dir/fuzz" -maxdepth 1 -type f -name '*Fuzzer' -perm -u+x -printf '%f\n' | sort)
fi

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
mkdir -p "$dir/findings"
# The targets keep their files in the temporary folder: give them one of their own and remove it at the end.
fuzz_tmp="$(mktemp -d "${TMPDIR:-/tmp}/sonavire-fuzz-run.XXXXXX")"
trap 'rm -rf "$fuzz_tmp"' EXIT
export TMPDIR="$fuzz_tmp"
for target in "${targets[@]}"; do
  corpus="$dir/corpus/$target"
  mkdir -p "$corpus"
  seeds="$dir/seeds/$target"
  rm -rf "$seeds"
  SONAVIRE_FUZZ_SEEDS="$seeds" timeout 120 "$dir/fuzz/$target" >/dev/null 2>&1 || true
  mkdir -p "$seeds"
  # Inputs of faults found before and files only the tests can build ("serialized-program-*" for
  # SerializedProgramFuzzer).
  prefix="$(sed -E 's/Fuzzer$//; s/([a-z0-9])([A-Z])/\1-\2/g' <<<"$target" | tr 'A-Z' 'a-z')"
  find "$ROOT/tests/fixtures/fuzz" -type f -name "$prefix-*" -exec cp {} "$seeds/" \; 2>/dev/null || true
  # Real files written by other programs seed the readers of text formats.
  case "$target" in
    Scala*)
      # Scale files get the selector byte of a user scale slot (6), keyboard maps that of a map (0x80).
      while IFS= read -r -d '' f; do
        name="$(basename "$f")"
        case "$name" in
          *.kbm) { printf '\x80'; cat "$f"; } >"$seeds/$name" ;;
          *) { printf '\x06'; cat "$f"; } >"$seeds/$name" ;;
        esac
      done < <(find "$ROOT/../shared/testdata" -type f \( -name '*.scl' -o -name '*.kbm' \) -print0) ;;
  esac
done

# Each target runs on one core: JOBS of them at a time, each with its own outcome file. An input counts as a
# hang after a minute: a busy machine may take many times longer than an idle one for a slow input.
run_target() {
  local target="$1"
  if (cd "$dir/findings" && "$dir/fuzz/$target" -max_total_time="$seconds" -timeout=60 -rss_limit_mb=2048 \
        -max_len=262144 -print_final_stats=0 "$dir/corpus/$target" "$dir/seeds/$target" >"$dir/$target.log" 2>&1); then
    echo passed >"$dir/$target.outcome"
  else
    echo failed >"$dir/$target.outcome"
  fi
}
export -f run_target
export dir seconds
echo "== ${#targets[@]} targets, ${seconds}s each, $JOBS at a time"
rm -f "$dir"/*.outcome
printf '%s\n' "${targets[@]}" | xargs -P "$JOBS" -I{} bash -c 'run_target "$1"' _ {}

passed=0
failed=0
for target in "${targets[@]}"; do
  if [ "$(cat "$dir/$target.outcome" 2>/dev/null)" = passed ]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    tail -n 60 "$dir/$target.log"
    echo "FAILED: $target (inputs in $dir/findings)"
  fi
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
