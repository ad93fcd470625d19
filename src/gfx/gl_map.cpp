#include "gfx/gl_map.h"

#include "gfx/opengl_helpers.h"

#include <GL/gl.h>

void Rectangle(float X, float Z, float W, float H) {
  glBegin(GL_TRIANGLE_STRIP);
  glTexCoord2f(0, 0);
  glVertex3f(X, 0, Z);
  glTexCoord2f(0, 1);
  glVertex3f(X, 0, Z + H);
  glTexCoord2f(1, 0);
  glVertex3f(X + W, 0, Z);
  glTexCoord2f(1, 1);
  glVertex3f(X + W, 0, Z + H);
  glEnd();
}

TGLMap::~TGLMap() {
  FreeDisplayList();
}

void TGLMap::Render() {
  if (List == 0) {
    BuildDisplayList();
  }
  glCallList(List);
}

void TGLMap::BuildDisplayList() {
  if (List != 0) {
    return;
  }
  List = glGenLists(1);
  glNewList(List, GL_COMPILE);
  DrawComplete();
  glEndList();
}

void TGLMap::FreeDisplayList() {
  if (List != 0) {
    glDeleteLists(List, 1);
    List = 0;
  }
}

void TGLMap::DrawComplete() {
  SetMaterialColor(1.0f, 1.0f, 1.0f);
  for (int x = 0; x < SizeX; ++x) {
    for (int z = 0; z < SizeY; ++z) {
      Rectangle(TILE_SIZE * x, TILE_SIZE * z, TILE_SIZE, TILE_SIZE);
    }
  }
}
