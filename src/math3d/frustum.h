// The six clip planes of the current view, and tests of points, spheres and boxes against them.
#pragma once

#include <array>

// Plane order: 0 right, 1 left, 2 bottom, 3 top, 4 far, 5 near. A plane is (A, B, C, D) with
// (A, B, C) of unit length; point p is on its inner side when A*p.x + B*p.y + C*p.z + D > 0.
//
//   Calculate()                   reads GL_PROJECTION_MATRIX and GL_MODELVIEW_MATRIX (needs a
//                                 current OpenGL context), then as below
//   Calculate(proj, modelview)    the planes of two column-major 4 x 4 matrices, as OpenGL keeps
//   IsPointWithin(x, y, z)        strictly inside all six planes
//   IsSphereWithin(x, y, z, r)    not entirely outside any plane (distance > -r for all)
//   IsBoxWithin(x, y, z, hx, hy, hz)  some corner of the box (centre, half-sizes) inside each
//                                 plane; conservative near the frustum's corners
class TFrustumCuller {
public:
  std::array<std::array<float, 4>, 6> Frustum{};

  void Calculate();
  void Calculate(const std::array<float, 16>& ProjM, const std::array<float, 16>& ModM);
  bool IsPointWithin(float PX, float PY, float PZ) const;
  bool IsSphereWithin(float PX, float PY, float PZ, float PRadius) const;
  bool IsBoxWithin(float PX, float PY, float PZ, float PB, float PH, float PT) const;
};

enum TFrustumPlane { fpRight = 0, fpLeft, fpBottom, fpTop, fpFar, fpNear };

// Divides plane Side by the length of its normal (A, B, C); a zero normal gives a zero plane.
void NormalizePlane(TFrustumCuller& Frustum, int Side);
