#include "math3d/quaternion.h"

#include <algorithm>
#include <cmath>

#include "math3d/matrix3.h"

namespace {

// Below this squared length a quaternion's vector part is taken as no rotation at all.
constexpr float TinySquare = 1e-12f;

TQuaternion ScaledQ(const TQuaternion& A, float Factor) {
  return {A.X * Factor, A.Y * Factor, A.Z * Factor, A.W * Factor};
}

} // namespace

TQuaternion Add(const TQuaternion& Q1, const TQuaternion& Q2) {
  return {Q1.X + Q2.X, Q1.Y + Q2.Y, Q1.Z + Q2.Z, Q1.W + Q2.W};
}

TQuaternion Mult(const TQuaternion& A, const TQuaternion& B) {
  TQuaternion r;
  r.W = A.W * B.W - A.X * B.X - A.Y * B.Y - A.Z * B.Z;
  r.X = A.Y * B.Z - A.Z * B.Y + A.W * B.X + A.X * B.W;
  r.Y = A.Z * B.X - A.X * B.Z + A.W * B.Y + A.Y * B.W;
  r.Z = A.X * B.Y - A.Y * B.X + A.W * B.Z + A.Z * B.W;
  return r;
}

void MultP(TQuaternion& A, const TQuaternion& B) {
  A = Mult(A, B);
}

TQuaternion Conjugated(const TQuaternion& A) {
  return {-A.X, -A.Y, -A.Z, A.W};
}

void Conjugate(TQuaternion& A) {
  A = Conjugated(A);
}

float Magnitude(const TQuaternion& A) {
  return std::sqrt(A.W * A.W + A.X * A.X + A.Y * A.Y + A.Z * A.Z);
}

TQuaternion Normalized(const TQuaternion& A) {
  const float length = Magnitude(A);
  if (length == 0) {
    return {0, 0, 0, 0};
  }
  return {A.X / length, A.Y / length, A.Z / length, A.W / length};
}

void Normalize(TQuaternion& A) {
  A = Normalized(A);
}

TQuaternion Inverted(const TQuaternion& A) {
  return Normalized(Conjugated(A));
}

void Invert(TQuaternion& A) {
  Conjugate(A);
  Normalize(A);
}

TQuaternion Identity() {
  return {0, 0, 0, 1};
}

void Identity(TQuaternion& Q) {
  Q = Identity();
}

void SetAxisAngle(TQuaternion& Q, float Angle, float AxisX, float AxisY, float AxisZ) {
  float factor = AxisX * AxisX + AxisY * AxisY + AxisZ * AxisZ;
  if (factor == 0) {
    factor = TinySquare;
  }
  const float scaleBy = 1.0f / std::sqrt(factor);
  const float sinHalfAngle = std::sin(Angle / 2);
  Q.W = std::cos(Angle / 2);
  Q.X = scaleBy * AxisX * sinHalfAngle;
  Q.Y = scaleBy * AxisY * sinHalfAngle;
  Q.Z = scaleBy * AxisZ * sinHalfAngle;
}

void SetAxisAngle(TQuaternion& Q, float Angle, const TVector& Axis) {
  SetAxisAngle(Q, Angle, Axis.X, Axis.Y, Axis.Z);
}

TQuaternion SetAxisAngle(float Angle, float AxisX, float AxisY, float AxisZ) {
  TQuaternion q;
  SetAxisAngle(q, Angle, AxisX, AxisY, AxisZ);
  return q;
}

TQuaternion SetAxisAngle(float Angle, const TVector& Axis) {
  return SetAxisAngle(Angle, Axis.X, Axis.Y, Axis.Z);
}

void GetAxisAngle(const TQuaternion& Q, float& X, float& Y, float& Z, float& Angle) {
  const float lenOfVector = Q.X * Q.X + Q.Y * Q.Y + Q.Z * Q.Z;
  if (lenOfVector < TinySquare) {
    X = 1;
    Y = 0;
    Z = 0;
    Angle = 0;
    return;
  }
  const float invLen = 1.0f / std::sqrt(lenOfVector);
  X = Q.X * invLen;
  Y = Q.Y * invLen;
  Z = Q.Z * invLen;
  Angle = 2 * std::acos(std::clamp(Q.W, -1.0f, 1.0f));
}

void GetAxisAngle(const TQuaternion& Q, TVector& Axis, float& RotAngle) {
  GetAxisAngle(Q, Axis.X, Axis.Y, Axis.Z, RotAngle);
}

void SetEuler(TQuaternion& Q, float X, float Y, float Z) {
  Q = Mult(Mult(SetAxisAngle(X, 1, 0, 0), SetAxisAngle(Y, 0, 1, 0)), SetAxisAngle(Z, 0, 0, 1));
}

TVector Rotated(const TVector& V, const TQuaternion& R) {
  const TQuaternion result = Mult(Mult(R, TQuaternion{V.X, V.Y, V.Z, 0}), Inverted(R));
  return {result.X, result.Y, result.Z};
}

void Rotate(TVector& V, const TQuaternion& R) {
  V = Rotated(V, R);
}

TQuaternion Slerp(const TQuaternion& Q1, const TQuaternion& Q2, float Value) {
  float cosOm = Q1.X * Q2.X + Q1.Y * Q2.Y + Q1.Z * Q2.Z + Q1.W * Q2.W;
  TQuaternion q2o = Q2;
  if (cosOm < 0) {
    cosOm = -cosOm;
    q2o = ScaledQ(Q2, -1);
  }
  float scale0 = 1 - Value;
  float scale1 = Value;
  if (1 - cosOm > TinySquare) {
    const float omega = std::acos(cosOm);
    const float sinOm = std::sin(omega);
    scale0 = std::sin((1 - Value) * omega) / sinOm;
    scale1 = std::sin(Value * omega) / sinOm;
  }
  return Add(ScaledQ(Q1, scale0), ScaledQ(q2o, scale1));
}

TQuaternion LookAt(const TVector& Dir, const TVector& Up) {
  TMatrix3 m = MatrixLookAt(Dir, Up);
  Transpose(m);
  return Matrix3ToQuaternion(m);
}

void GetDirUpVectors(const TQuaternion& Q, TVector& Dir, TVector& Up) {
  const TMatrix3 m = QuaternionToMatrix3(Q);
  Up = Normalized(TVector{m[0][1], m[1][1], m[2][1]});
  Dir = Normalized(TVector{m[0][2], m[1][2], m[2][2]});
}

TVector TranslateToFrame(const TVector& V, const TVector& Position,
                         const TQuaternion& Orientation) {
  return Rotated(Sub(V, Position), Inverted(Orientation));
}

TVector AddRotated(const TVector& V, const TQuaternion& Orientation,
                   const TVector& RelativeVector) {
  return Add(V, Rotated(RelativeVector, Orientation));
}

TVector AddRotated(const TVector& V, const TQuaternion& Orientation, float DistanceZ) {
  return AddRotated(V, Orientation, TVector{0, 0, DistanceZ});
}

TQuaternion GetRandomQuaternion(std::mt19937& Random) {
  std::uniform_int_distribution<int> draw(0, 1023);
  TQuaternion q;
  for (int i = 0; i < 4; ++i) {
    q[i] = static_cast<float>(draw(Random)) / 1024;
  }
  return Normalized(q);
}
