// Drawing meshes: the display list is compiled once and issues what the face data says.
// Runs in an OpenGL window on the virtual display; OpenGL's feedback mode reports the lit
// colour and texture coordinate of every vertex that reaches the rasterizer.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <vector>

#include "../support/gl_window.h"
#include "gfx/gl_mesh.h"

namespace {

struct TFedVertex {
  float X, Y, Z, R, G, B, A, S, T, P, Q;
};

class GLMeshTest : public testing::Test {
protected:
  void SetUp() override {
    if (!FWindow.Open())
      GTEST_SKIP();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-2, 2, -2, 2, -10, 10);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_CULL_FACE);
    // One white directional light along +Z, no ambient: a vertex is as bright as N.L.
    const GLfloat dir[4] = {0, 0, 1, 0}, white[4] = {1, 1, 1, 1}, black[4] = {0, 0, 0, 1};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, black);
    glLightfv(GL_LIGHT0, GL_POSITION, dir);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glLightfv(GL_LIGHT0, GL_AMBIENT, black);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, white);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, black);
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHTING);
  }

  // The vertices one Draw sends, in order.
  static std::vector<TFedVertex> Feedback(TGLMesh& Mesh) {
    std::vector<GLfloat> buffer(4096);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
    glRenderMode(GL_FEEDBACK);
    Mesh.Draw();
    const GLint n = glRenderMode(GL_RENDER);
    std::vector<TFedVertex> out;
    for (GLint i = 0; i < n;) {
      const auto token = static_cast<GLint>(buffer[static_cast<std::size_t>(i++)]);
      if (token != GL_POLYGON_TOKEN) {
        ADD_FAILURE() << "unexpected feedback token " << token;
        break;
      }
      const auto count = static_cast<int>(buffer[static_cast<std::size_t>(i++)]);
      for (int k = 0; k < count; ++k, i += 11) {
        TFedVertex v;
        std::copy_n(buffer.begin() + i, 11, reinterpret_cast<float*>(&v));
        out.push_back(v);
      }
    }
    return out;
  }

  // One triangle facing +Z whose vertex normals point away from the light.
  static void Triangle(TGLMesh& Mesh, bool Smooth) {
    Mesh.SetNumVertex(3);
    Mesh.Vertex[0] = {0, 0, 0, 0, 0, -1, 0.9f, 0.9f};
    Mesh.Vertex[1] = {1, 0, 0, 0, 0, -1, 0.9f, 0.9f};
    Mesh.Vertex[2] = {0, 1, 0, 0, 0, -1, 0.9f, 0.9f};
    Mesh.SetNumFace(1);
    Mesh.Face[0].Point = {0, 1, 2};
    Mesh.Face[0].NZ = 1;
    Mesh.Face[0].UV = {TUV{0.1f, 0.2f}, TUV{0.3f, 0.4f}, TUV{0.5f, 0.6f}};
    Mesh.Face[0].Smooth = Smooth;
  }

  TTestGLWindow FWindow;
};

TEST_F(GLMeshTest, FlatFacesUseTheFaceNormalSmoothOnesTheVertexNormals) {
  TGLMesh flat, smooth;
  Triangle(flat, false);
  Triangle(smooth, true);
  const auto f = Feedback(flat);
  const auto s = Feedback(smooth);
  ASSERT_EQ(f.size(), 3u);
  ASSERT_EQ(s.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_NEAR(f[i].R, 1.0f, 0.01f) << "flat: lit by the face normal";
    EXPECT_NEAR(s[i].R, 0.0f, 0.01f) << "smooth: the vertex normals face away";
  }
}

TEST_F(GLMeshTest, CornersTakeTheFacesTextureCoordinatesInOrder) {
  TGLMesh mesh;
  Triangle(mesh, false);
  const auto v = Feedback(mesh);
  ASSERT_EQ(v.size(), 3u);
  const float expected[3][2] = {{0.1f, 0.2f}, {0.3f, 0.4f}, {0.5f, 0.6f}};
  for (int i = 0; i < 3; ++i) {
    EXPECT_FLOAT_EQ(v[i].S, expected[i][0]) << "corner " << i;
    EXPECT_FLOAT_EQ(v[i].T, expected[i][1]) << "corner " << i;
  }
  EXPECT_GT(v[1].X, v[0].X) << "corner B lies right of corner A";
}

TEST_F(GLMeshTest, TheDisplayListIsBuiltOnceAndFreedExplicitly) {
  TGLMesh mesh;
  Triangle(mesh, false);
  EXPECT_EQ(mesh.List, 0u);
  mesh.Draw();
  const std::uint32_t list = mesh.List;
  ASSERT_NE(list, 0u);
  EXPECT_TRUE(glIsList(list));
  mesh.Scale(0.5f);
  mesh.Draw();
  EXPECT_EQ(mesh.List, list);
  const float before = Feedback(mesh)[1].X;
  mesh.FreeDisplayList();
  EXPECT_EQ(mesh.List, 0u);
  EXPECT_FALSE(glIsList(list));
  const float after = Feedback(mesh)[1].X;
  EXPECT_LT(after, before) << "the new list shows the scaled mesh";
}

TEST_F(GLMeshTest, EmptyMeshStillCompilesAList) {
  TGLMesh mesh;
  mesh.Draw();
  EXPECT_NE(mesh.List, 0u);
  EXPECT_TRUE(Feedback(mesh).empty());
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(GLMeshTest, FacesWithBadCornersAreLeftOut) {
  TGLMesh mesh;
  Triangle(mesh, false);
  mesh.SetNumFace(2);
  mesh.Face[1].Point = {0, 1, 7};
  EXPECT_EQ(Feedback(mesh).size(), 3u);
}

TEST_F(GLMeshTest, DestructionDeletesTheList) {
  std::uint32_t list = 0;
  {
    TGLMesh mesh;
    mesh.Draw();
    list = mesh.List;
    ASSERT_TRUE(glIsList(list));
  }
  EXPECT_FALSE(glIsList(list));
}

} // namespace
