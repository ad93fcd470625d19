// Single-precision quaternions (X, Y, Z vector part, W scalar part) for rotations, and the
// functions that rotate vectors and frames with them. See vector.h for the conventions.
#pragma once

#include <random>

#include "math3d/vector.h"

// A default-constructed quaternion is the identity (0, 0, 0, 1).
struct TQuaternion {
  float X = 0;
  float Y = 0;
  float Z = 0;
  float W = 1;

  // Components by index: 0 = X, 1 = Y, 2 = Z, 3 = W.
  float& operator[](int I) { return I == 0 ? X : (I == 1 ? Y : (I == 2 ? Z : W)); }
  float operator[](int I) const { return I == 0 ? X : (I == 1 ? Y : (I == 2 ? Z : W)); }
};

//   Add                          component-wise sum
//   Mult(a, b) / MultP(a, b)     Hamilton product a * b (returned / stored in a)
//   Conjugated / Conjugate       (-X, -Y, -Z, W)
//   Magnitude                    length of all four components
//   Normalized / Normalize       unit length (zero stays zero)
//   Inverted / Invert            conjugate, then normalise (zero stays zero)
//   Identity                     (0, 0, 0, 1), returned or stored
//   SetAxisAngle                 rotation by Angle about an axis of any length (zero axis:
//                                (0, 0, 0, cos(Angle/2))); four forms
//   GetAxisAngle                 unit axis and angle 0..2pi; (1, 0, 0) and 0 for no rotation
//   SetEuler(q, x, y, z)         qx * qy * qz, each about its own axis
//   Rotated / Rotate             v rotated by r: r * (v, 0) * Inverted(r)
//   Slerp(q1, q2, t)             along the shorter arc; not normalised afterwards
//   LookAt(dir, up)              the rotation taking +Z to dir and +Y towards up
//   GetDirUpVectors(q, dir, up)  the images of +Z and +Y, unit length
//   TranslateToFrame(v, p, o)    world point v in the frame of a body at p with orientation o
//   AddRotated(v, o, rel)        v + Rotated(rel, o); with a float: rel = (0, 0, DistanceZ)
//   GetRandomQuaternion(rng)     four draws of 0..1023 / 1024, normalised
TQuaternion Add(const TQuaternion& Q1, const TQuaternion& Q2);
TQuaternion Mult(const TQuaternion& A, const TQuaternion& B);
void MultP(TQuaternion& A, const TQuaternion& B);
TQuaternion Conjugated(const TQuaternion& A);
void Conjugate(TQuaternion& A);
float Magnitude(const TQuaternion& A);
TQuaternion Normalized(const TQuaternion& A);
void Normalize(TQuaternion& A);
TQuaternion Inverted(const TQuaternion& A);
void Invert(TQuaternion& A);
TQuaternion Identity();
void Identity(TQuaternion& Q);
void SetAxisAngle(TQuaternion& Q, float Angle, float AxisX, float AxisY, float AxisZ);
void SetAxisAngle(TQuaternion& Q, float Angle, const TVector& Axis);
TQuaternion SetAxisAngle(float Angle, float AxisX, float AxisY, float AxisZ);
TQuaternion SetAxisAngle(float Angle, const TVector& Axis);
void GetAxisAngle(const TQuaternion& Q, float& X, float& Y, float& Z, float& Angle);
void GetAxisAngle(const TQuaternion& Q, TVector& Axis, float& RotAngle);
void SetEuler(TQuaternion& Q, float X, float Y, float Z);
TVector Rotated(const TVector& V, const TQuaternion& R);
void Rotate(TVector& V, const TQuaternion& R);
TQuaternion Slerp(const TQuaternion& Q1, const TQuaternion& Q2, float Value);
TQuaternion LookAt(const TVector& Dir, const TVector& Up);
void GetDirUpVectors(const TQuaternion& Q, TVector& Dir, TVector& Up);
TVector TranslateToFrame(const TVector& V, const TVector& Position, const TQuaternion& Orientation);
TVector AddRotated(const TVector& V, const TQuaternion& Orientation, const TVector& RelativeVector);
TVector AddRotated(const TVector& V, const TQuaternion& Orientation, float DistanceZ);
TQuaternion GetRandomQuaternion(std::mt19937& Random);
