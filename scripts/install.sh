#!/usr/bin/env bash
# Installs what is missing, builds the program and installs it below a prefix:
#   scripts/install.sh [prefix]   default /usr/local; DESTDIR=<folder> stages it there for a package
set -euo pipefail
source "$(dirname "$0")/common.sh"

prefix="${1:-/usr/local}"
bash "$ROOT/scripts/install-deps.sh"
configure_release_build
cmake --install "$RELEASE_BUILD" --prefix "$prefix"
