#!/usr/bin/env bash
# Regenerates the README's pictures of the client, docs/screen-*.png, on demand: builds the
# programs and the client's end-to-end tests, runs those tests (each starts a real server and
# real clients on private virtual displays and photographs what they show into
# build/e2e-screens/), and copies the pictures the README shows into docs/. The tests never
# write into docs/ themselves.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target server client e2e_client_tests

rm -rf build/e2e-screens
(cd build && ctest -R '^Client(Play|Match)\.' --output-on-failure)

# The test's picture, and the name it has in docs/.
pictures=(
  login.png:screen-login.png
  lobby-two-players.png:screen-lobby-two-players.png
  gamecreation.png:screen-gamecreation.png
  game.png:screen-game.png
  match-games.png:screen-match-games.png
  match-waiting-room.png:screen-match-waiting-room.png
  match-duel-selected.png:screen-match-selected.png
  match-attack.png:screen-match-attack.png
  match-result.png:screen-match-result.png
)
for pair in "${pictures[@]}"; do
  cp "build/e2e-screens/${pair%%:*}" "docs/${pair#*:}"
  echo "docs/${pair#*:}"
done
