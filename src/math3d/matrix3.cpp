#include "math3d/matrix3.h"

#include <cmath>
#include <utility>

void Swp(float& A, float& B) {
  std::swap(A, B);
}

void Transpose(TMatrix3& M) {
  Swp(M[0][1], M[1][0]);
  Swp(M[0][2], M[2][0]);
  Swp(M[1][2], M[2][1]);
}

TMatrix3 QuaternionToMatrix3(const TQuaternion& A) {
  const float x2 = 2 * A.X * A.X, y2 = 2 * A.Y * A.Y, z2 = 2 * A.Z * A.Z;
  const float xy = 2 * A.X * A.Y, xz = 2 * A.X * A.Z, yz = 2 * A.Y * A.Z;
  const float wx = 2 * A.W * A.X, wy = 2 * A.W * A.Y, wz = 2 * A.W * A.Z;
  TMatrix3 m;
  m[0] = {1 - y2 - z2, xy - wz, xz + wy};
  m[1] = {xy + wz, 1 - x2 - z2, yz - wx};
  m[2] = {xz - wy, yz + wx, 1 - x2 - y2};
  return m;
}

// The trace method. With a positive trace W is the largest component and is taken from the
// trace; otherwise the largest diagonal entry picks the component computed first, which keeps
// the square root away from zero.
TQuaternion Matrix3ToQuaternion(const TMatrix3& M) {
  const float tr = M[0][0] + M[1][1] + M[2][2];
  if (tr > 0) {
    float s = std::sqrt(tr + 1);
    TQuaternion q;
    q.W = s / 2;
    s = 0.5f / s;
    q.X = (M[1][2] - M[2][1]) * s;
    q.Y = (M[2][0] - M[0][2]) * s;
    q.Z = (M[0][1] - M[1][0]) * s;
    return q;
  }
  constexpr int Next[3] = {1, 2, 0};
  int i = 0;
  if (M[1][1] > M[0][0]) {
    i = 1;
  }
  if (M[2][2] > M[i][i]) {
    i = 2;
  }
  const int j = Next[i];
  const int k = Next[j];
  float s = std::sqrt(M[i][i] - (M[j][j] + M[k][k]) + 1);
  TQuaternion q;
  q[i] = s * 0.5f;
  if (s != 0) {
    s = 0.5f / s;
  }
  q[3] = (M[j][k] - M[k][j]) * s;
  q[j] = (M[i][j] + M[j][i]) * s;
  q[k] = (M[i][k] + M[k][i]) * s;
  return q;
}

TMatrix3 MatrixLookAt(const TVector& Dir, const TVector& Up) {
  const TVector xAxis = Normalized(Cross(Up, Dir));
  const TVector normUp = Normalized(Cross(Dir, xAxis));
  const TVector normDir = Normalized(Dir);
  TMatrix3 m;
  for (int row = 0; row < 3; ++row) {
    m[row] = {xAxis[row], normUp[row], normDir[row]};
  }
  return m;
}
