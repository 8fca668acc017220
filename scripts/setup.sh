#!/usr/bin/env bash
# Installs everything the builds and tests need on a fresh Debian 12 machine.
# Idempotent: packages already present are skipped, so a second run is quick.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  clang libclang-rt-14-dev
  libgtest-dev googletest libbenchmark-dev
  g++-mingw-w64-i686 binutils-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
  wine wine32:i386 wine64 fonts-wine fonts-noto-cjk
  xvfb x11-utils imagemagick
  sox
)

have_all=1
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  have_all=0
fi
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    have_all=0
    break
  fi
done

if [ "$have_all" = 1 ]; then
  echo "setup: all packages present"
  exit 0
fi

if [ "$(id -u)" != 0 ]; then
  echo "setup: packages are missing and this is not root; run as root" >&2
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive
dpkg --add-architecture i386
apt-get update -q
apt-get install -y -q --no-install-recommends "${packages[@]}"
echo "setup: packages installed"
