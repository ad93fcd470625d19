#!/usr/bin/env bash
# Regenerates the game's media set in media/ (textures, meshes, models, sound; the .ui files are
# written by hand and left alone) and the picture docs/media_contact_sheet.png. The generator is
# deterministic: running this again gives the same files, which the test
# media_set_matches_generator checks.
# Usage: tools/mediagen/regenerate.sh [BUILD_DIR]    (default: build)
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build}

cmake -S . -B "$build" >/dev/null
cmake --build "$build" --target mediagen contactsheet -j"$(nproc)"
"$build/tools/mediagen/mediagen" media

# The contact sheet draws with OpenGL: use the display if there is one, else a virtual one.
run=()
if [[ -z "${DISPLAY:-}" ]]; then
  run=(xvfb-run -a -s "-screen 0 800x600x24 -noreset")
fi
mkdir -p docs
LIBGL_ALWAYS_SOFTWARE=1 "${run[@]}" "$build/tools/contactsheet/contactsheet" media \
  docs/media_contact_sheet.png >/dev/null
echo "media/ and docs/media_contact_sheet.png regenerated"
