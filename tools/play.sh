#!/usr/bin/env bash
# Builds the server and the client, starts a lobby server in the background on this machine
# (port 50401), runs the client, whose server field already reads "localhost", and stops the
# server when the client exits. Arguments go to the client ("-fs" for full screen).
#
# With --two as the first argument it opens two clients instead, for a match between two
# people on one machine: the first window at the top left of the screen, the second a little
# down and to the right of it, so that both title bars show. The server stops when both have
# exited.
set -euo pipefail
cd "$(dirname "$0")/.."

two=false
if [[ "${1:-}" == "--two" ]]; then
  two=true
  shift
fi

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

if ! $two; then
  ./build/client "$@"
  exit
fi

# SDL places a window where SDL_VIDEO_WINDOW_POS says, when the window manager lets it.
echo "Two clients: log in with a different user name in each window."
SDL_VIDEO_WINDOW_POS=0,0 ./build/client "$@" &
first=$!
SDL_VIDEO_WINDOW_POS=120,90 ./build/client "$@" &
second=$!
status=0
wait "$first" || status=$?
wait "$second" || status=$?
exit "$status"
