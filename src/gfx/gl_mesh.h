// A mesh drawn through an OpenGL display list compiled on its first Draw. Changes to the arrays
// after that show only after FreeDisplayList. Needs a current OpenGL context to draw.
#pragma once

#include <cstdint>

#include "gfx/mesh.h"

class TGLMesh : public TMesh {
public:
  TGLMesh() = default;
  ~TGLMesh() override;

  // Compiles the display list when there is none, then calls it.
  void Draw() override;
  void BuildDisplayList();
  void FreeDisplayList();
  // Issues the triangles: per face, the face normal once when it is flat, then for corners A,
  // B, C the corner's texture coordinates, the vertex normal when smooth, the position. Faces
  // with a corner outside the vertex array are left out. Binds no texture.
  void DrawComplete() const;

  std::uint32_t List = 0; // display list name; 0 while none is compiled
};
