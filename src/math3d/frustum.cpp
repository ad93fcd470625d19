#include "math3d/frustum.h"

#include <cmath>

namespace {

float PlaneDistance(const std::array<float, 4>& Plane, float X, float Y, float Z) {
  return Plane[0] * X + Plane[1] * Y + Plane[2] * Z + Plane[3];
}

} // namespace

void NormalizePlane(TFrustumCuller& Frustum, int Side) {
  std::array<float, 4>& plane = Frustum.Frustum.at(static_cast<std::size_t>(Side));
  const float length = std::sqrt(plane[0] * plane[0] + plane[1] * plane[1] + plane[2] * plane[2]);
  if (length == 0) {
    plane = {0, 0, 0, 0};
    return;
  }
  for (float& value : plane) {
    value /= length;
  }
}

// Each plane is the fourth row of the combined clip matrix plus or minus one of the others
// (the matrices are stored column by column, so a row is every fourth element).
void TFrustumCuller::Calculate(const std::array<float, 16>& ProjM,
                               const std::array<float, 16>& ModM) {
  std::array<float, 16> clip{};
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      float sum = 0;
      for (int k = 0; k < 4; ++k) {
        sum += ModM[4 * i + k] * ProjM[4 * k + j];
      }
      clip[4 * i + j] = sum;
    }
  }
  // Row (0 = x, 1 = y, 2 = z) and sign combined with row 3, in plane order.
  constexpr struct {
    int Row;
    float Sign;
  } Planes[6] = {{0, -1}, {0, 1}, {1, 1}, {1, -1}, {2, -1}, {2, 1}};
  for (int side = 0; side < 6; ++side) {
    for (int n = 0; n < 4; ++n) {
      Frustum[side][n] = clip[3 + 4 * n] + Planes[side].Sign * clip[Planes[side].Row + 4 * n];
    }
    NormalizePlane(*this, side);
  }
}

bool TFrustumCuller::IsPointWithin(float PX, float PY, float PZ) const {
  for (const auto& plane : Frustum) {
    if (PlaneDistance(plane, PX, PY, PZ) <= 0) {
      return false;
    }
  }
  return true;
}

bool TFrustumCuller::IsSphereWithin(float PX, float PY, float PZ, float PRadius) const {
  for (const auto& plane : Frustum) {
    if (PlaneDistance(plane, PX, PY, PZ) <= -PRadius) {
      return false;
    }
  }
  return true;
}

bool TFrustumCuller::IsBoxWithin(float PX, float PY, float PZ, float PB, float PH, float PT) const {
  for (const auto& plane : Frustum) {
    bool passed = false;
    for (int corner = 0; corner < 8 && !passed; ++corner) {
      const float x = (corner & 1) ? PX + PB : PX - PB;
      const float y = (corner & 2) ? PY + PH : PY - PH;
      const float z = (corner & 4) ? PZ + PT : PZ - PT;
      passed = PlaneDistance(plane, x, y, z) > 0;
    }
    if (!passed) {
      return false;
    }
  }
  return true;
}
