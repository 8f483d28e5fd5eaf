#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only when missing.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build lld pkg-config ccache
  juce-modules-source
  libboost-dev libboost-regex-dev zlib1g-dev
  libasound2-dev libx11-dev libxrandr-dev libxinerama-dev libxcursor-dev libxext-dev
  libfreetype-dev libfontconfig1-dev libpng-dev libjpeg-dev fonts-dejavu-core
  libgtest-dev xvfb xauth libxtst-dev zip unzip libbenchmark-dev
  clang libclang-rt-14-dev
  openbox fonts-liberation2 desktop-file-utils xdg-utils shared-mime-info
  # xdg-mime asks mimetype for a file's type; without it, file, which knows no installed MIME types
  libfile-mimeinfo-perl
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
