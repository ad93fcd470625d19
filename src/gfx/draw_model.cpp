#include "gfx/draw_model.h"

#include "gfx/mesh.h"
#include "gfx/model.h"
#include "gfx/opengl_helpers.h"
#include "gfx/runtime_animator.h"
#include "gfx/texture.h"

#include <GL/gl.h>

namespace {

// Draws Node under Transf, with its children drawn by DrawChild.
template <typename DrawChildFn>
void RenderWith(const TModelTreeNode& Node, const TTransformation& Transf, DrawChildFn DrawChild) {
  glPushMatrix();
  ApplyTrans(Transf);
  const bool toggle = Transf.MustToggleFaces();
  if (toggle) {
    ToggleFaceMode();
  }
  DrawTreeNode(Node);
  for (int i = 0; i < Node.Children.Count(); ++i) {
    DrawChild(*Node.Children.Get(i));
  }
  if (toggle) {
    ToggleFaceMode();
  }
  glPopMatrix();
}

} // namespace

void ApplyTrans(const TTransformation& T) {
  glTranslatef(T.Pos.X, T.Pos.Y, T.Pos.Z);
  glRotatef(T.Rot.X, 1, 0, 0);
  glRotatef(T.Rot.Y, 0, 1, 0);
  glRotatef(T.Rot.Z, 0, 0, 1);
  glScalef(T.Sca.X, T.Sca.Y, T.Sca.Z);
}

void ToggleFaceMode() {
  GLint mode = GL_CCW;
  glGetIntegerv(GL_FRONT_FACE, &mode);
  glFrontFace(mode == GL_CCW ? GL_CW : GL_CCW);
}

void DrawTreeNode(const TModelTreeNode& Node) {
  if (Node.Texture != nullptr) {
    glEnable(GL_TEXTURE_2D);
    Node.Texture->Bind();
  } else {
    glDisable(GL_TEXTURE_2D);
  }
  SetMaterialColor(Node.Color.R, Node.Color.G, Node.Color.B);
  const TGraphicElement& element = Node.GraphicalElement;
  switch (element.Type_) {
  case geMesh:
    if (element.Mesh != nullptr) {
      element.Mesh->Draw();
    }
    break;
  case geModel:
    if (element.Model != nullptr) {
      DrawModel(*element.Model);
    }
    break;
  case geNone:
  case geReference:
    break;
  }
}

void RenderTreeNode(const TModelTreeNode& Node) {
  RenderWith(Node, Node.Transf, [](const TModelTreeNode& Child) { RenderTreeNode(Child); });
}

void RenderTreeNodeWithPose(const TModelTreeNode& Node, const TPose& Pose) {
  RenderWith(Node, EffectiveTransformation(Node, &Pose),
             [&Pose](const TModelTreeNode& Child) { RenderTreeNodeWithPose(Child, Pose); });
}

void DrawModel(const TModel& Model) {
  if (Model.Root != nullptr) {
    RenderTreeNode(*Model.Root);
  }
}

void DrawModelWithPose(const TModel& Model, const TPose& Pose) {
  if (Model.Root != nullptr) {
    RenderTreeNodeWithPose(*Model.Root, Pose);
  }
}

void DrawRuntimeModel(const TRuntimeAnimator& RA) {
  if (RA.FActualPose != nullptr) {
    RenderTreeNode(*RA.FActualPose);
  }
}
