#!/usr/bin/env bash
# Installs everything Zephyrant2 needs to build, run and test on Debian 12.
set -euo pipefail
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
packages=(
  # build
  g++ clang clang-format cmake ninja-build pkg-config flex bison
  qt6-base-dev libxcb1-dev libcurl4-openssl-dev libxml2-dev
  # tests and measurement
  libgtest-dev libgmock-dev libbenchmark-dev libclang-rt-14-dev llvm-14
  python3 nkf tinyproxy lua5.4 duktape
  # fonts and the X tools the window tests drive
  fonts-ipafont-gothic xvfb xdotool imagemagick x11-utils x11-xserver-utils
  openbox picom xcompmgr trayer hsetroot
  # installing and packaging: validators, the Debian tools, a Wayland session
  desktop-file-utils appstream dpkg-dev fakeroot file lintian man-db binutils weston xwayland
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
