// A screen's frame drawn for real into the client window (virtual X display), read back.
#include "app/desktop_screen.h"
#include "app/frame_canvas.h"
#include "app/global.h"
#include "app/screen.h"
#include "gfx/media_manager.h"
#include "gfx/texture.h"
#include "gui/gui.h"

#include "../support/gl_capture.h"
#include "../support/pin_libraries.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <memory>

namespace {

// Gives single-colour textures for the names it knows and nothing for the others.
class TColourMediaManager : public TGenericMediaManager {
public:
  TMesh* GetMeshByName(const std::string&) override { return nullptr; }
  TSound* GetSoundByName(const std::string&) override { return nullptr; }
  TTexture* GetTextureByName(const std::string& Name) override {
    auto colour = Colours.find(Name);
    if (colour == Colours.end()) {
      return nullptr;
    }
    auto& slot = Textures[Name];
    if (!slot) {
      slot = std::make_unique<TTexture>();
      GLuint tex = 0;
      glGenTextures(1, &tex);
      slot->Texture = tex;
      glBindTexture(GL_TEXTURE_2D, tex);
      const TPixel c = colour->second;
      const unsigned char rgba[4] = {c.R, c.G, c.B, 255};
      glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    }
    return slot.get();
  }
  std::map<std::string, TPixel> Colours;
  std::map<std::string, std::unique_ptr<TTexture>> Textures;
};

// The OpenGL canvas, but the finished frame stays in the back buffer to be read.
class TKeepFrameCanvas : public TGLFrameCanvas {
public:
  using TGLFrameCanvas::TGLFrameCanvas;
  void Present() override { ++Presented; }
  int Presented = 0;
};

class FrameCanvasTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run under xvfb-run (tools/test.sh)";
    ASSERT_TRUE(InitializePinned(Screen)) << SDL_GetError();
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    Man.Colours = {
        {"background", {0, 0, 255}}, {"interf4", {255, 255, 255}}, {"font", {255, 255, 255}}};
    Global.Man = &Man;
  }
  void TearDown() override { Global = TGlobal{}; }

  TScreen Screen{"frame test", CLIENT_WIDTH, CLIENT_HEIGHT, 24, false, 500.0f};
  TColourMediaManager Man;
};

TEST_F(FrameCanvasTest, ImagesAreTexturedOrPlainWhenTheTextureIsMissing) {
  TGLFrameCanvas canvas(&Man);
  canvas.Clear();
  canvas.BeginOrtho2D();
  canvas.DrawImage("background", 0, 0, 400, 600);
  canvas.DrawImage("pointer", 500, 100, 64, 64); // the manager has none
  EXPECT_EQ(ReadPixel(200, 300), (TPixel{0, 0, 255}));
  EXPECT_EQ(ReadPixel(530, 130), (TPixel{255, 255, 255}));
  EXPECT_EQ(ReadPixel(700, 500), (TPixel{0, 0, 0}));
  canvas.EndOrtho2D();
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(FrameCanvasTest, ClearEmptiesBothBuffersAndResetsTheModelview) {
  TGLFrameCanvas canvas(&Man);
  glClearColor(0, 1, 0, 0);
  glTranslatef(1, 2, 3);
  canvas.Clear();
  EXPECT_EQ(ReadPixel(10, 10), (TPixel{0, 255, 0}));
  GLfloat m[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, m);
  EXPECT_FLOAT_EQ(m[12], 0);
  GLfloat depth = 0;
  glReadPixels(10, 10, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
  EXPECT_FLOAT_EQ(depth, 1.0f);
}

TEST_F(FrameCanvasTest, ScreenFrameShowsBackgroundWidgetsAndCursor) {
  const std::string file = std::string(BINARY_DIR) + "/frame_canvas_test.ui";
  std::ofstream(file) << "<GUI><BUTTON name=\"B\"><LEFT>100</LEFT><TOP>100</TOP>"
                         "<WIDTH>200</WIDTH><HEIGHT>100</HEIGHT><CAPTION></CAPTION></BUTTON></GUI>";
  TDesktopScreen screen(file);
  std::remove(file.c_str());
  auto canvas = std::make_unique<TKeepFrameCanvas>(&Man);
  auto* keep = canvas.get();
  screen.Canvas = std::move(canvas);
  Global.MX = 600;
  Global.MY = 400;
  screen.DoLoop();
  EXPECT_EQ(keep->Presented, 1);
  EXPECT_EQ(ReadPixel(50, 50), (TPixel{0, 0, 255}));       // background
  EXPECT_EQ(ReadPixel(200, 150), (TPixel{255, 255, 255})); // the button's frame
  EXPECT_EQ(ReadPixel(630, 430), (TPixel{255, 255, 255})); // cursor without its texture
  EXPECT_EQ(ReadPixel(670, 470), (TPixel{0, 0, 255}));
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

} // namespace
