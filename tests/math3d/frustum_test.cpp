// Frustum planes from a known perspective matrix, and the point, sphere and box tests.
#include <array>
#include <cmath>
#include <random>

#include <gtest/gtest.h>

#include "math3d/frustum.h"

namespace {

using TMatrix4 = std::array<float, 16>;

// Column-major, as OpenGL keeps it: a 90 degree field of view, square, near 1, far 10. In eye
// space the view is |x| < -z, |y| < -z, -10 < z < -1.
TMatrix4 Perspective() {
  const float nearZ = 1, farZ = 10;
  TMatrix4 m{};
  m[0] = 1;
  m[5] = 1;
  m[10] = (farZ + nearZ) / (nearZ - farZ);
  m[11] = -1;
  m[14] = 2 * farZ * nearZ / (nearZ - farZ);
  return m;
}

TMatrix4 Translation(float X, float Y, float Z) {
  TMatrix4 m{};
  m[0] = m[5] = m[10] = m[15] = 1;
  m[12] = X;
  m[13] = Y;
  m[14] = Z;
  return m;
}

TFrustumCuller Culler(const TMatrix4& ModelView = Translation(0, 0, 0)) {
  TFrustumCuller culler;
  culler.Calculate(Perspective(), ModelView);
  return culler;
}

} // namespace

TEST(Frustum, PlanesOfAKnownPerspective) {
  const TFrustumCuller culler = Culler();
  const float h = std::sqrt(0.5f);
  const std::array<std::array<float, 4>, 6> expected = {{
      {-h, 0, -h, 0}, // right: x < -z
      {h, 0, -h, 0},  // left: x > z
      {0, h, -h, 0},  // bottom: y > z
      {0, -h, -h, 0}, // top: y < -z
      {0, 0, 1, 10},  // far: z > -10
      {0, 0, -1, -1}, // near: z < -1
  }};
  for (int side = 0; side < 6; ++side) {
    for (int n = 0; n < 4; ++n) {
      EXPECT_NEAR(culler.Frustum[side][n], expected[side][n], 1e-5f) << side << " " << n;
    }
  }
}

TEST(Frustum, PointsInsideOutsideAndOnPlanes) {
  const TFrustumCuller culler = Culler();
  const struct {
    float X, Y, Z;
    bool Within;
  } cases[] = {
      {0, 0, -5, true},
      {4.9f, 0, -5, true},
      {0, -4.9f, -5, true},
      {0, 0, -1.01f, true},
      {0, 0, -9.99f, true},
      {0, 0, 5, false},
      {6, 0, -5, false},
      {0, 6, -5, false},
      {0, 0, -11, false},
      {0, 0, -0.5f, false},
      // Exactly on a plane is outside.
      {5, 0, -5, false},
      {-5, 0, -5, false},
      {0, 5, -5, false},
      {0, 0, -1, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(culler.IsPointWithin(c.X, c.Y, c.Z), c.Within) << c.X << " " << c.Y << " " << c.Z;
  }
}

TEST(Frustum, SpheresTouchingFromOutsideAreOut) {
  const TFrustumCuller culler = Culler();
  EXPECT_TRUE(culler.IsSphereWithin(0, 0, -5, 1));
  EXPECT_TRUE(culler.IsSphereWithin(0, 0, 0, 1.5f));      // reaches over the near plane
  EXPECT_FALSE(culler.IsSphereWithin(0, 0, -0.5f, 0.5f)); // distance exactly -radius
  EXPECT_TRUE(culler.IsSphereWithin(0, 0, -0.5f, 0.51f));
  EXPECT_FALSE(culler.IsSphereWithin(0, 0, 20, 5));
  EXPECT_FALSE(culler.IsSphereWithin(0, 0, -1, 0)); // a point on the near plane
}

TEST(Frustum, Boxes) {
  const TFrustumCuller culler = Culler();
  EXPECT_TRUE(culler.IsBoxWithin(0, 0, -5, 1, 1, 1));
  EXPECT_TRUE(culler.IsBoxWithin(0, 0, 0, 0.5f, 0.5f, 2));         // straddles the near plane
  EXPECT_TRUE(culler.IsBoxWithin(0, 0, -5, 50, 50, 50));           // holds the whole view
  EXPECT_FALSE(culler.IsBoxWithin(0, 0, 5, 1, 1, 1));              // behind the eye
  EXPECT_FALSE(culler.IsBoxWithin(20, 0, -5, 1, 1, 1));            // off to the right
  EXPECT_FALSE(culler.IsBoxWithin(0, 0, -0.5f, 0.5f, 0.5f, 0.5f)); // touches near from outside
  // Beside the far right edge: each plane has a corner inside, though no point of the box is
  // in the view. The test is conservative there.
  EXPECT_TRUE(culler.IsBoxWithin(10.75f, 0, -10.25f, 0.25f, 1, 1.25f));
  EXPECT_FALSE(culler.IsPointWithin(10.5f, 0, -9.5f));
}

TEST(Frustum, ModelViewIsAppliedBeforeProjection) {
  // The camera moved back by 5: the world origin is 5 in front of it.
  const TFrustumCuller culler = Culler(Translation(0, 0, -5));
  EXPECT_TRUE(culler.IsPointWithin(0, 0, 0));
  EXPECT_TRUE(culler.IsPointWithin(0, 0, 3.9f));
  EXPECT_FALSE(culler.IsPointWithin(0, 0, 4.5f));
  EXPECT_FALSE(culler.IsPointWithin(0, 0, -5.5f));
  EXPECT_TRUE(culler.IsPointWithin(0, 0, -4.5f));
}

TEST(Frustum, AgreesWithClipSpaceForManyPoints) {
  const TMatrix4 proj = Perspective();
  const TMatrix4 mod = Translation(1, -2, -4);
  TFrustumCuller culler;
  culler.Calculate(proj, mod);
  std::mt19937 random(99);
  std::uniform_real_distribution<float> coordinate(-12, 12);
  int within = 0;
  for (int i = 0; i < 2000; ++i) {
    const float p[4] = {coordinate(random), coordinate(random), coordinate(random), 1};
    float eye[4] = {}, clip[4] = {};
    for (int r = 0; r < 4; ++r) {
      for (int c = 0; c < 4; ++c) {
        eye[r] += mod[4 * c + r] * p[c];
      }
    }
    for (int r = 0; r < 4; ++r) {
      for (int c = 0; c < 4; ++c) {
        clip[r] += proj[4 * c + r] * eye[c];
      }
    }
    const float w = clip[3];
    const float margin =
        std::min({w - std::fabs(clip[0]), w - std::fabs(clip[1]), w - std::fabs(clip[2])});
    if (std::fabs(margin) < 1e-3f) {
      continue; // too close to a plane to call
    }
    const bool expected = margin > 0;
    within += expected;
    EXPECT_EQ(culler.IsPointWithin(p[0], p[1], p[2]), expected);
    EXPECT_EQ(culler.IsSphereWithin(p[0], p[1], p[2], 0), expected);
    EXPECT_EQ(culler.IsBoxWithin(p[0], p[1], p[2], 0, 0, 0), expected);
  }
  EXPECT_GT(within, 50); // the sample reaches inside the view
}

TEST(Frustum, DegeneratePlaneBecomesZero) {
  TFrustumCuller culler;
  culler.Frustum[2] = {0, 0, 0, 5};
  NormalizePlane(culler, 2);
  EXPECT_EQ(culler.Frustum[2], (std::array<float, 4>{0, 0, 0, 0}));
  culler.Frustum[0] = {0, 3, 4, 10};
  NormalizePlane(culler, 0);
  EXPECT_EQ(culler.Frustum[0], (std::array<float, 4>{0, 0.6f, 0.8f, 2}));
  EXPECT_FALSE(culler.IsPointWithin(0, 0, 0)); // a zero plane lets nothing through
}
