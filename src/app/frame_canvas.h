#pragma once
// The drawing a screen's frame is made of, behind an interface: the OpenGL canvas draws into
// the window, while a test can put a recording canvas in its place and check a screen's frame
// without any window.

#include "guidraw/retained_layer.h"

#include <string>

class TGenericMediaManager;
class TGUICommandList;

// The client's window size; the screens draw their 2D layer in these pixel units.
inline constexpr int CLIENT_WIDTH = 800;
inline constexpr int CLIENT_HEIGHT = 600;

class TFrameCanvas {
public:
  virtual ~TFrameCanvas() = default;
  // Clears the colour and depth buffers and resets the modelview matrix.
  virtual void Clear() = 0;
  // Enters the 2D pixel projection of the whole window (BeginOrtho).
  virtual void BeginOrtho2D() = 0;
  // The named texture stretched over the rectangle in white; a texture the media manager cannot
  // give draws an untextured rectangle.
  virtual void DrawImage(const std::string& Texture, int X, int Y, int W, int H) = 0;
  // The layer under the cursor: the named texture over the whole window (as DrawImage draws it)
  // and the recorded GUI over it. A canvas that can keep that layer between frames draws it and
  // answers true; this one draws nothing and answers false, and the caller draws it itself.
  virtual bool DrawLayer(const std::string& /*Background*/, const TGUICommandList& /*GUI*/) {
    return false;
  }
  // Leaves the 2D projection (EndOrtho).
  virtual void EndOrtho2D() = 0;
  // Shows the finished frame (buffer swap).
  virtual void Present() = 0;
};

class TGLFrameCanvas : public TFrameCanvas {
public:
  // Textures come from Man (used, not owned; none draws every image untextured).
  explicit TGLFrameCanvas(TGenericMediaManager* Man) : FMan(Man) {}
  void Clear() override;
  void BeginOrtho2D() override;
  void DrawImage(const std::string& Texture, int X, int Y, int W, int H) override;
  // Kept in a retained layer: a frame whose background and GUI are those of the frame before
  // draws the picture that frame left.
  bool DrawLayer(const std::string& Background, const TGUICommandList& GUI) override;
  void EndOrtho2D() override;
  void Present() override;

  // The layer's picture of the last frames (its LastFrameKept tells how a frame was drawn).
  TRetainedLayer Layer;

private:
  TGenericMediaManager* FMan = nullptr;
};
