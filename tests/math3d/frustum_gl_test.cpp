// Calculate() reads the matrices OpenGL holds; needs a window (run under a virtual display).
#include <array>

#include <gtest/gtest.h>

#include "../support/gl_window.h"
#include "math3d/frustum.h"

// The software GL driver has no frame pointers: the leak checker needs full stack walks to
// attribute the driver's own allocations to the libraries tools/lsan.supp names. (Read only in
// sanitizer builds.)
extern "C" const char* __asan_default_options() {
  return "fast_unwind_on_malloc=0";
}

TEST(FrustumGL, CalculateReadsTheCurrentMatrices) {
  TTestGLWindow window;
  ASSERT_TRUE(window.Open());
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glFrustum(-1, 1, -1, 1, 1, 10);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glTranslatef(0, 0, -5);
  glRotatef(30, 0, 1, 0);

  TFrustumCuller fromGL;
  fromGL.Calculate();

  std::array<float, 16> proj{}, mod{};
  glGetFloatv(GL_PROJECTION_MATRIX, proj.data());
  glGetFloatv(GL_MODELVIEW_MATRIX, mod.data());
  TFrustumCuller fromArrays;
  fromArrays.Calculate(proj, mod);
  for (int side = 0; side < 6; ++side) {
    for (int n = 0; n < 4; ++n) {
      EXPECT_FLOAT_EQ(fromGL.Frustum[side][n], fromArrays.Frustum[side][n]);
    }
  }
  // The world origin is 5 in front of the camera; a point behind the camera is not.
  EXPECT_TRUE(fromGL.IsPointWithin(0, 0, 0));
  EXPECT_FALSE(fromGL.IsPointWithin(0, 0, 20));
  // The world origin lies 4 beyond the near plane (eye-space z = -1).
  EXPECT_NEAR(fromGL.Frustum[5][3], 4, 1e-4f);
}
