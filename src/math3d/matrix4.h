// 4 x 4 single-precision matrices stored column-major, as OpenGL keeps them (row R, column C at
// [C * 4 + R]), and the transforms of the fixed-function pipeline: enough to follow a point from
// the world to a window pixel and a pointer back into the world without asking OpenGL. Angles
// are in radians, as everywhere in the math library.
#pragma once

#include <array>

#include "math3d/vector.h"

using TMatrix4 = std::array<float, 16>;

// The part of the window a projection draws into, in window pixels from the bottom-left corner.
struct TViewport {
  int X = 0;
  int Y = 0;
  int Width = 0;
  int Height = 0;
};

// A half-line from Origin along Direction (not necessarily of unit length).
struct TRay {
  TVector Origin;
  TVector Direction;
};

//   IdentityMatrix4()              the identity
//   Multiply(A, B)                 A * B: B's transform applied first, as glMultMatrix(B) after A
//   Inverted(M, Inverse)           false, Inverse untouched, when M is singular
//   TranslationMatrix(x, y, z)     as glTranslatef
//   ScaleMatrix(x, y, z)           as glScalef
//   RotationMatrix(angle, x, y, z) as glRotatef (counter-clockwise about the axis, any length)
//   PerspectiveMatrix(fovy, aspect, near, far)  as gluPerspective (fovy the vertical angle)
//   TransformPoint(M, p)           M * (p, 1), divided by its w; false when w <= 0 (behind the eye)
TMatrix4 IdentityMatrix4();
TMatrix4 Multiply(const TMatrix4& A, const TMatrix4& B);
bool Inverted(const TMatrix4& M, TMatrix4& Inverse);
TMatrix4 TranslationMatrix(float X, float Y, float Z);
TMatrix4 ScaleMatrix(float X, float Y, float Z);
TMatrix4 RotationMatrix(float Angle, float X, float Y, float Z);
TMatrix4 PerspectiveMatrix(float FovY, float Aspect, float Near, float Far);
bool TransformPoint(const TMatrix4& M, const TVector& P, TVector& Result);

// Where P lands in the window, as gluProject computes it: X and Y in pixels from the viewport's
// bottom-left corner, Z the depth from 0 (near) to 1 (far). False when P lies behind the eye.
bool ProjectPoint(const TMatrix4& Projection, const TMatrix4& ModelView, const TViewport& View,
                  const TVector& P, TVector& Window);
// The ray through window point (X, Y) (pixels from the viewport's bottom-left corner) from the
// near plane towards the far plane, in the coordinates ModelView maps from. False when the two
// matrices cannot be inverted.
bool RayThroughWindowPoint(const TMatrix4& Projection, const TMatrix4& ModelView,
                           const TViewport& View, float X, float Y, TRay& Ray);
// Where Ray meets the plane y = Height going forwards; false when it runs parallel to the plane
// or away from it.
bool RayHitsLevel(const TRay& Ray, float Height, TVector& Point);
