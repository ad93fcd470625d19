// The one part of the math library that needs OpenGL: reading the current matrices.
#include <GL/gl.h>

#include "math3d/frustum.h"

void TFrustumCuller::Calculate() {
  std::array<float, 16> projM{};
  std::array<float, 16> modM{};
  glGetFloatv(GL_PROJECTION_MATRIX, projM.data());
  glGetFloatv(GL_MODELVIEW_MATRIX, modM.data());
  Calculate(projM, modM);
}
