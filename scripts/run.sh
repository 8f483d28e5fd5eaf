#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it.
set -euo pipefail
source "$(dirname "$0")/common.sh"

bash "$ROOT/scripts/install-deps.sh"
configure_release_build

exe="$(find "$RELEASE_BUILD/app" -type f -name sonavire-sound-librarian -perm -u+x | head -n 1)"
with_display "$exe" "$@"
