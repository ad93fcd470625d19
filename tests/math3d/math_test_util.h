// Tolerant comparisons for the math tests.
#pragma once

#include <cmath>

#include <gtest/gtest.h>

#include "math3d/quaternion.h"
#include "math3d/vector.h"

inline constexpr float Tolerance = 1e-5f;
inline constexpr float Pi = 3.14159265358979f;

inline ::testing::AssertionResult Near(const TVector& A, const TVector& B,
                                       float Epsilon = Tolerance) {
  if (std::fabs(A.X - B.X) <= Epsilon && std::fabs(A.Y - B.Y) <= Epsilon &&
      std::fabs(A.Z - B.Z) <= Epsilon) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << "(" << A.X << ", " << A.Y << ", " << A.Z << ") vs ("
                                       << B.X << ", " << B.Y << ", " << B.Z << ")";
}

inline ::testing::AssertionResult Near(const TQuaternion& A, const TQuaternion& B,
                                       float Epsilon = Tolerance) {
  for (int i = 0; i < 4; ++i) {
    if (std::fabs(A[i] - B[i]) > Epsilon) {
      return ::testing::AssertionFailure()
             << "(" << A.X << ", " << A.Y << ", " << A.Z << ", " << A.W << ") vs (" << B.X << ", "
             << B.Y << ", " << B.Z << ", " << B.W << ")";
    }
  }
  return ::testing::AssertionSuccess();
}

// Equal as rotations: q and -q are the same rotation.
inline ::testing::AssertionResult SameRotation(const TQuaternion& A, const TQuaternion& B) {
  if (Near(A, B) || Near(A, TQuaternion{-B.X, -B.Y, -B.Z, -B.W})) {
    return ::testing::AssertionSuccess();
  }
  return Near(A, B);
}
