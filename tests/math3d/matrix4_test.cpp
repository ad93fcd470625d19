#include "math3d/matrix4.h"

#include <gtest/gtest.h>

#include "math_test_util.h"

namespace {

TVector Apply(const TMatrix4& M, const TVector& P) {
  TVector out;
  EXPECT_TRUE(TransformPoint(M, P, out));
  return out;
}

TEST(Matrix4, TransformsTurnAsOpenGLTurns) {
  // glRotatef turns counter-clockwise about its axis, seen from the axis' tip.
  EXPECT_TRUE(Near(Apply(RotationMatrix(Pi / 2, 0, 0, 1), {1, 0, 0}), {0, 1, 0}));
  EXPECT_TRUE(Near(Apply(RotationMatrix(Pi / 2, 0, 1, 0), {1, 0, 0}), {0, 0, -1}));
  EXPECT_TRUE(Near(Apply(RotationMatrix(Pi / 2, 2, 0, 0), {0, 1, 0}), {0, 0, 1}));
  EXPECT_TRUE(Near(Apply(TranslationMatrix(1, 2, 3), {1, 1, 1}), {2, 3, 4}));
  EXPECT_TRUE(Near(Apply(ScaleMatrix(2, -1, 3), {1, 1, 1}), {2, -1, 3}));
  // A product applies its right-hand factor first.
  const TMatrix4 m = Multiply(TranslationMatrix(10, 0, 0), RotationMatrix(Pi / 2, 0, 0, 1));
  EXPECT_TRUE(Near(Apply(m, {1, 0, 0}), {10, 1, 0}));
}

TEST(Matrix4, InverseUndoesAndSingularIsRefused) {
  const TMatrix4 m =
      Multiply(Multiply(PerspectiveMatrix(Pi / 4, 4.0f / 3, 2, 500), RotationMatrix(0.7f, 1, 2, 3)),
               TranslationMatrix(-32, -20, -36));
  TMatrix4 inverse;
  ASSERT_TRUE(Inverted(m, inverse));
  const TMatrix4 identity = Multiply(m, inverse);
  for (int i = 0; i < 16; ++i) {
    EXPECT_NEAR(identity[static_cast<std::size_t>(i)], i % 5 == 0 ? 1 : 0, 1e-4) << i;
  }
  TMatrix4 untouched = IdentityMatrix4();
  EXPECT_FALSE(Inverted(ScaleMatrix(1, 0, 1), untouched));
  EXPECT_EQ(untouched, IdentityMatrix4());
}

TEST(Matrix4, PointsGoToTheWindowAndRaysComeBackThroughThem) {
  const TMatrix4 projection = PerspectiveMatrix(Pi / 4, 4.0f / 3, 2, 500);
  const TMatrix4 view = Multiply(RotationMatrix(Pi / 4, 1, 0, 0), TranslationMatrix(-5, -20, -30));
  const TViewport port{0, 0, 800, 600};
  // The point straight ahead lands in the middle of the window.
  TVector window;
  ASSERT_TRUE(ProjectPoint(projection, view, port, {5, 0, 10}, window));
  EXPECT_NEAR(window.X, 400, 1e-3);
  EXPECT_NEAR(window.Y, 300, 1e-3);
  EXPECT_GT(window.Z, 0);
  EXPECT_LT(window.Z, 1);
  // A point behind the eye has no place in the window.
  EXPECT_FALSE(ProjectPoint(projection, view, port, {5, 40, 60}, window));
  for (const TVector& p : {TVector{0, 0, 0}, TVector{12, 3, -7}, TVector{-20, 0, 15}}) {
    ASSERT_TRUE(ProjectPoint(projection, view, port, p, window));
    TRay ray;
    ASSERT_TRUE(RayThroughWindowPoint(projection, view, port, window.X, window.Y, ray));
    EXPECT_NEAR(DistancePointLine(p, ray.Origin, Add(ray.Origin, ray.Direction)), 0, 1e-3);
    EXPECT_TRUE(Near(ray.Origin, {5, 20, 30}, 2.5f)) << "starts at the near plane";
  }
}

TEST(Matrix4, RaysMeetALevelOnlyGoingTowardsIt) {
  TVector hit;
  ASSERT_TRUE(RayHitsLevel({{1, 10, 1}, {1, -2, 0}}, 0, hit));
  EXPECT_TRUE(Near(hit, {6, 0, 1}));
  EXPECT_FALSE(RayHitsLevel({{1, 10, 1}, {1, 2, 0}}, 0, hit)); // away from it
  EXPECT_FALSE(RayHitsLevel({{1, 10, 1}, {1, 0, 0}}, 0, hit)); // alongside it
}

} // namespace
