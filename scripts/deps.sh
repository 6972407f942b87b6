#!/usr/bin/env bash
# Installs the Debian packages Quillpost needs to build, run and test.
# Idempotent: only packages that dpkg does not report as installed are fetched.
set -euo pipefail

BUILD_PACKAGES=(
  build-essential cmake ninja-build pkg-config clang-format
  qt6-base-dev qt6-base-dev-tools qt6-serialport-dev libqt6svg6
  libgl-dev libxkbcommon-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  libhunspell-dev hunspell-en-us
  fonts-liberation2 fonts-symbola
  dpkg-dev file
)
TEST_PACKAGES=(
  python3 python3-dbf libdbd-xbase-perl zint poppler-utils xvfb xauth locales
  desktop-file-utils appstream time
)

want=("${BUILD_PACKAGES[@]}")
if [[ "${1:-}" == "--test" ]]; then
  want+=("${TEST_PACKAGES[@]}")
fi

missing=()
for p in "${want[@]}"; do
  if ! dpkg -s "$p" >/dev/null 2>&1 || ! dpkg -s "$p" 2>/dev/null | grep -q '^Status: install ok installed'; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  SUDO=""
  if [[ $(id -u) -ne 0 ]]; then SUDO="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
