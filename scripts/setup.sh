#!/usr/bin/env bash
# Installs every Debian package Korvane needs to build, test and run.
# Idempotent: prints nothing and installs nothing when all packages are present.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libwxgtk3.2-dev libcmark-dev
  libboost-dev libboost-filesystem-dev
  nlohmann-json3-dev libcli11-dev libnlopt-cxx-dev
  xfoil
  xvfb xauth openbox
  imagemagick xdotool
  clang-14 libclang-rt-14-dev llvm-14
  help2man librsvg2-bin dpkg-dev file
  desktop-file-utils shared-mime-info libxml2-utils man-db
  pybind11-dev python3-numpy python3-pytest python3-distributed python3-pandas python3-matplotlib
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
