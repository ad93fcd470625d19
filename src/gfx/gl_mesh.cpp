#include "gfx/gl_mesh.h"

#include <GL/gl.h>

TGLMesh::~TGLMesh() {
  FreeDisplayList();
}

void TGLMesh::Draw() {
  if (List == 0)
    BuildDisplayList();
  glCallList(List);
}

void TGLMesh::BuildDisplayList() {
  if (List != 0)
    return;
  List = glGenLists(1);
  glNewList(List, GL_COMPILE);
  DrawComplete();
  glEndList();
}

void TGLMesh::FreeDisplayList() {
  if (List == 0)
    return;
  glDeleteLists(List, 1);
  List = 0;
}

void TGLMesh::DrawComplete() const {
  const auto vertexCount = static_cast<std::int32_t>(Vertex.size());
  glBegin(GL_TRIANGLES);
  for (const TFace& f : Face) {
    if (f.Point[0] < 0 || f.Point[0] >= vertexCount || f.Point[1] < 0 ||
        f.Point[1] >= vertexCount || f.Point[2] < 0 || f.Point[2] >= vertexCount)
      continue;
    if (!f.Smooth)
      glNormal3f(f.NX, f.NY, f.NZ);
    for (int corner = 0; corner < 3; ++corner) {
      const TVertex& v = Vertex[static_cast<std::size_t>(f.Point[corner])];
      glTexCoord2f(f.UV[corner].U, f.UV[corner].V);
      if (f.Smooth)
        glNormal3f(v.NX, v.NY, v.NZ);
      glVertex3f(v.X, v.Y, v.Z);
    }
  }
  glEnd();
}
