#include "gfx/opengl_helpers.h"

#include "../support/gl_capture.h"
#include "../support/gl_window.h"

#include <gtest/gtest.h>

namespace {

class OpenGLHelpersTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(Window.Open());
    TTestGLWindow::PixelProjection();
  }
  TTestGLWindow Window;
};

// The four strip corners a quad from (X, Y) to (X + W, Y + H) must produce, as two triangles
// that together cover exactly these positions and texture corners.
struct Corner {
  float X, Y, S, T;
};

void ExpectQuad(const std::vector<TFeedbackPrimitive>& Prims, const Corner (&Corners)[4]) {
  ASSERT_EQ(Prims.size(), 2u);
  // Strip order: triangles (0, 1, 2) and (2, 1, 3) of the corners.
  const int order[2][3] = {{0, 1, 2}, {2, 1, 3}};
  for (int t = 0; t < 2; ++t) {
    ASSERT_EQ(Prims[t].Kind, GL_POLYGON_TOKEN);
    ASSERT_EQ(Prims[t].Vertices.size(), 3u);
    for (int k = 0; k < 3; ++k) {
      const auto& v = Prims[t].Vertices[k];
      const Corner& c = Corners[order[t][k]];
      SCOPED_TRACE(testing::Message() << "triangle " << t << " vertex " << k);
      EXPECT_NEAR(v.X, c.X, 1e-3);
      EXPECT_NEAR(v.Y, c.Y, 1e-3);
      EXPECT_NEAR(v.S, c.S, 1e-5);
      EXPECT_NEAR(v.T, c.T, 1e-5);
    }
  }
}

TEST_F(OpenGLHelpersTest, DrawRectangleMapsTheTextureWithItsFirstRowAtTheTop) {
  auto prims = CaptureFeedback([] { DrawRectangle(10, 20, 100, 50, 0.25f, 0.5f, 1.0f); });
  ExpectQuad(prims, {{10, 20, 0, 0}, {10, 70, 0, 1}, {110, 20, 1, 0}, {110, 70, 1, 1}});
  for (const auto& p : prims) {
    for (const auto& v : p.Vertices) {
      EXPECT_NEAR(v.R, 0.25f, 1e-3);
      EXPECT_NEAR(v.G, 0.5f, 1e-3);
      EXPECT_NEAR(v.B, 1.0f, 1e-3);
    }
  }
}

TEST_F(OpenGLHelpersTest, DrawRectangleWithNegativeSizeDrawsTheMirroredQuad) {
  glDisable(GL_CULL_FACE);
  auto prims = CaptureFeedback([] { DrawRectangle(100, 100, -40, -30, 1, 1, 1); });
  ExpectQuad(prims, {{100, 100, 0, 0}, {100, 70, 0, 1}, {60, 100, 1, 0}, {60, 70, 1, 1}});
}

TEST_F(OpenGLHelpersTest, DrawRectangleFacesTheViewerUnderThePixelProjection) {
  // The client culls back faces; the 2D layer must survive that.
  glEnable(GL_CULL_FACE);
  glCullFace(GL_BACK);
  auto prims = CaptureFeedback([] { DrawRectangle(0, 0, 10, 10, 1, 1, 1); });
  EXPECT_EQ(prims.size(), 2u);
  glDisable(GL_CULL_FACE);
}

TEST_F(OpenGLHelpersTest, DrawRectangleFillsInPlainColourWithoutTexturing) {
  glDisable(GL_TEXTURE_2D);
  glClearColor(0, 0, 0, 0);
  glClear(GL_COLOR_BUFFER_BIT);
  DrawRectangle(10, 10, 20, 20, 1, 0, 0);
  EXPECT_EQ(ReadPixel(15, 15), (TPixel{255, 0, 0}));
  EXPECT_EQ(ReadPixel(10, 10), (TPixel{255, 0, 0}));
  EXPECT_EQ(ReadPixel(29, 29), (TPixel{255, 0, 0}));
  EXPECT_EQ(ReadPixel(30, 30), (TPixel{0, 0, 0}));
  EXPECT_EQ(ReadPixel(9, 15), (TPixel{0, 0, 0}));
}

TEST_F(OpenGLHelpersTest, DrawRectangleStretchesTheBoundTexture) {
  // A 2 x 2 texture: top row red, green; bottom row blue, white.
  const unsigned char pixels[] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};
  GLuint tex = 0;
  glGenTextures(1, &tex);
  glBindTexture(GL_TEXTURE_2D, tex);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 2, 2, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glEnable(GL_TEXTURE_2D);
  glClear(GL_COLOR_BUFFER_BIT);
  DrawRectangle(100, 100, 40, 40, 1, 1, 1);
  EXPECT_EQ(ReadPixel(105, 105), (TPixel{255, 0, 0}));
  EXPECT_EQ(ReadPixel(135, 105), (TPixel{0, 255, 0}));
  EXPECT_EQ(ReadPixel(105, 135), (TPixel{0, 0, 255}));
  EXPECT_EQ(ReadPixel(135, 135), (TPixel{255, 255, 255}));
  glDeleteTextures(1, &tex);
}

TEST_F(OpenGLHelpersTest, DrawBoundedRectFillsThenDrawsLightAndDarkEdges) {
  auto prims = CaptureFeedback([] { DrawBoundedRect(10, 20, 30, 40, 0.5f, 0.5f, 0.5f); });
  ASSERT_EQ(prims.size(), 6u); // two fill triangles, two segments per edge strip
  const auto fill = BoundsOf({prims[0], prims[1]});
  EXPECT_NEAR(fill.Left, 10, 1e-3);
  EXPECT_NEAR(fill.Top, 20, 1e-3);
  EXPECT_NEAR(fill.Right, 39, 1e-3);
  EXPECT_NEAR(fill.Bottom, 59, 1e-3);
  EXPECT_NEAR(prims[0].Vertices[0].R, 0.5f, 1e-3);
  // Light edge: (10, 59) -> (10, 20) -> (39, 20).
  ASSERT_EQ(prims[2].Vertices.size(), 2u);
  EXPECT_NEAR(prims[2].Vertices[0].Y, 59, 1e-3);
  EXPECT_NEAR(prims[3].Vertices[1].X, 39, 1e-3);
  EXPECT_NEAR(prims[3].Vertices[1].Y, 20, 1e-3);
  EXPECT_NEAR(prims[2].Vertices[0].R, 0.7f, 1e-3);
  // Dark edge: (39, 20) -> (39, 59) -> (10, 59).
  EXPECT_NEAR(prims[4].Vertices[0].X, 39, 1e-3);
  EXPECT_NEAR(prims[5].Vertices[1].X, 10, 1e-3);
  EXPECT_NEAR(prims[5].Vertices[1].Y, 59, 1e-3);
  EXPECT_NEAR(prims[4].Vertices[0].R, 0.3f, 1e-3);
}

TEST_F(OpenGLHelpersTest, DrawBoundedRectSunkenSwapsTheEdgeColours) {
  auto prims = CaptureFeedback([] { DrawBoundedRect(0, 0, 10, 10, 0.5f, 0.4f, 0.3f, false); });
  ASSERT_EQ(prims.size(), 6u);
  EXPECT_NEAR(prims[2].Vertices[0].R, 0.3f, 1e-3);
  EXPECT_NEAR(prims[2].Vertices[0].B, 0.1f, 1e-3);
  EXPECT_NEAR(prims[4].Vertices[0].G, 0.6f, 1e-3);
}

TEST_F(OpenGLHelpersTest, DrawOriginLinesDrawsFourAxisLinesOfTheDefaultLength) {
  // Look at the origin from the front with one unit per pixel, origin at (400, 300).
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-400, 400, -300, 300, -100, 100);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glEnable(GL_LIGHTING);
  glDisable(GL_TEXTURE_2D);
  auto prims = CaptureFeedback([] { DrawOriginLines(); });
  ASSERT_EQ(prims.size(), 4u);
  // X axis, blue, ten units long.
  EXPECT_NEAR(prims[0].Vertices[1].X - prims[0].Vertices[0].X, 10, 1e-3);
  EXPECT_NEAR(prims[0].Vertices[0].B, 1, 1e-3);
  EXPECT_NEAR(prims[0].Vertices[0].R, 0, 1e-3);
  // Y axis, red, upwards on screen.
  EXPECT_NEAR(prims[1].Vertices[0].Y - prims[1].Vertices[1].Y, 10, 1e-3);
  EXPECT_NEAR(prims[1].Vertices[0].R, 1, 1e-3);
  // Z axis, green, two lines from +-Length/50 on X towards the viewer.
  EXPECT_NEAR(prims[2].Vertices[0].X - 400, 0.2f, 1e-3);
  EXPECT_NEAR(prims[3].Vertices[0].X - 400, -0.2f, 1e-3);
  EXPECT_NEAR(prims[2].Vertices[0].G, 1, 1e-3);
  EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
}

TEST_F(OpenGLHelpersTest, DrawOriginLinesTakesALength) {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-400, 400, -300, 300, -100, 100);
  auto prims = CaptureFeedback([] { DrawOriginLines(100); });
  ASSERT_EQ(prims.size(), 4u);
  EXPECT_NEAR(prims[0].Vertices[1].X - prims[0].Vertices[0].X, 100, 1e-3);
  EXPECT_NEAR(prims[2].Vertices[0].X - 400, 2.0f, 1e-3);
}

TEST_F(OpenGLHelpersTest, SetMaterialColorSetsDiffuseAndAmbientOfTheFront) {
  SetMaterialColor(0.1f, 0.2f, 0.3f);
  GLfloat diffuse[4], ambient[4], back[4];
  glGetMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
  glGetMaterialfv(GL_FRONT, GL_AMBIENT, ambient);
  glGetMaterialfv(GL_BACK, GL_DIFFUSE, back);
  const GLfloat expected[4] = {0.1f, 0.2f, 0.3f, 1.0f};
  for (int i = 0; i < 4; ++i) {
    EXPECT_FLOAT_EQ(diffuse[i], expected[i]);
    EXPECT_FLOAT_EQ(ambient[i], expected[i]);
  }
  EXPECT_NE(back[0], 0.1f); // the back face keeps OpenGL's default
}

} // namespace
