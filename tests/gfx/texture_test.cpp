// Textures from PNG files: formats as uploaded, conversion of other layouts, failures, and the
// file media manager's texture cache. Needs an OpenGL window (virtual display).
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

#include "../support/gl_window.h"
#include "../support/scratch_dir.h"
#include "gfx/media_manager.h"
#include "gfx/texture.h"
#include "png_fixture.h"

namespace {

namespace fs = std::filesystem;

class TextureTest : public testing::Test {
protected:
  void SetUp() override {
    if (!FWindow.Open())
      GTEST_SKIP();
  }

  std::string Path(const std::string& Name) const { return (FDir / Name).string(); }

  // The internal format and the RGBA texels of the bound texture's level 0.
  static GLint InternalFormat() {
    GLint format = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    return format;
  }
  static std::vector<std::uint8_t> Texels(int W, int H) {
    std::vector<std::uint8_t> texels(static_cast<std::size_t>(W * H * 4));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    return texels;
  }

  TScratchDir FScratch{"texture-test"};
  const fs::path& FDir = FScratch.Path();
  TTestGLWindow FWindow;
};

TEST_F(TextureTest, RgbImageIsUploadedAsRgbWithTheFirstRowFirst) {
  const std::vector<std::uint8_t> pixels = {
      255, 0, 0, 0, 255, 0, 0, 0, 255, 10, 20, 30, // top row
      1,   2, 3, 4, 5,   6, 7, 8, 9,   90, 80, 70, // bottom row
  };
  png_fixture::Write(Path("rgb.png"), 4, 2, 2, pixels);
  std::uint32_t name = 0;
  ASSERT_TRUE(LoadGLTexture(Path("rgb.png"), name));
  ASSERT_NE(name, 0u);
  GLint bound = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  EXPECT_EQ(static_cast<std::uint32_t>(bound), name);
  EXPECT_EQ(InternalFormat(), GL_RGB);
  const auto texels = Texels(4, 2);
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(texels[i * 4 + 0], pixels[i * 3 + 0]) << "texel " << i;
    EXPECT_EQ(texels[i * 4 + 1], pixels[i * 3 + 1]) << "texel " << i;
    EXPECT_EQ(texels[i * 4 + 2], pixels[i * 3 + 2]) << "texel " << i;
    EXPECT_EQ(texels[i * 4 + 3], 255) << "texel " << i;
  }
  GLint minFilter = 0, magFilter = 0;
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &magFilter);
  EXPECT_EQ(minFilter, GL_LINEAR);
  EXPECT_EQ(magFilter, GL_LINEAR);
}

TEST_F(TextureTest, RgbaImageKeepsItsAlpha) {
  const std::vector<std::uint8_t> pixels = {255, 0, 0,   0,   0,  255, 0,  128,
                                            0,   0, 255, 255, 40, 50,  60, 70};
  png_fixture::Write(Path("rgba.png"), 2, 2, 6, pixels);
  std::uint32_t name = 0;
  ASSERT_TRUE(LoadGLTexture(Path("rgba.png"), name));
  EXPECT_EQ(InternalFormat(), GL_RGBA);
  EXPECT_EQ(Texels(2, 2), pixels);
}

// Layouts that cannot go to OpenGL as they are come out as RGBA with the right colours.
TEST_F(TextureTest, OtherLayoutsAreConvertedToRgba) {
  struct TCase {
    const char* What;
    int W, H, ColorType;
    std::vector<std::uint8_t> Pixels, Palette, Transparency, Expected;
  };
  const TCase cases[] = {
      {"palette with a transparent entry",
       3,
       1,
       3,
       {0, 1, 2},
       {255, 0, 0, 0, 255, 0, 0, 0, 255},
       {255, 0},
       {255, 0, 0, 255, 0, 255, 0, 0, 0, 0, 255, 255}},
      {"grey", 2, 1, 0, {0, 200}, {}, {}, {0, 0, 0, 255, 200, 200, 200, 255}},
      {"rgb rows with padding",
       3,
       2,
       2,
       {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18},
       {},
       {},
       {1,  2,  3,  255, 4,  5,  6,  255, 7,  8,  9,  255,
        10, 11, 12, 255, 13, 14, 15, 255, 16, 17, 18, 255}},
  };
  for (const TCase& c : cases) {
    const std::string file = Path("convert.png");
    png_fixture::Write(file, c.W, c.H, c.ColorType, c.Pixels, c.Palette, c.Transparency);
    std::uint32_t name = 0;
    ASSERT_TRUE(LoadGLTexture(file, name)) << c.What;
    EXPECT_EQ(InternalFormat(), GL_RGBA) << c.What;
    const auto texels = Texels(c.W, c.H);
    EXPECT_EQ(texels, c.Expected) << c.What;
    GLuint n = name;
    glDeleteTextures(1, &n);
  }
}

TEST_F(TextureTest, MissingFileRaisesWithTheFileName) {
  std::uint32_t name = 77;
  try {
    LoadGLTexture(Path("absent.png"), name);
    FAIL() << "no exception";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()), "file " + Path("absent.png") + " not found");
  }
  EXPECT_EQ(name, 77u);
  png_fixture::Write(Path("junk.png"), 1, 1, 2, {1, 2, 3});
  fs::resize_file(Path("junk.png"), 20);
  EXPECT_THROW(LoadGLTexture(Path("junk.png"), name), std::runtime_error);
}

TEST_F(TextureTest, TextureObjectBindsAndDeletesItsName) {
  png_fixture::Write(Path("t.png"), 1, 1, 6, {1, 2, 3, 4});
  GLuint name = 0;
  {
    TTexture texture;
    EXPECT_EQ(texture.Texture, 0u);
    texture.LoadFrom(Path("t.png"));
    name = texture.Texture;
    ASSERT_TRUE(glIsTexture(name));
    glBindTexture(GL_TEXTURE_2D, 0);
    texture.Bind();
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), name);
    // Loading again replaces the texture instead of leaking the first one.
    texture.LoadFrom(Path("t.png"));
    EXPECT_FALSE(glIsTexture(name));
    name = texture.Texture;
  }
  EXPECT_FALSE(glIsTexture(name));
}

TEST_F(TextureTest, FileManagerCachesTexturesByExactName) {
  png_fixture::Write(Path("font.png"), 1, 1, 6, {255, 255, 255, 255});
  TFileMediaManager man(FDir.string() + "/");
  TTexture* font = man.GetTextureByName("font");
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(font->Name, "font");
  EXPECT_EQ(man.GetTextureByName("font"), font);
  EXPECT_EQ(man.TextureList.Count(), 1);

  EXPECT_EQ(man.GetTextureByName("Font"), nullptr) << "names differ by case";
  EXPECT_EQ(man.GetTextureByName("pointer"), nullptr);
  EXPECT_EQ(man.TextureList.Count(), 1);
  // A failure is not remembered: the file appears, the next request loads it.
  png_fixture::Write(Path("pointer.png"), 1, 1, 6, {0, 0, 0, 255});
  TTexture* pointer = man.GetTextureByName("pointer");
  ASSERT_NE(pointer, nullptr);
  EXPECT_EQ(man.TextureList.GetTexture(1), pointer);
  EXPECT_EQ(man.TextureList.GetTextureByName("font"), font);
}

} // namespace
