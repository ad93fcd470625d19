#include <cmath>

#include <gtest/gtest.h>

#include "math3d/vector.h"
#include "math_test_util.h"

TEST(Vector, ComponentsByIndex) {
  TVector v = GetVector(1, 2, 3);
  EXPECT_EQ(v[0], 1);
  EXPECT_EQ(v[1], 2);
  EXPECT_EQ(v[2], 3);
  v[1] = 5;
  EXPECT_EQ(v.Y, 5);
}

TEST(Vector, Arithmetic) {
  const TVector a{1, 2, 3};
  const TVector b{-4, 5, 0.5f};
  EXPECT_TRUE(Near(Add(a, b), {-3, 7, 3.5f}));
  EXPECT_TRUE(Near(Sub(a, b), {5, -3, 2.5f}));
  EXPECT_TRUE(Near(Cross({1, 0, 0}, {0, 1, 0}), {0, 0, 1}));
  EXPECT_TRUE(Near(Cross(a, b), {2 * 0.5f - 3 * 5, 3 * -4 - 1 * 0.5f, 1 * 5 - 2 * -4}));
  EXPECT_FLOAT_EQ(Dot(a, b), -4 + 10 + 1.5f);
  EXPECT_FLOAT_EQ(Magnitude(TVector{3, 4, 12}), 13);
  EXPECT_TRUE(Near(Inverted(a), {-1, -2, -3}));
  EXPECT_TRUE(Near(Scaled(a, -2), {-2, -4, -6}));
  EXPECT_TRUE(Near(AverageVector(a, b), {-1.5f, 3.5f, 1.75f}));

  TVector c = a;
  Invert(c);
  EXPECT_TRUE(Near(c, Inverted(a)));
  Scale(c, 0.5f);
  EXPECT_TRUE(Near(c, {-0.5f, -1, -1.5f}));
}

TEST(Vector, NormalizeGivesUnitLengthAndZeroStaysZero) {
  EXPECT_TRUE(Near(Normalized(TVector{0, 3, 4}), {0, 0.6f, 0.8f}));
  EXPECT_TRUE(Near(Normalized(TVector{}), {0, 0, 0}));
  TVector v{-2, 0, 0};
  Normalize(v);
  EXPECT_TRUE(Near(v, {-1, 0, 0}));
  TVector zero{};
  Normalize(zero);
  EXPECT_FALSE(std::isnan(zero.X));
}

TEST(Vector, DistancesAndInterpolation) {
  EXPECT_FLOAT_EQ(Distance(1, 2, 3, 4, 6, 3), 5);
  EXPECT_FLOAT_EQ(Distance(TVector{1, 2, 3}, TVector{4, 6, 3}), 5);
  EXPECT_FLOAT_EQ(Interpolate(2, 4, 0.25f), 2.5f);
  EXPECT_FLOAT_EQ(Interpolate(2, 4, 1.5f), 5); // not clamped
  EXPECT_TRUE(Near(Interpolated({0, 0, 0}, {2, 4, -8}, 0.5f), {1, 2, -4}));
  TVector res;
  Interpolate({1, 1, 1}, {3, 3, 3}, -1, res);
  EXPECT_TRUE(Near(res, {-1, -1, -1}));
}

TEST(Vector, DistancePointLine) {
  const struct {
    TVector Point, L1, L2;
    float Expected;
  } cases[] = {
      {{0, 5, 0}, {-1, 0, 0}, {1, 0, 0}, 5},
      {{7, 5, 0}, {-1, 0, 0}, {1, 0, 0}, 5}, // the line is infinite
      {{0, 0, 0}, {-1, 0, 0}, {1, 0, 0}, 0},
      {{1, 1, 1}, {0, 0, 0}, {2, 2, 2}, 0},
      {{0, 0, 3}, {0, 0, 0}, {1, 1, 0}, 3},
      {{1, 0, 0}, {0, 0, 0}, {1, 1, 0}, std::sqrt(0.5f)},
      {{3, 4, 0}, {2, 2, 2}, {2, 2, 2}, 0}, // no line at all
  };
  for (const auto& c : cases) {
    EXPECT_NEAR(DistancePointLine(c.Point, c.L1, c.L2), c.Expected, Tolerance);
  }
}
