// The game's icon for desktops and menus: a longship with a striped sail on a fjord at dusk,
// between steep cliffs, on a rounded tile; painted anew at every size so that each is sharp.
#pragma once

#include "image.h"

#include <array>

// The sizes desktops look for in the hicolor icon theme (Size x Size pixels).
inline constexpr std::array<int, 8> ICON_SIZES = {16, 22, 24, 32, 48, 64, 128, 256};

// The icon at Size x Size pixels, RGBA with a transparent outside.
TImage MakeIcon(int Size);
