#pragma once
// The drawing a screen's frame is made of, behind an interface: the OpenGL canvas draws into
// the window, while a test can put a recording canvas in its place and check a screen's frame
// without any window.

#include <string>

class TGenericMediaManager;

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
  void EndOrtho2D() override;
  void Present() override;

private:
  TGenericMediaManager* FMan = nullptr;
};
