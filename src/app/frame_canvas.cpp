#include "app/frame_canvas.h"

#include "app/ortho.h"
#include "gfx/media_manager.h"
#include "gfx/opengl_helpers.h"
#include "gfx/texture.h"

#include <GL/gl.h>
#include <SDL.h>

void TGLFrameCanvas::Clear() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glLoadIdentity();
}

void TGLFrameCanvas::BeginOrtho2D() {
  BeginOrtho(CLIENT_WIDTH, CLIENT_HEIGHT);
}

void TGLFrameCanvas::DrawImage(const std::string& Texture, int X, int Y, int W, int H) {
  TTexture* texture = FMan != nullptr ? FMan->GetTextureByName(Texture) : nullptr;
  // Texture object 0 has no image, which OpenGL treats as texturing switched off.
  glBindTexture(GL_TEXTURE_2D, texture != nullptr ? texture->Texture : 0);
  DrawRectangle(static_cast<float>(X), static_cast<float>(Y), static_cast<float>(W),
                static_cast<float>(H), 1, 1, 1);
}

void TGLFrameCanvas::EndOrtho2D() {
  EndOrtho();
}

void TGLFrameCanvas::Present() {
  SDL_GL_SwapBuffers();
}
