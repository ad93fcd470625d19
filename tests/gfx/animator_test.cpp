// The runtime animator: pose trees, key sorting and the blend at a given time.
#include <gtest/gtest.h>

#include "gfx/model.h"
#include "gfx/runtime_animator.h"

namespace {

// A model root -> arm -> hand, with poses that move the arm by 10, 20, ... degrees about X
// and the hand along Y, and animations built from key lists.
class AnimatorTest : public testing::Test {
protected:
  void SetUp() override {
    auto arm = std::make_unique<TModelTreeNode>();
    arm->Name = "arm";
    arm->Transf.Pos = {1, 0, 0};
    auto hand = std::make_unique<TModelTreeNode>();
    hand->Name = "hand";
    hand->Transf.Pos = {0, -1, 0};
    arm->Children.Add(std::move(hand));
    FModel.Root->Children.Add(std::move(arm));
    for (int i = 1; i <= 3; ++i) {
      auto pose = std::make_unique<TPose>();
      pose->Name = "p" + std::to_string(i);
      pose->GetTransfForNode("arm", true)->Rot.X = 10.0f * i;
      pose->GetTransfForNode("hand", true)->Pos.Y = static_cast<float>(i);
      FModel.Poses.Add(std::move(pose));
    }
  }

  void AddAnimation(const std::vector<std::pair<std::string, int>>& Keys) {
    auto animation = std::make_unique<TAnimation>();
    for (const auto& [pose, time] : Keys) {
      auto key = std::make_unique<TAnimationKey>();
      key->PoseName = pose;
      key->Time = time;
      animation->Keys.Add(std::move(key));
    }
    FModel.Animations.Add(std::move(animation));
  }

  float ArmRot() const { return FAnim.FActualPose->Children.Get(0)->Transf.Rot.X; }
  float HandY() const { return FAnim.FActualPose->Children.Get(0)->Children.Get(0)->Transf.Pos.Y; }

  TModel FModel;
  TRuntimeAnimator FAnim;
};

TEST_F(AnimatorTest, BuildMakesOneTreePerPoseAndAWorkingCopy) {
  AddAnimation({{"p1", 0}});
  FAnim.Build(FModel);
  ASSERT_EQ(FAnim.FPoseRoots.Count(), 3);
  const TTransfTreeNode& p2 = *FAnim.FPoseRoots.Get(1);
  EXPECT_EQ(p2.Transf.Sca.X, 1) << "the root is not moved: its rest transformation";
  EXPECT_EQ(p2.Children.Get(0)->Transf.Rot.X, 20);
  EXPECT_EQ(p2.Children.Get(0)->Transf.Pos.X, 1);
  EXPECT_EQ(p2.Children.Get(0)->Children.Get(0)->Transf.Pos.Y, 1) << "-1 rest plus 2";
  ASSERT_NE(FAnim.FActualPose, nullptr);
  EXPECT_EQ(FAnim.FActualPose->Children.Count(), 1);
  EXPECT_EQ(FAnim.FActualPose->Name, "");
  ASSERT_EQ(FAnim.FAnimations.size(), 1u);
  // The animator keeps no reference to the model.
  FModel.Poses.Get(0)->GetTransfForNode("arm", true)->Rot.X = 99;
  EXPECT_EQ(FAnim.FPoseRoots.Get(0)->Children.Get(0)->Transf.Rot.X, 10);
}

TEST_F(AnimatorTest, KeysAreSortedStablyWithPoseIndices) {
  AddAnimation({{"p3", 100}, {"p1", 50}, {"p2", 50}, {"nobody", 0}, {"p2", 100}});
  FAnim.Build(FModel);
  const TRuntimeAnimation& a = FAnim.FAnimations[0];
  ASSERT_EQ(a.size(), 5u);
  const int poses[] = {-1, 0, 1, 2, 1};
  const int times[] = {0, 50, 50, 100, 100};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(a[i].Pose, poses[i]) << "key " << i;
    EXPECT_EQ(a[i].Time, times[i]) << "key " << i;
  }
}

TEST_F(AnimatorTest, BlendsNeighbouringKeys) {
  AddAnimation({{"p1", 0}, {"p2", 50}, {"p3", 100}});
  FAnim.Build(FModel);
  const struct {
    float Value, Rot, HandY;
  } cases[] = {{0.0f, 10, 0}, {0.25f, 15, 0.5f}, {0.5f, 20, 1},     {0.75f, 25, 1.5f},
               {1.0f, 30, 2}, {1.25f, 35, 2.5f}, {-0.25f, 5, -0.5f}};
  for (const auto& c : cases) {
    FAnim.Interpolate(0, c.Value);
    EXPECT_NEAR(ArmRot(), c.Rot, 1e-4) << "at " << c.Value;
    EXPECT_NEAR(HandY(), c.HandY, 1e-4) << "at " << c.Value;
  }
}

TEST_F(AnimatorTest, OutOfOrderKeysPlayInTimeOrder) {
  AddAnimation({{"p3", 100}, {"p1", 0}, {"p2", 50}});
  FAnim.Build(FModel);
  FAnim.Interpolate(0, 0.25f);
  EXPECT_NEAR(ArmRot(), 15, 1e-4);
  FAnim.Interpolate(0, 0.75f);
  EXPECT_NEAR(ArmRot(), 25, 1e-4);
}

TEST_F(AnimatorTest, UnknownPoseBlendsWithTheRestPose) {
  AddAnimation({{"p2", 0}, {"missing", 100}});
  FAnim.Build(FModel);
  FAnim.Interpolate(0, 0.5f);
  EXPECT_NEAR(ArmRot(), 10, 1e-4) << "half-way from 20 to the rest value 0";
  EXPECT_NEAR(HandY(), 0, 1e-4) << "half-way from 1 to -1";
}

TEST_F(AnimatorTest, SingleKeyAndZeroLengthSegments) {
  AddAnimation({{"p2", 40}});
  AddAnimation({{"p1", 0}, {"p2", 50}, {"p3", 50}, {"p1", 100}});
  AddAnimation({});
  FAnim.Build(FModel);
  for (float value : {0.0f, 0.4f, 0.9f}) {
    FAnim.Interpolate(0, value);
    EXPECT_NEAR(ArmRot(), 20, 1e-4) << "one key shows its pose at " << value;
  }
  FAnim.Interpolate(1, 0.5f);
  EXPECT_NEAR(ArmRot(), 30, 1e-4) << "at 50 the segment from p3 (50) to p1 (100) begins";
  FAnim.Interpolate(1, 0.75f);
  EXPECT_NEAR(ArmRot(), 20, 1e-4);
  FAnim.Interpolate(1, 0.25f);
  EXPECT_NEAR(ArmRot(), 15, 1e-4);

  FAnim.Interpolate(1, 0.75f);
  const float before = ArmRot();
  FAnim.Interpolate(2, 0.5f);
  EXPECT_EQ(ArmRot(), before) << "an animation without keys changes nothing";
  FAnim.Interpolate(7, 0.5f);
  FAnim.Interpolate(-1, 0.5f);
  EXPECT_EQ(ArmRot(), before) << "an unknown animation number changes nothing";
}

TEST_F(AnimatorTest, ZeroLengthSegmentShowsTheLaterPose) {
  AddAnimation({{"p1", 0}, {"p2", 0}, {"p3", 100}});
  FAnim.Build(FModel);
  // At -0.01 the first key with a later time is index 1 (time 0 > -1), a segment of length 0.
  FAnim.Interpolate(0, -0.01f);
  EXPECT_NEAR(ArmRot(), 20, 1e-4);
  // Past the end with the last two keys at the same time.
  AddAnimation({{"p1", 0}, {"p3", 100}, {"p2", 100}});
  FAnim.Build(FModel);
  FAnim.Interpolate(1, 1.5f);
  EXPECT_NEAR(ArmRot(), 20, 1e-4);
}

TEST_F(AnimatorTest, UnbuiltAnimatorIgnoresRequests) {
  FAnim.Interpolate(0, 0.5f);
  FAnim.InterpolatePose(0, 1, 0.5f);
  EXPECT_EQ(FAnim.FActualPose, nullptr);
}

TEST_F(AnimatorTest, RebuildFollowsModelChanges) {
  AddAnimation({{"p1", 0}, {"p2", 100}});
  FAnim.Build(FModel);
  FModel.Poses.Get(1)->GetTransfForNode("arm", true)->Rot.X = 40;
  FAnim.Interpolate(0, 1);
  EXPECT_NEAR(ArmRot(), 20, 1e-4);
  FAnim.Build(FModel);
  FAnim.Interpolate(0, 1);
  EXPECT_NEAR(ArmRot(), 40, 1e-4);
}

} // namespace
