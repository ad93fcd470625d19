#include "app/frame_canvas.h"

#include "app/ortho.h"
#include "gfx/media_manager.h"
#include "gfx/opengl_helpers.h"
#include "gfx/texture.h"
#include "guidraw/gui_command_list.h"

#include <GL/gl.h>
#include <SDL.h>

void TGLFrameCanvas::Clear() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glLoadIdentity();
}

void TGLFrameCanvas::BeginOrtho2D() {
  BeginOrtho(CLIENT_WIDTH, CLIENT_HEIGHT);
}

namespace {

// True when the bound texture would be drawn at exactly its own size onto whole window pixels,
// with one projection unit per pixel.
bool DrawnAtOwnSize(int W, int H) {
  GLint width = 0, height = 0, viewport[4] = {0, 0, 0, 0};
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
  glGetIntegerv(GL_VIEWPORT, viewport);
  return width == W && height == H && viewport[2] == CLIENT_WIDTH && viewport[3] == CLIENT_HEIGHT;
}

void Rectangle2D(int X, int Y, int W, int H) {
  DrawRectangle(static_cast<float>(X), static_cast<float>(Y), static_cast<float>(W),
                static_cast<float>(H), 1, 1, 1);
}

} // namespace

void TGLFrameCanvas::DrawImage(const std::string& Texture, int X, int Y, int W, int H) {
  TTexture* texture = FMan != nullptr ? FMan->GetTextureByName(Texture) : nullptr;
  // Texture object 0 has no image, which OpenGL treats as texturing switched off.
  glBindTexture(GL_TEXTURE_2D, texture != nullptr ? texture->Texture : 0);
  if (texture == nullptr || !DrawnAtOwnSize(W, H)) {
    Rectangle2D(X, Y, W, H);
    return;
  }
  // Every pixel centre then falls on a texel centre, where linear filtering gives exactly the
  // texel: nearest sampling draws the same picture (the full-window background) at a fraction
  // of the renderer's cost. The texture's own filters are restored afterwards.
  GLint minFilter = GL_LINEAR, magFilter = GL_LINEAR;
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &magFilter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  Rectangle2D(X, Y, W, H);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magFilter);
}

bool TGLFrameCanvas::DrawLayer(const std::string& Background, const TGUICommandList& GUI) {
  TTexture* texture = FMan != nullptr ? FMan->GetTextureByName(Background) : nullptr;
  Layer.Draw(texture != nullptr ? texture->Texture : 0, GUI,
             [&] { DrawImage(Background, 0, 0, CLIENT_WIDTH, CLIENT_HEIGHT); });
  return true;
}

void TGLFrameCanvas::EndOrtho2D() {
  EndOrtho();
}

void TGLFrameCanvas::Present() {
  SDL_GL_SwapBuffers();
}
