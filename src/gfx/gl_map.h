#pragma once
// The tile map as the client draws it: every tile a 4 x 4 unit quad on the ground plane Y = 0,
// compiled once into an OpenGL display list. The caller binds the tile texture before Render.

#include "game/map.h"

#include <cstdint>

// Side of one tile in world units.
inline constexpr float TILE_SIZE = 4.0f;

// One ground quad on the plane Y = 0 from (X, Z) to (X + W, Z + H), the whole texture on it.
void Rectangle(float X, float Z, float W, float H);

class TGLMap : public TMap {
public:
  TGLMap() = default;
  // Frees the display list (needs the OpenGL context that built it).
  ~TGLMap() override;

  // Builds the display list on first use, then calls it. A size change after the first Render
  // shows only once the list has been freed.
  void Render() override;
  void BuildDisplayList();
  void FreeDisplayList();
  // Issues every tile's quad in white, column by column.
  void DrawComplete();

  // OpenGL display list name; 0 while none is built.
  std::uint32_t List = 0;
};
