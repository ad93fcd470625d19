#!/usr/bin/env bash
# Installs every Debian package the project needs that is not yet installed.
# Safe to run again: it only calls apt-get when something is missing.
# Usage: tools/install-deps.sh [--bench]   (--bench adds what the benchmarks compare against)
set -euo pipefail

packages=(
  build-essential cmake pkg-config git
  libsdl1.2-dev libsdl-net1.2-dev libsdl-image1.2-dev
  libgl1-mesa-dev libglu1-mesa-dev libgl1-mesa-dri
  libpng-dev libopenal1
  libgtest-dev
  xvfb xauth xdotool
  dpkg-dev systemd desktop-file-utils groff-base
  clang libclang-rt-14-dev
)
if [[ "${1:-}" == "--bench" ]]; then
  packages+=(libtinyxml2-dev ngircd valgrind)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]} == 0)); then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo=""
if [[ $(id -u) -ne 0 ]]; then
  sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
