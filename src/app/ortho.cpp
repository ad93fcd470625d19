#include "app/ortho.h"

#include <GL/gl.h>

namespace {

constexpr double ORTHO_NEAR = 0.0;
constexpr double ORTHO_FAR = 100.0;

} // namespace

void BeginOrtho(float Width, float Height) {
  glDisable(GL_DEPTH_TEST);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0.0, Width, Height, 0.0, ORTHO_NEAR, ORTHO_FAR);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

void EndOrtho() {
  glEnable(GL_DEPTH_TEST);
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}
