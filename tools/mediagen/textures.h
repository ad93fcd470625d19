// The game's textures, painted procedurally: GUI frames and font, cursors, the lobby
// background, the ground tile and the model textures.
#pragma once

#include <string>
#include <vector>

#include "image.h"

struct TTextureOutput {
  std::string Name; // bare media name
  TImage Image;
  int Channels; // 3 (RGB) or 4 (RGBA)
};

std::vector<TTextureOutput> MakeTextures();

// Single textures, also used by the contact sheet.
TImage MakeFont();
TImage MakeFrame(const std::string& Name);
