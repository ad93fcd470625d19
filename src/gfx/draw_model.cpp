#include "gfx/draw_model.h"

#include "gfx/mesh.h"
#include "gfx/model.h"
#include "gfx/opengl_helpers.h"
#include "gfx/runtime_animator.h"
#include "gfx/texture.h"

#include <GL/gl.h>

#include <array>
#include <cmath>

namespace {

// Modelview stack slots left free for whatever a node's own drawing might push.
constexpr GLint SPARE_STACK_SLOTS = 2;
constexpr float DEGREES_TO_RADIANS = 3.14159265358979323846f / 180;

// A 4 x 4 matrix in OpenGL's order: column by column.
using TMatrix4 = std::array<GLfloat, 16>;

TMatrix4 Identity() {
  return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
}

TMatrix4 Multiply(const TMatrix4& A, const TMatrix4& B) {
  TMatrix4 m{};
  for (int col = 0; col < 4; ++col) {
    for (int row = 0; row < 4; ++row) {
      for (int k = 0; k < 4; ++k) {
        m[col * 4 + row] += A[k * 4 + row] * B[col * 4 + k];
      }
    }
  }
  return m;
}

// The turn by Degrees about the coordinate axis Axis (0 = X, 1 = Y, 2 = Z), as glRotatef makes
// it.
TMatrix4 Rotation(float Degrees, int Axis) {
  const float c = std::cos(Degrees * DEGREES_TO_RADIANS);
  const float s = std::sin(Degrees * DEGREES_TO_RADIANS);
  const int a = (Axis + 1) % 3, b = (Axis + 2) % 3;
  TMatrix4 m = Identity();
  m[a * 4 + a] = c;
  m[a * 4 + b] = s;
  m[b * 4 + a] = -s;
  m[b * 4 + b] = c;
  return m;
}

// The matrix ApplyTrans multiplies the current one by.
TMatrix4 TransformationMatrix(const TTransformation& T) {
  TMatrix4 move = Identity();
  move[12] = T.Pos.X;
  move[13] = T.Pos.Y;
  move[14] = T.Pos.Z;
  TMatrix4 scale = Identity();
  scale[0] = T.Sca.X;
  scale[5] = T.Sca.Y;
  scale[10] = T.Sca.Z;
  const TMatrix4 turn =
      Multiply(Multiply(Rotation(T.Rot.X, 0), Rotation(T.Rot.Y, 1)), Rotation(T.Rot.Z, 2));
  return Multiply(Multiply(move, turn), scale);
}

TMatrix4 CurrentModelview() {
  TMatrix4 m{};
  glGetFloatv(GL_MODELVIEW_MATRIX, m.data());
  return m;
}

// Draws a tree, each node under its effective transformation for a pose (none: at rest). The
// modelview stack is used while it has room; deeper nodes get matrices composed here and
// loaded, so a tree of any depth never overflows the stack and never pops a matrix it did not
// push, such as the caller's camera.
class TTreeDrawer {
public:
  explicit TTreeDrawer(const TPose* Pose) : FPose(Pose) {
    GLint depth = 0, maxDepth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    glGetIntegerv(GL_MAX_MODELVIEW_STACK_DEPTH, &maxDepth);
    FFreeSlots = maxDepth - depth - SPARE_STACK_SLOTS;
  }

  // Parent is the matrix Node's is composed onto once the stack is full; null while the stack
  // is used, and at the first node past it (the current matrix is then the parent's).
  void Draw(const TModelTreeNode& Node, const TMatrix4* Parent = nullptr) {
    const TTransformation transf = EffectiveTransformation(Node, FPose);
    const bool pushed = Parent == nullptr && FFreeSlots > 0;
    TMatrix4 parent{}, own{};
    if (pushed) {
      --FFreeSlots;
      glPushMatrix();
      ApplyTrans(transf);
    } else {
      parent = Parent ? *Parent : CurrentModelview();
      own = Multiply(parent, TransformationMatrix(transf));
      glLoadMatrixf(own.data());
    }
    const bool toggle = transf.MustToggleFaces();
    if (toggle) {
      ToggleFaceMode();
    }
    DrawTreeNode(Node);
    for (int i = 0; i < Node.Children.Count(); ++i) {
      Draw(*Node.Children.Get(i), pushed ? nullptr : &own);
    }
    if (toggle) {
      ToggleFaceMode();
    }
    if (pushed) {
      glPopMatrix();
      ++FFreeSlots;
    } else {
      glLoadMatrixf(parent.data());
    }
  }

private:
  const TPose* FPose;
  GLint FFreeSlots = 0;
};

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
  TTreeDrawer(nullptr).Draw(Node);
}

void RenderTreeNodeWithPose(const TModelTreeNode& Node, const TPose& Pose) {
  TTreeDrawer(&Pose).Draw(Node);
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
