#include "app/ortho.h"
#include "app/screen.h"

#include "../support/gl_capture.h"
#include "../support/pin_libraries.h"

#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

namespace {

constexpr int WIDTH = 800;
constexpr int HEIGHT = 600;
const char* const TITLE = "Turn based game by {KAV}!";

// Needs an X display: the test command runs these under a virtual one.
class ScreenTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run under xvfb-run (tools/test.sh)";
  }
};

void ExpectMatrixNear(const GLfloat* Actual, const double* Expected) {
  for (int i = 0; i < 16; ++i) {
    EXPECT_NEAR(Actual[i], Expected[i], 1e-5) << "element " << i;
  }
}

// gluPerspective's matrix in OpenGL's column-major order.
void Perspective(double Fovy, double Aspect, double Near, double Far, double* M) {
  const double f = 1.0 / std::tan(Fovy * M_PI / 360.0);
  for (int i = 0; i < 16; ++i) {
    M[i] = 0;
  }
  M[0] = f / Aspect;
  M[5] = f;
  M[10] = (Far + Near) / (Near - Far);
  M[11] = -1;
  M[14] = 2 * Far * Near / (Near - Far);
}

TEST_F(ScreenTest, CreatingMakesNoSdlCall) {
  TScreen s(TITLE, WIDTH, HEIGHT, 16, false);
  EXPECT_FALSE(s.IsActive());
  EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
  EXPECT_FLOAT_EQ(s.FFarClip, 450.0f);
}

TEST_F(ScreenTest, InitializeOpensTheWindowWithTheClientsState) {
  TScreen s(TITLE, WIDTH, HEIGHT, 16, false, 500.0f);
  ASSERT_TRUE(InitializePinned(s)) << SDL_GetError();
  ASSERT_TRUE(s.IsActive());
  EXPECT_EQ(s.FSurface->w, WIDTH);
  EXPECT_EQ(s.FSurface->h, HEIGHT);
  EXPECT_TRUE(s.FSurface->flags & SDL_OPENGL);

  char* caption = nullptr;
  SDL_WM_GetCaption(&caption, nullptr);
  ASSERT_NE(caption, nullptr);
  EXPECT_EQ(std::string(caption), TITLE);
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);

  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  GLint value = 0;
  glGetIntegerv(GL_DEPTH_FUNC, &value);
  EXPECT_EQ(value, GL_LEQUAL);
  glGetIntegerv(GL_SHADE_MODEL, &value);
  EXPECT_EQ(value, GL_SMOOTH);
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], WIDTH);
  EXPECT_EQ(viewport[3], HEIGHT);
  GLfloat material[4];
  glGetMaterialfv(GL_FRONT, GL_DIFFUSE, material);
  EXPECT_FLOAT_EQ(material[0], 1.0f);
  glGetMaterialfv(GL_FRONT, GL_AMBIENT, material);
  EXPECT_FLOAT_EQ(material[2], 1.0f);
  EXPECT_FLOAT_EQ(material[3], 1.0f);

  GLfloat projection[16];
  glGetFloatv(GL_PROJECTION_MATRIX, projection);
  double expected[16];
  Perspective(45.0, double(WIDTH) / HEIGHT, 2.0, 500.0, expected);
  ExpectMatrixNear(projection, expected);
  GLint mode = 0;
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  EXPECT_EQ(mode, GL_MODELVIEW);
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(ScreenTest, FullScreenIsRequestedWhenAsked) {
  TScreen s(TITLE, WIDTH, HEIGHT, 24, true);
  ASSERT_TRUE(InitializePinned(s)) << SDL_GetError();
  EXPECT_TRUE(s.FSurface->flags & SDL_FULLSCREEN);
  EXPECT_TRUE(s.FSurface->flags & SDL_OPENGL);
}

TEST_F(ScreenTest, ByteMaterialColourIsScaledToOne) {
  TScreen s(TITLE, WIDTH, HEIGHT, 24, false);
  ASSERT_TRUE(InitializePinned(s)) << SDL_GetError();
  SetMaterialColor(std::uint8_t{51}, std::uint8_t{102}, std::uint8_t{0});
  GLfloat diffuse[4], ambient[4];
  glGetMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
  glGetMaterialfv(GL_FRONT, GL_AMBIENT, ambient);
  const GLfloat expected[4] = {0.2f, 0.4f, 0.0f, 1.0f};
  for (int i = 0; i < 4; ++i) {
    EXPECT_FLOAT_EQ(diffuse[i], expected[i]);
    EXPECT_FLOAT_EQ(ambient[i], expected[i]);
  }
}

TEST_F(ScreenTest, SetupWindowTreatsHeightZeroAsOne) {
  TScreen s(TITLE, WIDTH, HEIGHT, 16, false);
  ASSERT_TRUE(InitializePinned(s)) << SDL_GetError();
  EXPECT_TRUE(s.SetupWindow(WIDTH, 0, 300.0f));
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[3], 1);
  GLfloat projection[16];
  glGetFloatv(GL_PROJECTION_MATRIX, projection);
  double expected[16];
  Perspective(45.0, WIDTH / 1.0, 2.0, 300.0, expected);
  ExpectMatrixNear(projection, expected);
}

TEST_F(ScreenTest, FinalizeClosesAndTheScreenCanOpenAgain) {
  TScreen s(TITLE, WIDTH, HEIGHT, 16, false);
  ASSERT_TRUE(InitializePinned(s)) << SDL_GetError();
  s.Finalize();
  EXPECT_FALSE(s.IsActive());
  EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
  ASSERT_TRUE(InitializePinned(s)) << SDL_GetError();
  EXPECT_TRUE(s.IsActive());
}

TEST_F(ScreenTest, DestroyingAnActiveScreenShutsVideoDown) {
  {
    TScreen s(TITLE, WIDTH, HEIGHT, 16, false);
    ASSERT_TRUE(InitializePinned(s)) << SDL_GetError();
  }
  EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
}

TEST_F(ScreenTest, InitializeFailsWithoutAnOpenGLCapableDriver) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  TScreen s(TITLE, WIDTH, HEIGHT, 16, false);
  EXPECT_FALSE(s.Initialize());
  EXPECT_FALSE(s.IsActive());
  s.Finalize();
  unsetenv("SDL_VIDEODRIVER");
}

TEST_F(ScreenTest, FrameIsDrawnAndSwapped) {
  TScreen s(TITLE, WIDTH, HEIGHT, 16, false);
  ASSERT_TRUE(InitializePinned(s)) << SDL_GetError();
  glClearColor(0, 0, 1, 0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  EXPECT_EQ(ReadPixel(400, 300), (TPixel{0, 0, 255}));
  SDL_GL_SwapBuffers();
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(ScreenTest, OrthoMapsUnitsToPixelsFromTheTopLeft) {
  TScreen s(TITLE, WIDTH, HEIGHT, 24, false);
  ASSERT_TRUE(InitializePinned(s)) << SDL_GetError();
  GLfloat before[16];
  glGetFloatv(GL_PROJECTION_MATRIX, before);
  glMatrixMode(GL_MODELVIEW);
  glTranslatef(5, 5, 5); // BeginOrtho resets the modelview matrix

  BeginOrtho(WIDTH, HEIGHT);
  EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
  GLint mode = 0;
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  EXPECT_EQ(mode, GL_MODELVIEW);
  auto prims = CaptureFeedback([] {
    glBegin(GL_POINTS);
    glVertex2f(0.5f, 0.5f);
    glVertex2f(799.5f, 599.5f);
    glVertex2f(100.5f, 10.5f);
    glEnd();
  });
  ASSERT_EQ(prims.size(), 3u);
  EXPECT_NEAR(prims[0].Vertices[0].X, 0.5f, 1e-3);
  EXPECT_NEAR(prims[0].Vertices[0].Y, 0.5f, 1e-3);
  EXPECT_NEAR(prims[1].Vertices[0].X, 799.5f, 1e-3);
  EXPECT_NEAR(prims[1].Vertices[0].Y, 599.5f, 1e-3);
  EXPECT_NEAR(prims[2].Vertices[0].X, 100.5f, 1e-3);
  EXPECT_NEAR(prims[2].Vertices[0].Y, 10.5f, 1e-3);
  // Depth 0 to -100 in eye space is the whole depth range.
  GLfloat projection[16];
  glGetFloatv(GL_PROJECTION_MATRIX, projection);
  EXPECT_NEAR(projection[10], -2.0f / 100.0f, 1e-6);

  EndOrtho();
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  GLfloat after[16];
  glGetFloatv(GL_PROJECTION_MATRIX, after);
  for (int i = 0; i < 16; ++i) {
    EXPECT_FLOAT_EQ(after[i], before[i]);
  }
  GLfloat modelview[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
  EXPECT_FLOAT_EQ(modelview[12], 0.0f);
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

} // namespace
