#pragma once
// A retained 2D layer: a picture of what lies under the cursor (a screen's background and its
// GUI), copied from the back buffer into a texture of the viewport's size and drawn back pixel
// for pixel while nothing it was made of has changed. A copy of the framebuffer drawn back 1:1
// with nearest sampling and no blending is exact, so a kept frame looks the same as a drawn one.
//
// What the picture was made of: the texture drawn under the GUI (compared by its OpenGL name;
// textures keep their image while they exist), the GUI's recorded primitives (compared in full)
// and the viewport. A texture that this layer did not make in the current OpenGL context (the
// context was recreated, or the name now belongs to someone else) is never drawn: the layer
// labels its texture and checks the label. Where the driver cannot label objects, every frame
// is drawn directly.

#include "guidraw/gui_command_list.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>

class TRetainedLayer {
public:
  TRetainedLayer() = default;
  // Deletes the texture if the current context still holds it.
  ~TRetainedLayer();
  TRetainedLayer(const TRetainedLayer&) = delete;
  TRetainedLayer& operator=(const TRetainedLayer&) = delete;

  // Draws the layer into the viewport: DrawUnder (which draws the texture named Under, 0 for
  // none), then GUI over it. When Under, GUI and the viewport are those of the previous call
  // and a picture of them is kept, that picture is drawn instead. A picture is taken when a
  // frame repeats the one before it, so that content changing every frame costs no copies.
  void Draw(std::uint32_t Under, const TGUICommandList& GUI,
            const std::function<void()>& DrawUnder);
  // Whether the last Draw showed the kept picture.
  bool LastFrameKept() const { return FLastKept; }

private:
  // True while FTexture is the labelled texture this layer made in the current context.
  bool OwnsTexture() const;
  // Copies the viewport's pixels into FTexture, creating or resizing it first. False when the
  // driver cannot label a texture.
  bool Capture();
  // The kept picture over the whole viewport, with every fragment operation off.
  void DrawPicture() const;

  using TObjectLabel = void (*)(unsigned, unsigned, int, const char*);
  using TGetObjectLabel = void (*)(unsigned, unsigned, int, int*, char*);
  TObjectLabel FObjectLabel = nullptr;
  TGetObjectLabel FGetObjectLabel = nullptr;
  bool FLabelsLooked = false;

  std::uint32_t FTexture = 0;
  int FTextureWidth = 0, FTextureHeight = 0;
  std::string FLabel;

  // The previous frame: what it was made of, and whether FTexture holds its picture.
  bool FSeen = false;
  std::uint32_t FUnder = 0;
  std::array<int, 4> FViewport{};
  TGUICommandList FGUI;
  bool FPictureKept = false;
  bool FLastKept = false;
};
