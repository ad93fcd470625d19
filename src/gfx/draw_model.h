#pragma once
// Turns model trees into OpenGL calls. Every function leaves the modelview matrix and its stack
// as it found them; the last drawn node's texturing state and material colour stay set. A tree
// deeper than the modelview stack has room for is drawn with matrices composed on the CPU past
// that depth, so no tree overflows the stack or pops the caller's matrix.

class TModel;
class TModelTreeNode;
class TPose;
class TRuntimeAnimator;
struct TTransformation;

// Multiplies the current matrix by the node transformation: translate, then rotate about X, Y
// and Z (degrees), then scale, so a vertex is scaled, turned about Z, Y, X and moved.
void ApplyTrans(const TTransformation& T);
// Swaps the front-face winding between clockwise and counter-clockwise.
void ToggleFaceMode();
// The node's own element with its texture (or texturing off) and colour; no transformation,
// no children. A mesh node whose mesh could not be loaded and a model node without a loaded
// model draw nothing.
void DrawTreeNode(const TModelTreeNode& Node);
// The node and its subtree at their rest transformations. A mirrored node (an odd number of
// negative scale axes) flips the winding for itself and its subtree.
void RenderTreeNode(const TModelTreeNode& Node);
// The same with each node moved by the pose's offset for its name.
void RenderTreeNodeWithPose(const TModelTreeNode& Node, const TPose& Pose);
void DrawModel(const TModel& Model);
void DrawModelWithPose(const TModel& Model, const TPose& Pose);
// The animator's current pose (nothing before the animator was built).
void DrawRuntimeModel(const TRuntimeAnimator& RA);
