#!/usr/bin/env bash
# Builds the Debian packages fjordfront-server and fjordfront-client into build/packages/:
# installs what is missing, builds the programs (with the icons and manual pages), then CPack
# makes one package per program, its library dependencies worked out by dpkg-shlibdeps.
# Usage: tools/package.sh
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target server client installed_files
rm -rf build/packages
cpack --config build/CPackConfig.cmake -B build/packages
rm -rf build/packages/_CPack_Packages
ls build/packages/*.deb
