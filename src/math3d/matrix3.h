// 3 x 3 single-precision matrices, M[row][column], acting on column vectors: the columns of a
// rotation matrix are the images of the X, Y and Z axes. Mostly the quaternion code's helpers.
#pragma once

#include <array>

#include "math3d/quaternion.h"
#include "math3d/vector.h"

using TMatrix3 = std::array<std::array<float, 3>, 3>;

//   Swp(a, b)                exchanges a and b
//   Transpose(M)             in place
//   QuaternionToMatrix3(q)   the rotation matrix of a unit quaternion: M * v = Rotated(v, q)
//   Matrix3ToQuaternion(M)   the quaternion of the TRANSPOSE of M (callers transpose first)
//   MatrixLookAt(dir, up)    columns: side axis, up made perpendicular to dir, dir; unit length
void Swp(float& A, float& B);
void Transpose(TMatrix3& M);
TMatrix3 QuaternionToMatrix3(const TQuaternion& A);
TQuaternion Matrix3ToQuaternion(const TMatrix3& M);
TMatrix3 MatrixLookAt(const TVector& Dir, const TVector& Up);
