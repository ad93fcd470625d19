// The game screen's projection and view as matrices, built as the screen builds them with
// gluPerspective(45, 800 / 600, 2, far) and glRotatef(45, 1, 0, 0), glRotatef(AngleY, 0, 1, 0),
// glTranslatef(-X, -Y, -Z); and the same calls made on OpenGL for the tests with a window.
#pragma once

#include "app/screens/game_status.h"
#include "math3d/matrix4.h"

#include <numbers>

namespace game_camera {

inline constexpr float DEGREE = std::numbers::pi_v<float> / 180;
inline constexpr float FAR_PLANE = 450;
inline const TViewport WINDOW{0, 0, 800, 600};

inline TMatrix4 Projection() {
  return PerspectiveMatrix(45 * DEGREE, 800.0f / 600.0f, 2, FAR_PLANE);
}

inline TMatrix4 View(const TCamera& C) {
  return Multiply(
      Multiply(RotationMatrix(45 * DEGREE, 1, 0, 0), RotationMatrix(C.AngleY * DEGREE, 0, 1, 0)),
      TranslationMatrix(-C.X, -C.Y, -C.Z));
}

} // namespace game_camera
