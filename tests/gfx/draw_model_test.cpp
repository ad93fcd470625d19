#include "gfx/draw_model.h"
#include "gfx/mesh.h"
#include "gfx/model.h"
#include "gfx/runtime_animator.h"
#include "gfx/texture.h"

#include "../support/gl_window.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

// What OpenGL looked like when a mesh was asked to draw itself.
struct TDrawState {
  std::string Mesh;
  GLint FrontFace = 0;
  bool Textured = false;
  GLint BoundTexture = 0;
  GLfloat Diffuse[4] = {};
  GLfloat Modelview[16] = {};
};

// A mesh that draws nothing and records the state it was drawn in.
class TProbeMesh : public TMesh {
public:
  TProbeMesh(std::string Name, std::vector<TDrawState>& Log) : FName(std::move(Name)), FLog(Log) {}
  void Draw() override {
    TDrawState s;
    s.Mesh = FName;
    glGetIntegerv(GL_FRONT_FACE, &s.FrontFace);
    s.Textured = glIsEnabled(GL_TEXTURE_2D);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &s.BoundTexture);
    glGetMaterialfv(GL_FRONT, GL_DIFFUSE, s.Diffuse);
    glGetFloatv(GL_MODELVIEW_MATRIX, s.Modelview);
    FLog.push_back(s);
  }

private:
  std::string FName;
  std::vector<TDrawState>& FLog;
};

class DrawModelTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(Window.Open());
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glFrontFace(GL_CCW);
  }

  // A node that draws a probe mesh of the given name.
  std::unique_ptr<TModelTreeNode> MeshNode(const std::string& Name) {
    auto node = std::make_unique<TModelTreeNode>();
    node->Name = Name;
    Meshes.push_back(std::make_unique<TProbeMesh>(Name, Log));
    node->GraphicalElement.Type_ = geMesh;
    node->GraphicalElement.Mesh = Meshes.back().get();
    return node;
  }

  const TDrawState& Drawn(const std::string& Name) {
    for (const auto& s : Log) {
      if (s.Mesh == Name) {
        return s;
      }
    }
    ADD_FAILURE() << Name << " was not drawn";
    static TDrawState none;
    return none;
  }

  TTestGLWindow Window;
  std::vector<TDrawState> Log;
  std::vector<std::unique_ptr<TProbeMesh>> Meshes;
};

// Where the current modelview matrix of a recorded state takes the point P.
TVector Transform(const GLfloat* M, TVector P) {
  return {M[0] * P.X + M[4] * P.Y + M[8] * P.Z + M[12],
          M[1] * P.X + M[5] * P.Y + M[9] * P.Z + M[13],
          M[2] * P.X + M[6] * P.Y + M[10] * P.Z + M[14]};
}

void ExpectPoint(TVector Actual, TVector Expected) {
  EXPECT_NEAR(Actual.X, Expected.X, 1e-4);
  EXPECT_NEAR(Actual.Y, Expected.Y, 1e-4);
  EXPECT_NEAR(Actual.Z, Expected.Z, 1e-4);
}

TEST_F(DrawModelTest, ApplyTransScalesThenTurnsAboutZYXThenMoves) {
  TTransformation t{{1, 2, 3}, {90, 0, 90}, {2, 1, 1}};
  ApplyTrans(t);
  GLfloat m[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, m);
  // (1,0,0) scaled to (2,0,0), about Z to (0,2,0), about X to (0,0,2), moved to (1,2,5).
  ExpectPoint(Transform(m, {1, 0, 0}), {1, 2, 5});
  // (0,0,1): about Z unchanged, about X to (0,-1,0), moved to (1,1,3).
  ExpectPoint(Transform(m, {0, 0, 1}), {1, 1, 3});
}

TEST_F(DrawModelTest, ApplyTransTurnsAboutYBetweenZAndX) {
  TTransformation t{{0, 0, 0}, {0, 90, 90}, {1, 1, 1}};
  ApplyTrans(t);
  GLfloat m[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, m);
  // (1,0,0) about Z to (0,1,0), about Y unchanged.
  ExpectPoint(Transform(m, {1, 0, 0}), {0, 1, 0});
  // (0,0,1) about Z unchanged, about Y to (1,0,0).
  ExpectPoint(Transform(m, {0, 0, 1}), {1, 0, 0});
}

TEST_F(DrawModelTest, ToggleFaceModeSwapsTheWinding) {
  ToggleFaceMode();
  GLint mode = 0;
  glGetIntegerv(GL_FRONT_FACE, &mode);
  EXPECT_EQ(mode, GL_CW);
  ToggleFaceMode();
  glGetIntegerv(GL_FRONT_FACE, &mode);
  EXPECT_EQ(mode, GL_CCW);
}

TEST_F(DrawModelTest, MirroredNodeFlipsWindingForItsSubtreeAndRestoresIt) {
  TModel model;
  auto mirrored = MeshNode("mirrored");
  mirrored->Transf.Sca = {-1, 1, 1};
  auto child = MeshNode("child");
  auto grandchild = MeshNode("unmirrored grandchild");
  grandchild->Transf.Sca = {1, 1, -1};
  child->Children.Add(std::move(grandchild));
  mirrored->Children.Add(std::move(child));
  model.Root->Children.Add(std::move(mirrored));
  model.Root->Children.Add(MeshNode("sibling"));

  DrawModel(model);
  ASSERT_EQ(Log.size(), 4u);
  EXPECT_EQ(Drawn("mirrored").FrontFace, GL_CW);
  EXPECT_EQ(Drawn("child").FrontFace, GL_CW);
  EXPECT_EQ(Drawn("unmirrored grandchild").FrontFace, GL_CCW);
  EXPECT_EQ(Drawn("sibling").FrontFace, GL_CCW);
  GLint mode = 0;
  glGetIntegerv(GL_FRONT_FACE, &mode);
  EXPECT_EQ(mode, GL_CCW);
}

TEST_F(DrawModelTest, TwoMirroredAxesKeepTheWinding) {
  TModel model;
  auto node = MeshNode("twice");
  node->Transf.Sca = {-1, -1, 1};
  model.Root->Children.Add(std::move(node));
  DrawModel(model);
  EXPECT_EQ(Drawn("twice").FrontFace, GL_CCW);
}

TEST_F(DrawModelTest, ChildrenAreDrawnRelativeToTheirParentAndTheMatrixIsRestored) {
  TModel model;
  auto parent = MeshNode("parent");
  parent->Transf.Pos = {10, 0, 0};
  auto child = MeshNode("child");
  child->Transf.Pos = {0, 5, 0};
  parent->Children.Add(std::move(child));
  model.Root->Children.Add(std::move(parent));
  model.Root->Children.Add(MeshNode("second"));
  glTranslatef(0, 0, -7);

  DrawModel(model);
  ExpectPoint(Transform(Drawn("parent").Modelview, {0, 0, 0}), {10, 0, -7});
  ExpectPoint(Transform(Drawn("child").Modelview, {0, 0, 0}), {10, 5, -7});
  ExpectPoint(Transform(Drawn("second").Modelview, {0, 0, 0}), {0, 0, -7});
  GLfloat m[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, m);
  ExpectPoint(Transform(m, {0, 0, 0}), {0, 0, -7});
}

TEST_F(DrawModelTest, TexturedNodeEnablesTexturingAndUntexturedDisablesIt) {
  TTexture texture;
  GLuint name = 0;
  glGenTextures(1, &name);
  texture.Texture = name;
  TModel model;
  auto plain = MeshNode("plain");
  plain->Color = {0.25f, 0.5f, 0.75f};
  auto textured = MeshNode("textured");
  textured->Texture = &texture;
  auto plainAgain = MeshNode("plain again");
  model.Root->Children.Add(std::move(plain));
  model.Root->Children.Add(std::move(textured));
  model.Root->Children.Add(std::move(plainAgain));
  glEnable(GL_TEXTURE_2D);

  DrawModel(model);
  EXPECT_FALSE(Drawn("plain").Textured);
  EXPECT_FLOAT_EQ(Drawn("plain").Diffuse[0], 0.25f);
  EXPECT_FLOAT_EQ(Drawn("plain").Diffuse[1], 0.5f);
  EXPECT_FLOAT_EQ(Drawn("plain").Diffuse[2], 0.75f);
  EXPECT_TRUE(Drawn("textured").Textured);
  EXPECT_EQ(Drawn("textured").BoundTexture, static_cast<GLint>(name));
  EXPECT_FLOAT_EQ(Drawn("textured").Diffuse[0], 1.0f);
  EXPECT_FALSE(Drawn("plain again").Textured);
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
}

TEST_F(DrawModelTest, NodesWithoutPayloadAreSkippedAndTheirChildrenStillDrawn) {
  TModel model;
  auto noMesh = std::make_unique<TModelTreeNode>();
  noMesh->GraphicalElement.Type_ = geMesh; // the mesh could not be loaded
  noMesh->Children.Add(MeshNode("under missing mesh"));
  auto noModel = std::make_unique<TModelTreeNode>();
  noModel->GraphicalElement.Type_ = geModel;
  noModel->Children.Add(MeshNode("under missing model"));
  auto reference = std::make_unique<TModelTreeNode>();
  reference->GraphicalElement.Type_ = geReference;
  reference->GraphicalElement.Reference = 3;
  model.Root->Children.Add(std::move(noMesh));
  model.Root->Children.Add(std::move(noModel));
  model.Root->Children.Add(std::move(reference));

  DrawModel(model);
  ASSERT_EQ(Log.size(), 2u);
  EXPECT_EQ(Log[0].Mesh, "under missing mesh");
  EXPECT_EQ(Log[1].Mesh, "under missing model");
}

TEST_F(DrawModelTest, ModelNodeDrawsTheReferencedModelInPlace) {
  TModel inner;
  inner.Root->Children.Add(MeshNode("inner"));
  TModel outer;
  auto ref = std::make_unique<TModelTreeNode>();
  ref->Transf.Pos = {0, 0, 4};
  ref->GraphicalElement.Type_ = geModel;
  ref->GraphicalElement.Model = &inner;
  outer.Root->Children.Add(std::move(ref));
  DrawModel(outer);
  ASSERT_EQ(Log.size(), 1u);
  ExpectPoint(Transform(Log[0].Modelview, {0, 0, 0}), {0, 0, 4});
}

TEST_F(DrawModelTest, PoseMovesTheNodesItNamesAndLeavesOthersAtRest) {
  TModel model;
  auto arm = MeshNode("arm");
  arm->Transf.Pos = {1, 0, 0};
  auto hand = MeshNode("hand");
  hand->Transf.Pos = {0, 1, 0};
  arm->Children.Add(std::move(hand));
  model.Root->Children.Add(std::move(arm));
  TPose pose;
  pose.GetTransfForNode("arm", true)->Pos = {0, 0, 2};
  pose.GetTransfForNode("arm", true)->Sca = {-2, 0, 0}; // a negative sum mirrors the arm

  DrawModelWithPose(model, pose);
  ExpectPoint(Transform(Drawn("arm").Modelview, {0, 0, 0}), {1, 0, 2});
  EXPECT_EQ(Drawn("arm").FrontFace, GL_CW);
  // The hand is not in the pose: its rest offset, under the mirrored arm.
  ExpectPoint(Transform(Drawn("hand").Modelview, {0, 0, 0}), {1, 1, 2});
  EXPECT_EQ(Drawn("hand").FrontFace, GL_CW);
  GLint mode = 0;
  glGetIntegerv(GL_FRONT_FACE, &mode);
  EXPECT_EQ(mode, GL_CCW);
  // The model itself is unchanged by drawing it posed.
  EXPECT_FLOAT_EQ(model.Root->Children.Get(0)->Transf.Pos.Z, 0.0f);
}

TEST_F(DrawModelTest, RuntimeModelDrawsTheAnimatorsCurrentPose) {
  TModel model;
  auto body = MeshNode("body");
  body->Name = "body";
  model.Root->Children.Add(std::move(body));
  auto up = std::make_unique<TPose>();
  up->Name = "up";
  up->GetTransfForNode("body", true)->Pos = {0, 10, 0};
  auto down = std::make_unique<TPose>();
  down->Name = "down";
  model.Poses.Add(std::move(down));
  model.Poses.Add(std::move(up));
  auto anim = std::make_unique<TAnimation>();
  auto k0 = std::make_unique<TAnimationKey>();
  k0->PoseName = "down";
  k0->Time = 0;
  auto k1 = std::make_unique<TAnimationKey>();
  k1->PoseName = "up";
  k1->Time = 100;
  anim->Keys.Add(std::move(k0));
  anim->Keys.Add(std::move(k1));
  model.Animations.Add(std::move(anim));

  TRuntimeAnimator ra;
  DrawRuntimeModel(ra); // not built yet: nothing
  EXPECT_TRUE(Log.empty());
  ra.Build(model);
  ra.Interpolate(0, 0.5f);
  DrawRuntimeModel(ra);
  ASSERT_EQ(Log.size(), 1u);
  ExpectPoint(Transform(Log[0].Modelview, {0, 0, 0}), {0, 5, 0});
}

TEST_F(DrawModelTest, ATreeDeeperThanTheMatrixStackIsDrawnWhereItsTransformsSay) {
  GLint maxDepth = 0;
  glGetIntegerv(GL_MAX_MODELVIEW_STACK_DEPTH, &maxDepth);
  TModel model;
  std::vector<TModelTreeNode*> chain = {model.Root.get()};
  for (int k = 1; k <= maxDepth + 8; ++k) {
    auto node = MeshNode("node " + std::to_string(k));
    node->Transf = {{1, 0, 0.5f}, {7, 11, 5}, {1.01f, 0.99f, k % 2 ? 1.0f : -1.0f}};
    chain.push_back(node.get());
    chain[k - 1]->Children.Add(std::move(node));
  }
  TPose pose;
  pose.GetTransfForNode(chain.back()->Name, true)->Pos = {0, 0, 3};
  while (glGetError() != GL_NO_ERROR) {
  }

  const TPose* const poses[] = {nullptr, &pose};
  for (const TPose* drawnPose : poses) {
    SCOPED_TRACE(drawnPose ? "posed" : "at rest");
    Log.clear();
    glPushMatrix();
    glTranslatef(0, 0, -7); // the camera; a model that pops it leaves the identity
    GLfloat camera[16], after[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, camera);
    if (drawnPose) {
      DrawModelWithPose(model, *drawnPose);
    } else {
      DrawModel(model);
    }
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << "no stack overflow or underflow";
    EXPECT_TRUE(std::equal(after, after + 16, camera)) << "the camera's matrix is kept";

    // Each node where the transformations from the root down to it, applied in turn, put it.
    ASSERT_EQ(Log.size(), chain.size() - 1);
    for (size_t k = 0; k < chain.size(); ++k) {
      ApplyTrans(EffectiveTransformation(*chain[k], drawnPose));
      if (k > 0) {
        GLfloat composed[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, composed);
        for (const TVector p : {TVector{0, 0, 0}, TVector{1, 1, 1}}) {
          const TVector want = Transform(composed, p), got = Transform(Log[k - 1].Modelview, p);
          EXPECT_NEAR(Distance(got, want), 0, 1e-3) << "node " << k;
        }
      }
    }
    glPopMatrix();
  }
}

} // namespace
