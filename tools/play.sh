#!/usr/bin/env bash
# Builds the game and runs the lobby server in the foreground on port 50401.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target server
exec ./build/server "$@"
