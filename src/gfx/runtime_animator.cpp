#include "gfx/runtime_animator.h"

#include <algorithm>
#include <cmath>

void TRuntimeAnimator::Build(const TModel& Model) {
  FPoseRoots.Clear();
  for (const auto& pose : Model.Poses)
    FPoseRoots.Add(CreateTreeForPose(*pose, Model));
  FRestRoot = CloneTreeWithPose(nullptr, *Model.Root);
  FActualPose = Model.Root->CloneDeep();
  FAnimations.assign(static_cast<std::size_t>(Model.Animations.Count()), TRuntimeAnimation{});
  for (int i = 0; i < Model.Animations.Count(); ++i)
    MakeAnimation(FAnimations[static_cast<std::size_t>(i)], *Model.Animations.Get(i), Model);
}

std::unique_ptr<TTransfTreeNode> TRuntimeAnimator::CreateTreeForPose(const TPose& Pose,
                                                                     const TModel& Model) const {
  return CloneTreeWithPose(&Pose, *Model.Root);
}

std::unique_ptr<TTransfTreeNode>
TRuntimeAnimator::CloneTreeWithPose(const TPose* Pose, const TModelTreeNode& Node) const {
  auto tree = std::make_unique<TTransfTreeNode>();
  tree->Transf = EffectiveTransformation(Node, Pose);
  for (const auto& child : Node.Children)
    tree->Children.Add(CloneTreeWithPose(Pose, *child));
  return tree;
}

void TRuntimeAnimator::MakeAnimation(TRuntimeAnimation& RTA, const TAnimation& A,
                                     const TModel& Model) const {
  RTA.assign(static_cast<std::size_t>(A.Keys.Count()), TRuntimeAnimationKey{});
  for (std::size_t i = 0; i < RTA.size(); ++i) {
    const TAnimationKey* key = A.Keys.Get(static_cast<int>(i));
    RTA[i].Pose = Model.IndexOfPose(key->PoseName);
    RTA[i].Time = key->Time;
  }
  // Bubble sort that swaps only on a strictly smaller later time: equal times keep file order.
  for (std::size_t pass = 0; pass + 1 < RTA.size(); ++pass)
    for (std::size_t i = 0; i + 1 < RTA.size() - pass; ++i)
      if (RTA[i + 1].Time < RTA[i].Time)
        std::swap(RTA[i], RTA[i + 1]);
}

void TRuntimeAnimator::InterpolateTree(const TTransfTreeNode& Tree1, const TTransfTreeNode& Tree2,
                                       TModelTreeNode& Actual, float Value) const {
  ::Interpolate(Tree1.Transf.Pos, Tree2.Transf.Pos, Value, Actual.Transf.Pos);
  ::Interpolate(Tree1.Transf.Rot, Tree2.Transf.Rot, Value, Actual.Transf.Rot);
  ::Interpolate(Tree1.Transf.Sca, Tree2.Transf.Sca, Value, Actual.Transf.Sca);
  const int count =
      std::min({Tree1.Children.Count(), Tree2.Children.Count(), Actual.Children.Count()});
  for (int i = 0; i < count; ++i)
    InterpolateTree(*Tree1.Children.Get(i), *Tree2.Children.Get(i), *Actual.Children.Get(i), Value);
}

const TTransfTreeNode& TRuntimeAnimator::PoseTree(int Pose) const {
  const TTransfTreeNode* tree = FPoseRoots.Get(Pose);
  return tree ? *tree : *FRestRoot;
}

void TRuntimeAnimator::InterpolatePose(int Pose1, int Pose2, float Value) {
  if (!FActualPose || !FRestRoot)
    return;
  InterpolateTree(PoseTree(Pose1), PoseTree(Pose2), *FActualPose, Value);
}

void TRuntimeAnimator::Interpolate(int Animation, float Value) {
  if (Animation < 0 || static_cast<std::size_t>(Animation) >= FAnimations.size())
    return;
  const TRuntimeAnimation& a = FAnimations[static_cast<std::size_t>(Animation)];
  if (a.empty())
    return;
  if (a.size() == 1) {
    InterpolatePose(a[0].Pose, a[0].Pose, 0);
    return;
  }
  const auto val = static_cast<std::int32_t>(std::trunc(Value * 100));
  std::size_t p = a.size() - 1;
  for (std::size_t i = 1; i < a.size(); ++i)
    if (a[i].Time > val) {
      p = i;
      break;
    }
  const float d = static_cast<float>(a[p].Time - a[p - 1].Time) / 100;
  if (d == 0) {
    InterpolatePose(a[p].Pose, a[p].Pose, 0);
    return;
  }
  const float v = (Value - static_cast<float>(a[p - 1].Time) / 100) / d;
  InterpolatePose(a[p - 1].Pose, a[p].Pose, v);
}
