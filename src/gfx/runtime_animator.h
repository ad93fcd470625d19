// Plays a model's animations: one transformation tree per pose, computed once by Build, and a
// working copy of the model tree (FActualPose) whose transformations Interpolate overwrites
// with the blend of two neighbouring poses. Draw FActualPose like any model tree.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "game/list.h"
#include "gfx/model.h"

// A transformation-only mirror of a model tree.
class TTransfTreeNode {
public:
  TTransformation Transf;
  TOwnedList<TTransfTreeNode> Children;
};

struct TRuntimeAnimationKey {
  std::int32_t Pose = -1; // index into the model's poses; -1 for a name the model lacks
  std::int32_t Time = 0;
};
using TRuntimeAnimation = std::vector<TRuntimeAnimationKey>; // sorted by Time
using TRuntimeAnimations = std::vector<TRuntimeAnimation>;

class TRuntimeAnimator {
public:
  // Prepares the animator for Model: pose trees, a fresh working copy of the tree and the
  // sorted keys of every animation. Later changes to Model need another Build.
  void Build(const TModel& Model);
  std::unique_ptr<TTransfTreeNode> CreateTreeForPose(const TPose& Pose, const TModel& Model) const;
  // The tree of effective transformations of Node and its subtree under Pose (rest when null).
  std::unique_ptr<TTransfTreeNode> CloneTreeWithPose(const TPose* Pose,
                                                     const TModelTreeNode& Node) const;
  // The keys of A with pose indices, sorted by time; keys of equal time keep their order.
  void MakeAnimation(TRuntimeAnimation& RTA, const TAnimation& A, const TModel& Model) const;
  // Actual := Tree1 + (Tree2 - Tree1) * Value for position, rotation and scale, node by node.
  void InterpolateTree(const TTransfTreeNode& Tree1, const TTransfTreeNode& Tree2,
                       TModelTreeNode& Actual, float Value) const;
  // Blends pose trees Pose1 and Pose2 into FActualPose; a pose index outside the model's
  // poses stands for the rest pose.
  void InterpolatePose(int Pose1, int Pose2, float Value);
  // Sets FActualPose to the state of animation number Animation at Value (key times are in
  // hundredths of Value's unit). Value is not wrapped; outside the keys the nearest segment is
  // extended. An animation with one key shows its pose; a segment of zero length shows its
  // later pose; an unknown animation number or an animator not built changes nothing.
  void Interpolate(int Animation, float Value);

  std::unique_ptr<TModelTreeNode> FActualPose; // null before Build
  TOwnedList<TTransfTreeNode> FPoseRoots;      // one tree per model pose, in pose order
  TRuntimeAnimations FAnimations;

private:
  const TTransfTreeNode& PoseTree(int Pose) const;

  std::unique_ptr<TTransfTreeNode> FRestRoot; // the model at rest
};
