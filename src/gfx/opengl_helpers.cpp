#include "gfx/opengl_helpers.h"

#include <GL/gl.h>

namespace {

// How much lighter and darker the bevel of DrawBoundedRect is than its fill.
constexpr float BEVEL_STEP = 0.2f;
constexpr float DEFAULT_AXIS_LENGTH = 10.0f;
// The Z axis is drawn as two lines that start this fraction of the length off the origin.
constexpr float Z_AXIS_SPREAD = 1.0f / 50.0f;

} // namespace

void SetMaterialColor(float R, float G, float B) {
  const GLfloat colour[4] = {R, G, B, 1.0f};
  glMaterialfv(GL_FRONT, GL_DIFFUSE, colour);
  glMaterialfv(GL_FRONT, GL_AMBIENT, colour);
}

void DrawRectangle(float X, float Y, float W, float H, float R, float G, float B) {
  glBegin(GL_TRIANGLE_STRIP);
  glColor3f(R, G, B);
  glTexCoord2f(0, 0);
  glVertex2f(X, Y);
  glTexCoord2f(0, 1);
  glVertex2f(X, Y + H);
  glTexCoord2f(1, 0);
  glVertex2f(X + W, Y);
  glTexCoord2f(1, 1);
  glVertex2f(X + W, Y + H);
  glEnd();
}

void DrawBoundedRect(int X, int Y, int W, int H, float R, float G, float B, bool Raised) {
  const int right = X + W - 1;
  const int bottom = Y + H - 1;
  const float light = Raised ? BEVEL_STEP : -BEVEL_STEP;

  glBegin(GL_TRIANGLE_STRIP);
  glColor3f(R, G, B);
  glVertex2i(X, Y);
  glVertex2i(X, bottom);
  glVertex2i(right, Y);
  glVertex2i(right, bottom);
  glEnd();

  glBegin(GL_LINE_STRIP);
  glColor3f(R + light, G + light, B + light);
  glVertex2i(X, bottom);
  glVertex2i(X, Y);
  glVertex2i(right, Y);
  glEnd();

  glBegin(GL_LINE_STRIP);
  glColor3f(R - light, G - light, B - light);
  glVertex2i(right, Y);
  glVertex2i(right, bottom);
  glVertex2i(X, bottom);
  glEnd();
}

void DrawOriginLines(float Length) {
  glDisable(GL_LIGHTING);
  glDisable(GL_TEXTURE_2D);
  glBegin(GL_LINES);
  glColor3f(0, 0, 1);
  glVertex3f(0, 0, 0);
  glVertex3f(Length, 0, 0);
  glColor3f(1, 0, 0);
  glVertex3f(0, 0, 0);
  glVertex3f(0, Length, 0);
  glColor3f(0, 1, 0);
  glVertex3f(Length * Z_AXIS_SPREAD, 0, 0);
  glVertex3f(0, 0, Length);
  glVertex3f(-Length * Z_AXIS_SPREAD, 0, 0);
  glVertex3f(0, 0, Length);
  glEnd();
  glEnable(GL_TEXTURE_2D);
}

void DrawOriginLines() {
  DrawOriginLines(DEFAULT_AXIS_LENGTH);
}
