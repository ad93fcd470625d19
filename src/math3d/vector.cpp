#include "math3d/vector.h"

#include <cmath>

TVector GetVector(float VX, float VY, float VZ) {
  return {VX, VY, VZ};
}

TVector Add(const TVector& Vec1, const TVector& Vec2) {
  return {Vec1.X + Vec2.X, Vec1.Y + Vec2.Y, Vec1.Z + Vec2.Z};
}

TVector Sub(const TVector& Vec1, const TVector& Vec2) {
  return {Vec1.X - Vec2.X, Vec1.Y - Vec2.Y, Vec1.Z - Vec2.Z};
}

TVector Cross(const TVector& Vec1, const TVector& Vec2) {
  return {Vec1.Y * Vec2.Z - Vec1.Z * Vec2.Y, Vec1.Z * Vec2.X - Vec1.X * Vec2.Z,
          Vec1.X * Vec2.Y - Vec1.Y * Vec2.X};
}

float Dot(const TVector& Vec1, const TVector& Vec2) {
  return Vec1.X * Vec2.X + Vec1.Y * Vec2.Y + Vec1.Z * Vec2.Z;
}

float Magnitude(const TVector& Vec) {
  return std::sqrt(Dot(Vec, Vec));
}

TVector Normalized(const TVector& Vec) {
  const float length = Magnitude(Vec);
  if (length == 0) {
    return {};
  }
  return {Vec.X / length, Vec.Y / length, Vec.Z / length};
}

void Normalize(TVector& Vec) {
  Vec = Normalized(Vec);
}

TVector Inverted(const TVector& Vec) {
  return {-Vec.X, -Vec.Y, -Vec.Z};
}

void Invert(TVector& Vec) {
  Vec = Inverted(Vec);
}

TVector Scaled(const TVector& Vec, float Factor) {
  return {Vec.X * Factor, Vec.Y * Factor, Vec.Z * Factor};
}

void Scale(TVector& Vec, float Factor) {
  Vec = Scaled(Vec, Factor);
}

float Distance(float X1, float Y1, float Z1, float X2, float Y2, float Z2) {
  return Magnitude(TVector{X2 - X1, Y2 - Y1, Z2 - Z1});
}

float Distance(const TVector& V1, const TVector& V2) {
  return Distance(V1.X, V1.Y, V1.Z, V2.X, V2.Y, V2.Z);
}

float Interpolate(float A, float B, float Value) {
  return A + (B - A) * Value;
}

TVector Interpolated(const TVector& V1, const TVector& V2, float Value) {
  return {Interpolate(V1.X, V2.X, Value), Interpolate(V1.Y, V2.Y, Value),
          Interpolate(V1.Z, V2.Z, Value)};
}

void Interpolate(const TVector& V1, const TVector& V2, float Value, TVector& Res) {
  Res = Interpolated(V1, V2, Value);
}

TVector AverageVector(const TVector& V1, const TVector& V2) {
  return Scaled(Add(V1, V2), 0.5f);
}

float DistancePointLine(const TVector& Point, const TVector& L1, const TVector& L2) {
  const TVector line = Sub(L2, L1);
  const float length = Magnitude(line);
  if (length == 0) {
    return 0;
  }
  return Magnitude(Cross(line, Sub(L1, Point))) / length;
}
