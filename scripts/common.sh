# Shared settings of the build scripts (sourced, not run).
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
JOBS="${JOBS:-$(nproc 2>/dev/null || echo 2)}"

# ccache keeps compiled objects across build folders and clean rebuilds (JUCE above all).
export CCACHE_BASEDIR="$ROOT"
export CCACHE_NOHASHDIR=1

# configure_and_build <build folder> [cmake options...]
configure_and_build() {
  local dir="$1"; shift
  cmake -S "$ROOT" -B "$dir" "$@"
  cmake --build "$dir" -j "$JOBS"
}

# The checked build: clang with AddressSanitizer, UBSan and libFuzzer's instrumentation. The tests and the
# fuzz targets share it, so CI compiles the code once.
CHECK_BUILD="$ROOT/build/check"
configure_check_build() {
  CC=clang CXX=clang++ configure_and_build "$CHECK_BUILD" -DCMAKE_BUILD_TYPE=Debug -DSONAVIRE_BUILD_FUZZ=ON
}

# with_display <command...>: runs the command under Xvfb when there is no display.
with_display() {
  if [ -n "${DISPLAY:-}" ]; then
    "$@"
  else
    xvfb-run -a -s "-screen 0 1280x1024x24" "$@"
  fi
}
