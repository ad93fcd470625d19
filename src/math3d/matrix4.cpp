#include "math3d/matrix4.h"

#include <cmath>
#include <utility>

namespace {

// Element (Row, Column) of a column-major matrix.
constexpr int At(int Row, int Column) {
  return Column * 4 + Row;
}

// M * (X, Y, Z, W).
std::array<float, 4> Times(const TMatrix4& M, float X, float Y, float Z, float W) {
  std::array<float, 4> out{};
  for (int r = 0; r < 4; ++r) {
    out[static_cast<std::size_t>(r)] =
        M[At(r, 0)] * X + M[At(r, 1)] * Y + M[At(r, 2)] * Z + M[At(r, 3)] * W;
  }
  return out;
}

// The world point of window coordinates (X, Y, Depth) under the inverse of Projection *
// ModelView; false when it lies at infinity.
bool Unproject(const TMatrix4& Inverse, const TViewport& View, float X, float Y, float Depth,
               TVector& Point) {
  const float nx = 2 * (X - static_cast<float>(View.X)) / static_cast<float>(View.Width) - 1;
  const float ny = 2 * (Y - static_cast<float>(View.Y)) / static_cast<float>(View.Height) - 1;
  const float nz = 2 * Depth - 1;
  const auto p = Times(Inverse, nx, ny, nz, 1);
  if (p[3] == 0) {
    return false;
  }
  Point = {p[0] / p[3], p[1] / p[3], p[2] / p[3]};
  return true;
}

} // namespace

TMatrix4 IdentityMatrix4() {
  TMatrix4 m{};
  m[At(0, 0)] = m[At(1, 1)] = m[At(2, 2)] = m[At(3, 3)] = 1;
  return m;
}

TMatrix4 Multiply(const TMatrix4& A, const TMatrix4& B) {
  TMatrix4 m{};
  for (int c = 0; c < 4; ++c) {
    for (int r = 0; r < 4; ++r) {
      float sum = 0;
      for (int k = 0; k < 4; ++k) {
        sum += A[At(r, k)] * B[At(k, c)];
      }
      m[At(r, c)] = sum;
    }
  }
  return m;
}

bool Inverted(const TMatrix4& M, TMatrix4& Inverse) {
  // Gauss-Jordan elimination with partial pivoting, in double precision.
  double a[4][8] = {};
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 4; ++c) {
      a[r][c] = M[At(r, c)];
    }
    a[r][4 + r] = 1;
  }
  for (int c = 0; c < 4; ++c) {
    int pivot = c;
    for (int r = c + 1; r < 4; ++r) {
      if (std::fabs(a[r][c]) > std::fabs(a[pivot][c])) {
        pivot = r;
      }
    }
    if (a[pivot][c] == 0) {
      return false;
    }
    if (pivot != c) {
      for (int k = 0; k < 8; ++k) {
        std::swap(a[pivot][k], a[c][k]);
      }
    }
    const double scale = 1 / a[c][c];
    for (int k = 0; k < 8; ++k) {
      a[c][k] *= scale;
    }
    for (int r = 0; r < 4; ++r) {
      if (r != c && a[r][c] != 0) {
        const double factor = a[r][c];
        for (int k = 0; k < 8; ++k) {
          a[r][k] -= factor * a[c][k];
        }
      }
    }
  }
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 4; ++c) {
      Inverse[At(r, c)] = static_cast<float>(a[r][4 + c]);
    }
  }
  return true;
}

TMatrix4 TranslationMatrix(float X, float Y, float Z) {
  TMatrix4 m = IdentityMatrix4();
  m[At(0, 3)] = X;
  m[At(1, 3)] = Y;
  m[At(2, 3)] = Z;
  return m;
}

TMatrix4 ScaleMatrix(float X, float Y, float Z) {
  TMatrix4 m = IdentityMatrix4();
  m[At(0, 0)] = X;
  m[At(1, 1)] = Y;
  m[At(2, 2)] = Z;
  return m;
}

TMatrix4 RotationMatrix(float Angle, float X, float Y, float Z) {
  const float length = std::sqrt(X * X + Y * Y + Z * Z);
  if (length == 0) {
    return IdentityMatrix4();
  }
  X /= length;
  Y /= length;
  Z /= length;
  const float c = std::cos(Angle);
  const float s = std::sin(Angle);
  const float t = 1 - c;
  TMatrix4 m = IdentityMatrix4();
  m[At(0, 0)] = X * X * t + c;
  m[At(0, 1)] = X * Y * t - Z * s;
  m[At(0, 2)] = X * Z * t + Y * s;
  m[At(1, 0)] = Y * X * t + Z * s;
  m[At(1, 1)] = Y * Y * t + c;
  m[At(1, 2)] = Y * Z * t - X * s;
  m[At(2, 0)] = Z * X * t - Y * s;
  m[At(2, 1)] = Z * Y * t + X * s;
  m[At(2, 2)] = Z * Z * t + c;
  return m;
}

TMatrix4 PerspectiveMatrix(float FovY, float Aspect, float Near, float Far) {
  const float f = 1 / std::tan(FovY / 2);
  TMatrix4 m{};
  m[At(0, 0)] = f / Aspect;
  m[At(1, 1)] = f;
  m[At(2, 2)] = (Far + Near) / (Near - Far);
  m[At(2, 3)] = 2 * Far * Near / (Near - Far);
  m[At(3, 2)] = -1;
  return m;
}

bool TransformPoint(const TMatrix4& M, const TVector& P, TVector& Result) {
  const auto p = Times(M, P.X, P.Y, P.Z, 1);
  if (p[3] <= 0) {
    return false;
  }
  Result = {p[0] / p[3], p[1] / p[3], p[2] / p[3]};
  return true;
}

bool ProjectPoint(const TMatrix4& Projection, const TMatrix4& ModelView, const TViewport& View,
                  const TVector& P, TVector& Window) {
  TVector ndc;
  if (!TransformPoint(Multiply(Projection, ModelView), P, ndc)) {
    return false;
  }
  Window = {static_cast<float>(View.X) + (ndc.X + 1) * static_cast<float>(View.Width) / 2,
            static_cast<float>(View.Y) + (ndc.Y + 1) * static_cast<float>(View.Height) / 2,
            (ndc.Z + 1) / 2};
  return true;
}

bool RayThroughWindowPoint(const TMatrix4& Projection, const TMatrix4& ModelView,
                           const TViewport& View, float X, float Y, TRay& Ray) {
  TMatrix4 inverse;
  if (View.Width <= 0 || View.Height <= 0 || !Inverted(Multiply(Projection, ModelView), inverse)) {
    return false;
  }
  TVector nearPoint, farPoint;
  if (!Unproject(inverse, View, X, Y, 0, nearPoint) ||
      !Unproject(inverse, View, X, Y, 1, farPoint)) {
    return false;
  }
  Ray = {nearPoint, Sub(farPoint, nearPoint)};
  return true;
}

bool RayHitsLevel(const TRay& Ray, float Height, TVector& Point) {
  if (Ray.Direction.Y == 0) {
    return false;
  }
  const float t = (Height - Ray.Origin.Y) / Ray.Direction.Y;
  if (t < 0) {
    return false;
  }
  Point = Add(Ray.Origin, Scaled(Ray.Direction, t));
  Point.Y = Height;
  return true;
}
