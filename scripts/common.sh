# Shared settings of the build scripts (sourced, not run).
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
JOBS="${JOBS:-$(nproc 2>/dev/null || echo 2)}"

# ccache keeps compiled objects across build folders and clean rebuilds (JUCE above all). Depend mode takes
# the included files from the compiler's own dependency list, so a miss does not run the preprocessor as
# well; the precompiled headers are cached when their time stamps and defines are left out of the key.
export CCACHE_BASEDIR="$ROOT"
export CCACHE_NOHASHDIR=1
export CCACHE_DEPEND=1
export CCACHE_SLOPPINESS="pch_defines,time_macros,include_file_mtime,include_file_ctime"

# configure_and_build <build folder> [cmake options...]
# New build folders use Ninja, which starts compiling a target's sources without waiting for the libraries
# it links; folders made before keep their generator.
configure_and_build() {
  local dir="$1"; shift
  local generator=()
  if [ ! -f "$dir/CMakeCache.txt" ] && command -v ninja >/dev/null; then
    generator=(-G Ninja)
  fi
  cmake -S "$ROOT" -B "$dir" "${generator[@]}" "$@"
  cmake --build "$dir" -j "$JOBS"
}

# The program as users get it, without the tests (build/release): run.sh starts it, install.sh installs it.
RELEASE_BUILD="$ROOT/build/release"
configure_release_build() {
  configure_and_build "$RELEASE_BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSONAVIRE_BUILD_TESTS=OFF
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
