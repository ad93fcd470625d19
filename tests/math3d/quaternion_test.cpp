#include <cmath>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "math3d/matrix3.h"
#include "math3d/quaternion.h"
#include "math_test_util.h"

namespace {

// A spread of unit quaternions, the same on every run.
std::vector<TQuaternion> SampleRotations() {
  std::mt19937 random(1234);
  std::vector<TQuaternion> samples;
  for (int i = 0; i < 50; ++i) {
    std::uniform_real_distribution<float> component(-1, 1);
    TQuaternion q{component(random), component(random), component(random), component(random)};
    samples.push_back(Normalized(q));
  }
  return samples;
}

TVector MatrixTimes(const TMatrix3& M, const TVector& V) {
  TVector out;
  for (int row = 0; row < 3; ++row) {
    out[row] = M[row][0] * V.X + M[row][1] * V.Y + M[row][2] * V.Z;
  }
  return out;
}

} // namespace

TEST(Quaternion, DefaultAndIdentity) {
  EXPECT_TRUE(Near(TQuaternion{}, {0, 0, 0, 1}));
  EXPECT_TRUE(Near(Identity(), {0, 0, 0, 1}));
  TQuaternion q{1, 2, 3, 4};
  Identity(q);
  EXPECT_TRUE(Near(q, {0, 0, 0, 1}));
  EXPECT_EQ(q[3], 1);
}

TEST(Quaternion, HamiltonProduct) {
  const TQuaternion i{1, 0, 0, 0}, j{0, 1, 0, 0}, k{0, 0, 1, 0};
  EXPECT_TRUE(Near(Mult(i, j), k));
  EXPECT_TRUE(Near(Mult(j, i), {0, 0, -1, 0}));
  EXPECT_TRUE(Near(Mult(i, i), {0, 0, 0, -1}));
  EXPECT_TRUE(Near(Mult(TQuaternion{1, 2, 3, 4}, TQuaternion{5, 6, 7, 8}), {24, 48, 48, -6}));
  TQuaternion a{1, 2, 3, 4};
  MultP(a, TQuaternion{5, 6, 7, 8});
  EXPECT_TRUE(Near(a, {24, 48, 48, -6}));
  EXPECT_TRUE(Near(Add(TQuaternion{1, 2, 3, 4}, TQuaternion{5, 6, 7, 8}), {6, 8, 10, 12}));
}

TEST(Quaternion, ConjugateNormalizeInvert) {
  const TQuaternion q{1, 2, 3, 4};
  EXPECT_TRUE(Near(Conjugated(q), {-1, -2, -3, 4}));
  EXPECT_FLOAT_EQ(Magnitude(q), std::sqrt(30.0f));
  EXPECT_FLOAT_EQ(Magnitude(Normalized(q)), 1);
  // For any non-zero q, Inverted(q) * q is a pure scalar; for a unit q it is the identity.
  const TQuaternion unit = Normalized(q);
  EXPECT_TRUE(Near(Mult(Inverted(unit), unit), Identity()));
  TQuaternion c = q;
  Conjugate(c);
  EXPECT_TRUE(Near(c, Conjugated(q)));
  TQuaternion inv = q;
  Invert(inv);
  EXPECT_TRUE(Near(inv, Inverted(q)));
  TQuaternion n = q;
  Normalize(n);
  EXPECT_TRUE(Near(n, unit));
}

TEST(Quaternion, ZeroLengthGivesZeroNotNaN) {
  const TQuaternion zero{0, 0, 0, 0};
  EXPECT_TRUE(Near(Normalized(zero), zero));
  EXPECT_TRUE(Near(Inverted(zero), zero));
  TQuaternion q = zero;
  Invert(q);
  EXPECT_TRUE(Near(q, zero));
  Normalize(q);
  EXPECT_FALSE(std::isnan(q.W));
}

TEST(Quaternion, SetAxisAngle) {
  // Any axis length; a zero axis leaves only the scalar part.
  EXPECT_TRUE(Near(SetAxisAngle(Pi / 2, 0, 0, 5), {0, 0, std::sin(Pi / 4), std::cos(Pi / 4)}));
  EXPECT_TRUE(Near(SetAxisAngle(1.0f, 0, 0, 0), {0, 0, 0, std::cos(0.5f)}));
  EXPECT_TRUE(Near(SetAxisAngle(0.7f, TVector{1, 1, 0}), SetAxisAngle(0.7f, 2, 2, 0)));
  TQuaternion a, b;
  SetAxisAngle(a, 0.3f, 0, 1, 0);
  SetAxisAngle(b, 0.3f, TVector{0, 1, 0});
  EXPECT_TRUE(Near(a, b));
  EXPECT_TRUE(Near(a, SetAxisAngle(0.3f, 0, 1, 0)));
}

TEST(Quaternion, GetAxisAngle) {
  TVector axis;
  float angle = -1;
  GetAxisAngle(Identity(), axis, angle);
  EXPECT_TRUE(Near(axis, {1, 0, 0}));
  EXPECT_EQ(angle, 0);

  // W just above 1 through rounding is clamped rather than failing.
  GetAxisAngle(TQuaternion{1e-5f, 0, 0, 1.0000001f}, axis, angle);
  EXPECT_EQ(angle, 0);
  EXPECT_FALSE(std::isnan(angle));

  const struct {
    TVector Axis;
    float Angle;
  } cases[] = {{{0, 0, 1}, 0.5f}, {{1, 2, 3}, 2.0f}, {{0, -1, 0}, Pi}, {{1, 0, 1}, 5.5f}};
  for (const auto& c : cases) {
    float x = 0, y = 0, z = 0;
    GetAxisAngle(SetAxisAngle(c.Angle, c.Axis), x, y, z, angle);
    EXPECT_TRUE(Near({x, y, z}, Normalized(c.Axis)));
    EXPECT_NEAR(angle, c.Angle, 1e-4f);
  }
}

TEST(Quaternion, RotatedByAxisAngle) {
  EXPECT_TRUE(Near(Rotated({1, 0, 0}, SetAxisAngle(Pi, 0, 0, 1)), {-1, 0, 0}));
  EXPECT_TRUE(Near(Rotated({1, 0, 0}, SetAxisAngle(Pi / 2, 0, 0, 1)), {0, 1, 0}));
  EXPECT_TRUE(Near(Rotated({0, 1, 0}, SetAxisAngle(Pi / 2, 1, 0, 0)), {0, 0, 1}));
  EXPECT_TRUE(Near(Rotated({0, 0, 1}, SetAxisAngle(Pi / 2, 0, 1, 0)), {1, 0, 0}));
  // Inverted normalises but R itself is not: a quaternion of length 3 also scales by 3.
  const TQuaternion q = SetAxisAngle(1.1f, 1, 2, 3);
  const TQuaternion big{q.X * 3, q.Y * 3, q.Z * 3, q.W * 3};
  EXPECT_TRUE(Near(Rotated({1, -2, 0.5f}, big), Scaled(Rotated({1, -2, 0.5f}, q), 3), 1e-4f));
  TVector v{1, 0, 0};
  Rotate(v, SetAxisAngle(Pi / 2, 0, 0, 1));
  EXPECT_TRUE(Near(v, {0, 1, 0}));
}

TEST(Quaternion, SetEulerComposesXThenYThenZ) {
  TQuaternion q;
  SetEuler(q, 0, 0, 0.8f);
  EXPECT_TRUE(Near(q, SetAxisAngle(0.8f, 0, 0, 1)));
  SetEuler(q, 0.3f, -1.2f, 2.0f);
  const TVector v{0.5f, -1, 2};
  const TVector expected =
      Rotated(Rotated(Rotated(v, SetAxisAngle(2.0f, 0, 0, 1)), SetAxisAngle(-1.2f, 0, 1, 0)),
              SetAxisAngle(0.3f, 1, 0, 0));
  EXPECT_TRUE(Near(Rotated(v, q), expected, 1e-4f));
}

TEST(Quaternion, MatrixOfAQuaternionRotatesLikeTheQuaternion) {
  for (const TQuaternion& q : SampleRotations()) {
    const TVector v{0.3f, -2, 1.5f};
    EXPECT_TRUE(Near(MatrixTimes(QuaternionToMatrix3(q), v), Rotated(v, q), 1e-4f));
  }
}

TEST(Quaternion, MatrixToQuaternionBothBranches) {
  TMatrix3 identity{};
  for (int i = 0; i < 3; ++i) {
    identity[i][i] = 1;
  }
  EXPECT_TRUE(Near(Matrix3ToQuaternion(identity), {0, 0, 0, 1}));

  // Half turns have trace -1, so the largest diagonal entry picks the branch (X, Y, Z).
  for (const TVector& axis : {TVector{1, 0, 0}, TVector{0, 1, 0}, TVector{0, 0, 1}}) {
    const TQuaternion half = SetAxisAngle(Pi, axis);
    TMatrix3 m = QuaternionToMatrix3(half);
    Transpose(m);
    EXPECT_NEAR(m[0][0] + m[1][1] + m[2][2], -1, 1e-5f);
    EXPECT_TRUE(SameRotation(Matrix3ToQuaternion(m), half));
  }
  // A half turn about a diagonal axis, and rotations in general.
  std::vector<TQuaternion> samples = SampleRotations();
  samples.push_back(SetAxisAngle(Pi, 1, 1, 0));
  samples.push_back(SetAxisAngle(Pi * 0.9f, 0, 1, 1));
  for (const TQuaternion& q : samples) {
    TMatrix3 m = QuaternionToMatrix3(q);
    Transpose(m);
    EXPECT_TRUE(SameRotation(Matrix3ToQuaternion(m), q));
  }
}

TEST(Quaternion, TransposeAndSwap) {
  TMatrix3 m{{{1, 2, 3}, {4, 5, 6}, {7, 8, 9}}};
  Transpose(m);
  EXPECT_EQ(m, (TMatrix3{{{1, 4, 7}, {2, 5, 8}, {3, 6, 9}}}));
  float a = 1, b = 2;
  Swp(a, b);
  EXPECT_EQ(a, 2);
  EXPECT_EQ(b, 1);
}

TEST(Quaternion, SlerpEndPointsAndShortArc) {
  const TQuaternion q1 = SetAxisAngle(0.2f, 0, 1, 0);
  const TQuaternion q2 = SetAxisAngle(1.4f, 0, 1, 0);
  EXPECT_TRUE(Near(Slerp(q1, q2, 0), q1));
  EXPECT_TRUE(Near(Slerp(q1, q2, 1), q2));
  EXPECT_TRUE(Near(Slerp(q1, q2, 0.5f), SetAxisAngle(0.8f, 0, 1, 0)));

  // -q2 is the same rotation; the far arc is avoided and the end point is -(-q2) = q2's sign.
  const TQuaternion far{-q2.X, -q2.Y, -q2.Z, -q2.W};
  EXPECT_TRUE(Near(Slerp(q1, far, 1), q2));
  EXPECT_TRUE(Near(Slerp(q1, far, 0.5f), SetAxisAngle(0.8f, 0, 1, 0)));

  // Equal quaternions: linear weights, so the result is the input.
  EXPECT_TRUE(Near(Slerp(q1, q1, 0.3f), q1));
  const TQuaternion unnormal{0, 0, 0, 2};
  EXPECT_TRUE(Near(Slerp(unnormal, unnormal, 0.25f), unnormal));
}

TEST(Quaternion, LookAtAndDirUpVectors) {
  const struct {
    TVector Dir, Up;
  } cases[] = {
      {{0, 0, 1}, {0, 1, 0}},     {{1, 0, 0}, {0, 1, 0}},       {{0, 0, -3}, {0, 2, 0}},
      {{1, -2, 0.5f}, {0, 1, 0}}, {{0.3f, 0.2f, 1}, {1, 1, 0}},
  };
  for (const auto& c : cases) {
    const TQuaternion q = LookAt(c.Dir, c.Up);
    const TVector dir = Normalized(c.Dir);
    const TVector up = Normalized(Sub(c.Up, Scaled(dir, Dot(c.Up, dir))));
    TVector gotDir, gotUp;
    GetDirUpVectors(q, gotDir, gotUp);
    EXPECT_TRUE(Near(gotDir, dir, 1e-4f));
    EXPECT_TRUE(Near(gotUp, up, 1e-4f));
    EXPECT_TRUE(Near(Rotated({0, 0, 1}, q), dir, 1e-4f));
    EXPECT_TRUE(Near(Rotated({0, 1, 0}, q), up, 1e-4f));
  }
  EXPECT_TRUE(Near(LookAt({0, 0, 1}, {0, 1, 0}), Identity()));
}

TEST(Quaternion, MatrixLookAtColumnsAreOrthonormal) {
  const TMatrix3 m = MatrixLookAt({2, 1, -1}, {0, 1, 0});
  TVector columns[3];
  for (int c = 0; c < 3; ++c) {
    columns[c] = {m[0][c], m[1][c], m[2][c]};
    EXPECT_NEAR(Magnitude(columns[c]), 1, 1e-5f);
  }
  EXPECT_NEAR(Dot(columns[0], columns[1]), 0, 1e-5f);
  EXPECT_NEAR(Dot(columns[1], columns[2]), 0, 1e-5f);
  EXPECT_TRUE(Near(columns[2], Normalized(TVector{2, 1, -1})));
}

TEST(Quaternion, FramesAndRelativeOffsets) {
  const TVector position{10, 0, -5};
  const TQuaternion orientation = SetAxisAngle(Pi / 2, 0, 1, 0);
  EXPECT_TRUE(Near(AddRotated(position, orientation, 2.0f), {12, 0, -5}));
  EXPECT_TRUE(Near(AddRotated(position, orientation, TVector{0, 0, 2}), {12, 0, -5}));
  for (const TQuaternion& q : SampleRotations()) {
    const TVector relative{1, -2, 3};
    EXPECT_TRUE(
        Near(TranslateToFrame(AddRotated(position, q, relative), position, q), relative, 1e-4f));
  }
}

TEST(Quaternion, RandomQuaternionsAreUnitAndRepeatable) {
  std::mt19937 first(7), second(7);
  for (int i = 0; i < 20; ++i) {
    const TQuaternion q = GetRandomQuaternion(first);
    EXPECT_NEAR(Magnitude(q), 1, 1e-5f);
    for (int c = 0; c < 4; ++c) {
      EXPECT_GE(q[c], 0);
    }
    EXPECT_TRUE(Near(q, GetRandomQuaternion(second), 0));
  }
}
