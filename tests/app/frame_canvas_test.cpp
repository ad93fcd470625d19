// A screen's frame drawn for real into the client window (virtual X display), read back.
#include "app/desktop_screen.h"
#include "app/frame_canvas.h"
#include "app/global.h"
#include "app/screen.h"
#include "gfx/media_manager.h"
#include "gfx/opengl_helpers.h"
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
#include <vector>

namespace {

// Gives single-colour textures for the names it knows and nothing for the others.
class TColourMediaManager : public TGenericMediaManager {
public:
  TMesh* GetMeshByName(const std::string&) override { return nullptr; }
  TSound* GetSoundByName(const std::string&) override { return nullptr; }
  TTexture* GetTextureByName(const std::string& Name) override {
    if (auto given = Given.find(Name); given != Given.end()) {
      return given->second;
    }
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
  std::map<std::string, TTexture*> Given;
};

std::vector<unsigned char> ReadWindow() {
  std::vector<unsigned char> pixels(static_cast<std::size_t>(CLIENT_WIDTH) * CLIENT_HEIGHT * 4);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, CLIENT_WIDTH, CLIENT_HEIGHT, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  return pixels;
}

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

TEST_F(FrameCanvasTest, WindowSizedImageLooksExactlyAsLinearFilteringDrawsIt) {
  // A busy 800 x 600 picture, loaded with linear filtering as the media manager loads images.
  std::vector<unsigned char> image(static_cast<std::size_t>(CLIENT_WIDTH) * CLIENT_HEIGHT * 3);
  for (std::size_t i = 0; i < image.size(); ++i) {
    image[i] = static_cast<unsigned char>((i * 7919u) ^ (i >> 5));
  }
  TTexture picture;
  GLuint name = 0;
  glGenTextures(1, &name);
  picture.Texture = name;
  glBindTexture(GL_TEXTURE_2D, name);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, CLIENT_WIDTH, CLIENT_HEIGHT, 0, GL_RGB, GL_UNSIGNED_BYTE,
               image.data());
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  Man.Given["background"] = &picture;
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

  TGLFrameCanvas canvas(&Man);
  canvas.Clear();
  canvas.BeginOrtho2D();
  canvas.DrawImage("background", 0, 0, CLIENT_WIDTH, CLIENT_HEIGHT);
  const auto drawn = ReadWindow();
  GLint filter = 0;
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
  EXPECT_EQ(filter, GL_LINEAR);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &filter);
  EXPECT_EQ(filter, GL_LINEAR);

  // The same quad drawn plainly, through the linear filter.
  canvas.Clear();
  canvas.BeginOrtho2D();
  glBindTexture(GL_TEXTURE_2D, name);
  DrawRectangle(0, 0, CLIENT_WIDTH, CLIENT_HEIGHT, 1, 1, 1);
  const auto linear = ReadWindow();
  EXPECT_TRUE(drawn == linear) << "the picture differs from the linearly filtered one";
  // The first image row is at the top, one texel per pixel.
  EXPECT_EQ(ReadPixel(0, 0), (TPixel{image[0], image[1], image[2]}));
  const std::size_t middle = (300 * static_cast<std::size_t>(CLIENT_WIDTH) + 400) * 3;
  EXPECT_EQ(ReadPixel(400, 300), (TPixel{image[middle], image[middle + 1], image[middle + 2]}));
  canvas.EndOrtho2D();
  Man.Given.clear();
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
