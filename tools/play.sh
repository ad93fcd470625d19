#!/usr/bin/env bash
# Builds the server and the client, starts a lobby server in the background on this machine
# (port 50401), runs the client, whose server field already reads "localhost", and stops the
# server when the client exits. Arguments go to the client ("-fs" for full screen).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target server client

log=build/server.log
./build/server --listen 127.0.0.1 >"$log" 2>&1 &
server=$!
trap 'kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true' EXIT
sleep 0.5
if ! kill -0 "$server" 2>/dev/null; then
  echo "The lobby server did not start (see $log); the client will look for one on localhost." >&2
else
  echo "Lobby server running on localhost:50401 (log: $log)."
fi
echo "Log in with any user name that does not start with S, and any password."
./build/client "$@"
