#include "gfx/gl_map.h"

#include "../support/gl_capture.h"
#include "../support/gl_window.h"

#include <gtest/gtest.h>

namespace {

class GLMapTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(Window.Open());
    // Look straight down on the ground plane: world X to the right, world Z down the window,
    // one unit per pixel.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, TTestGLWindow::Width, TTestGLWindow::Height, 0, -1000, 1000);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRotatef(-90, 1, 0, 0);
  }
  TTestGLWindow Window;
};

TEST_F(GLMapTest, DefaultMapCovers256By256UnitsFromTheOrigin) {
  TGLMap map;
  EXPECT_EQ(map.SizeX, 64);
  EXPECT_EQ(map.SizeY, 64);
  EXPECT_EQ(map.List, 0u);
  auto prims = AreaTriangles(CaptureFeedback([&] { map.Render(); }));
  EXPECT_EQ(prims.size(), 64u * 64u * 2u);
  const TBounds b = BoundsOf(prims);
  EXPECT_NEAR(b.Left, 0, 1e-3);
  EXPECT_NEAR(b.Top, 0, 1e-3);
  EXPECT_NEAR(b.Right, 256, 1e-3);
  EXPECT_NEAR(b.Bottom, 256, 1e-3);
  EXPECT_NE(map.List, 0u);
}

TEST_F(GLMapTest, TilesAreFourUnitQuadsColumnByColumnWithTheWholeTexture) {
  TGLMap map;
  map.SetSize(2, 3);
  auto prims = CaptureFeedback([&] { map.DrawComplete(); });
  ASSERT_EQ(prims.size(), 12u);
  // The second tile drawn is column 0, row 1.
  const TBounds second = BoundsOf({prims[2], prims[3]});
  EXPECT_NEAR(second.Left, 0, 1e-3);
  EXPECT_NEAR(second.Top, 4, 1e-3);
  EXPECT_NEAR(second.Right, 4, 1e-3);
  EXPECT_NEAR(second.Bottom, 8, 1e-3);
  EXPECT_NEAR(second.MinS, 0, 1e-6);
  EXPECT_NEAR(second.MaxS, 1, 1e-6);
  EXPECT_NEAR(second.MinT, 0, 1e-6);
  EXPECT_NEAR(second.MaxT, 1, 1e-6);
  const TBounds all = BoundsOf(prims);
  EXPECT_NEAR(all.Right, 8, 1e-3);
  EXPECT_NEAR(all.Bottom, 12, 1e-3);
  GLfloat diffuse[4];
  glGetMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
  EXPECT_FLOAT_EQ(diffuse[0], 1.0f);
}

TEST_F(GLMapTest, RectangleLiesOnTheGroundAndFacesUp) {
  // Seen from above (+Y) the quad is counter-clockwise, so back-face culling keeps it.
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, TTestGLWindow::Width, 0, TTestGLWindow::Height, -1000, 1000);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glRotatef(90, 1, 0, 0); // +Y towards the viewer
  glTranslatef(0, 0, -100);
  glEnable(GL_CULL_FACE);
  glCullFace(GL_BACK);
  auto prims = CaptureFeedback([] { Rectangle(10, 20, 4, 4); });
  glDisable(GL_CULL_FACE);
  ASSERT_EQ(prims.size(), 2u);
  for (const auto& p : prims) {
    for (const auto& v : p.Vertices) {
      EXPECT_NEAR(v.Z, 0.5f, 1e-4); // Y = 0 is the middle of the depth range
    }
  }
}

TEST_F(GLMapTest, ResizingShowsOnlyAfterTheListIsFreed) {
  TGLMap map;
  map.Render();
  const auto first = map.List;
  map.SetSize(1, 1);
  auto stale = AreaTriangles(CaptureFeedback([&] { map.Render(); }));
  EXPECT_EQ(stale.size(), 64u * 64u * 2u);
  EXPECT_EQ(map.List, first);
  map.FreeDisplayList();
  EXPECT_EQ(map.List, 0u);
  auto fresh = AreaTriangles(CaptureFeedback([&] { map.Render(); }));
  EXPECT_EQ(fresh.size(), 2u);
}

} // namespace
