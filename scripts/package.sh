#!/usr/bin/env bash
# Builds the Debian package korvane_<version>_<architecture>.deb with CPack from a
# Release build of the programs (the version: cmake/Version.cmake, from the project's
# version and the git description) and prints its path. Its Depends are what
# dpkg-shlibdeps finds the programs need, and xfoil.
# Usage: scripts/package.sh [BUILD_DIR]   (default build/; the package goes to BUILD_DIR/package/)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-"$root/build"}
# Configuring again takes in the commit the package is made from.
"$root/scripts/build.sh" "$dir" Release korvane korvane-cli korvane_install_files >/dev/null
rm -f "$dir"/package/korvane_*.deb
# CPack's account only when it fails.
if ! log=$(cd "$dir" && cpack -G DEB 2>&1); then
  echo "$log" >&2
  exit 1
fi
ls "$dir"/package/korvane_*.deb
