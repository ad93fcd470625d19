// Single-precision 3D vectors and the free functions over them.
//
// Conventions of the math library: all angles are in radians; quaternions are stored X, Y, Z, W
// (vector part first); matrices act on column vectors. Functions named as a past participle
// (Normalized, Inverted, Scaled...) return a new value; the verb form (Normalize, Invert,
// Scale...) changes its argument in place. Normalising a zero-length value gives zero.
#pragma once

struct TVector {
  float X = 0;
  float Y = 0;
  float Z = 0;

  // Components by index: 0 = X, 1 = Y, 2 = Z.
  float& operator[](int I) { return I == 0 ? X : (I == 1 ? Y : Z); }
  float operator[](int I) const { return I == 0 ? X : (I == 1 ? Y : Z); }
};

//   GetVector(x, y, z)             (x, y, z)
//   Add / Sub                      component-wise sum / difference
//   Cross / Dot                    cross product / dot product
//   Magnitude                      length
//   Normalized / Normalize         unit length (zero stays zero)
//   Inverted / Invert              negated
//   Scaled / Scale                 multiplied by a factor
//   Distance                       between two points (six floats or two vectors)
//   Interpolate(a, b, t)           a + (b - a) * t, t not clamped
//   Interpolated / Interpolate     the same per component (returned / written to Res)
//   AverageVector                  midpoint
//   DistancePointLine(p, l1, l2)   distance from p to the line through l1 and l2; 0 if l1 = l2
TVector GetVector(float VX, float VY, float VZ);
TVector Add(const TVector& Vec1, const TVector& Vec2);
TVector Sub(const TVector& Vec1, const TVector& Vec2);
TVector Cross(const TVector& Vec1, const TVector& Vec2);
float Dot(const TVector& Vec1, const TVector& Vec2);
float Magnitude(const TVector& Vec);
TVector Normalized(const TVector& Vec);
void Normalize(TVector& Vec);
TVector Inverted(const TVector& Vec);
void Invert(TVector& Vec);
TVector Scaled(const TVector& Vec, float Factor);
void Scale(TVector& Vec, float Factor);
float Distance(float X1, float Y1, float Z1, float X2, float Y2, float Z2);
float Distance(const TVector& V1, const TVector& V2);
float Interpolate(float A, float B, float Value);
TVector Interpolated(const TVector& V1, const TVector& V2, float Value);
void Interpolate(const TVector& V1, const TVector& V2, float Value, TVector& Res);
TVector AverageVector(const TVector& V1, const TVector& V2);
float DistancePointLine(const TVector& Point, const TVector& L1, const TVector& L2);
