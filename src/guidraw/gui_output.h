#pragma once
// Where the GUI drawer's primitives go: texture binds, colours, batches of textured quads,
// textured and untextured rectangles, translations. The OpenGL output draws them at once; a
// command list (gui_command_list.h) keeps them to compare with another frame's and to draw later.

#include <cstdint>

// A textured quad: the rectangle (X0, Y0) to (X1, Y1) in 2D pixels, (U0, V0) to (U1, V1) of the
// bound texture mapped onto it with (U0, V0) at (X0, Y0).
struct TGUIQuad {
  float X0 = 0, Y0 = 0, X1 = 0, Y1 = 0;
  float U0 = 0, V0 = 0, U1 = 0, V1 = 0;
  bool operator==(const TGUIQuad&) const = default;
};

class TGUIOutput {
public:
  virtual ~TGUIOutput() = default;
  // Binds the OpenGL texture name to GL_TEXTURE_2D; 0 binds none.
  virtual void BindTexture(std::uint32_t Texture) = 0;
  // The colour of the quads that follow.
  virtual void Color(float R, float G, float B) = 0;
  // Quads are sent in batches: Quad only between BeginQuads and EndQuads.
  virtual void BeginQuads() = 0;
  virtual void Quad(const TGUIQuad& Q) = 0;
  virtual void EndQuads() = 0;
  // The bound texture stretched over the rectangle in the colour (DrawRectangle).
  virtual void Rectangle(float X, float Y, float W, float H, float R, float G, float B) = 0;
  // The same rectangle with texturing switched off for it.
  virtual void PlainRectangle(float X, float Y, float W, float H, float R, float G, float B) = 0;
  // Moves the origin of what follows (the modelview matrix).
  virtual void Translate(float X, float Y) = 0;
};

// Draws every primitive with immediate-mode OpenGL as it comes. Each quad is sent as the two
// triangles a four-vertex strip makes (top-left, bottom-left, top-right; top-right,
// bottom-left, bottom-right), one glBegin/glEnd per batch.
class TGLGUIOutput : public TGUIOutput {
public:
  void BindTexture(std::uint32_t Texture) override;
  void Color(float R, float G, float B) override;
  void BeginQuads() override;
  void Quad(const TGUIQuad& Q) override;
  void EndQuads() override;
  void Rectangle(float X, float Y, float W, float H, float R, float G, float B) override;
  void PlainRectangle(float X, float Y, float W, float H, float R, float G, float B) override;
  void Translate(float X, float Y) override;
};

// The OpenGL output (it keeps no state, so one serves every caller).
TGUIOutput& GLGUIOutput();
