#include "guidraw/gui_output.h"

#include "gfx/opengl_helpers.h"

#include <GL/gl.h>

void TGLGUIOutput::BindTexture(std::uint32_t Texture) {
  glBindTexture(GL_TEXTURE_2D, Texture);
}

void TGLGUIOutput::Color(float R, float G, float B) {
  glColor3f(R, G, B);
}

void TGLGUIOutput::BeginQuads() {
  glBegin(GL_TRIANGLES);
}

void TGLGUIOutput::Quad(const TGUIQuad& Q) {
  glTexCoord2f(Q.U0, Q.V0);
  glVertex2f(Q.X0, Q.Y0);
  glTexCoord2f(Q.U0, Q.V1);
  glVertex2f(Q.X0, Q.Y1);
  glTexCoord2f(Q.U1, Q.V0);
  glVertex2f(Q.X1, Q.Y0);
  glTexCoord2f(Q.U1, Q.V0);
  glVertex2f(Q.X1, Q.Y0);
  glTexCoord2f(Q.U0, Q.V1);
  glVertex2f(Q.X0, Q.Y1);
  glTexCoord2f(Q.U1, Q.V1);
  glVertex2f(Q.X1, Q.Y1);
}

void TGLGUIOutput::EndQuads() {
  glEnd();
}

void TGLGUIOutput::Rectangle(float X, float Y, float W, float H, float R, float G, float B) {
  DrawRectangle(X, Y, W, H, R, G, B);
}

void TGLGUIOutput::PlainRectangle(float X, float Y, float W, float H, float R, float G, float B) {
  glDisable(GL_TEXTURE_2D);
  DrawRectangle(X, Y, W, H, R, G, B);
  glEnable(GL_TEXTURE_2D);
}

void TGLGUIOutput::Translate(float X, float Y) {
  glTranslatef(X, Y, 0.0f);
}

TGUIOutput& GLGUIOutput() {
  static TGLGUIOutput output;
  return output;
}
