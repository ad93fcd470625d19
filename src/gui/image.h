// TUIImage: a picture whose texture the application sets; .ui files only place it.
#pragma once

#include "gui/widget.h"

class TUIImage : public TUIWidget {
public:
  TUIImage();

  // An OpenGL texture name, 0 for none.
  std::uint32_t FImage = 0;
};
