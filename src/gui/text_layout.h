// How much room text takes in the GUI's font, for widgets that fit their text to their size (a
// list wraps its chat lines, the error window its message, an edit shows the end of its text).
// The drawer paints a glyph GlyphWidth pixels wide every GlyphAdvance pixels.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

inline constexpr int GlyphWidth = 8;
inline constexpr int GlyphAdvance = 7;

// Pixels that Count characters cover: 0 for none.
long long TextWidth(std::size_t Count);
// Characters that fit into Width pixels; at least one, so that text always makes progress.
std::size_t CharsThatFit(long long Width);
// S cut into rows of at most Width characters (at least one), each ending after the last blank
// that fits or, for a word longer than a row, inside it. The rows joined give S again; an empty
// S is one empty row.
std::vector<std::string> WrapText(const std::string& S, std::size_t Width);
