// The game's 8 x 8 bitmap font: glyphs five pixels wide on eight rows (capitals on rows 0 to 6,
// descenders on row 7), so that text drawn with a 7-pixel advance keeps two free columns.
#pragma once

#include <array>
#include <string>

// Eight rows of five characters, '#' for ink; empty rows are given as "".
using TGlyph = std::array<const char*, 8>;

// The glyph of a byte: ASCII 32..127, Latin-1 letters (accented small letters composed, accented
// capitals shown as their base letter) and a few Latin-1 signs; blank for control codes.
// Known is false for bytes without a glyph of their own (they get an empty box).
TGlyph GlyphFor(int Code, bool& Known);
