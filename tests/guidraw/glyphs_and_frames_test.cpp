// The free drawing functions: glyph cells, text advance, nine-slice frames.
#include "drawer_fixture.h"

namespace {

using GlyphsAndFrames = DrawerTest;

std::vector<TQuad> Draw(const std::function<void()>& F) {
  return Quads(CaptureFeedback(F));
}

TEST_F(GlyphsAndFrames, CapitalAComesFromColumnOneRowTen) {
  auto q = Draw([] { DrawChar(20, 30, 'A'); });
  ASSERT_EQ(q.size(), 1u);
  ExpectRect(q[0], 20, 30, 28, 38);
  EXPECT_NEAR(q[0].U, 1 / 16.0f, 1e-6);
  EXPECT_NEAR(q[0].V, 10 / 16.0f, 1e-6);
  EXPECT_NEAR(q[0].U2, 2 / 16.0f, 1e-6);
  EXPECT_NEAR(q[0].V2, 11 / 16.0f, 1e-6);
}

TEST_F(GlyphsAndFrames, TextCharactersFillRowsEightToThirteen) {
  struct Case {
    char C;
    int Column, Row;
  };
  const Case cases[] = {{' ', 0, 8}, {'/', 15, 8}, {'0', 0, 9}, {'z', 10, 13}, {'\x7f', 15, 13}};
  for (const auto& c : cases) {
    SCOPED_TRACE(int(c.C));
    auto q = Draw([&] { DrawChar(0, 0, c.C); });
    ASSERT_EQ(q.size(), 1u);
    EXPECT_NEAR(q[0].U, c.Column / 16.0f, 1e-6);
    EXPECT_NEAR(q[0].V, c.Row / 16.0f, 1e-6);
  }
}

TEST_F(GlyphsAndFrames, CharactersOutsideTheTextRangeDrawTheBlankCell) {
  for (int code : {0, 9, 31, 128, 159, 160, 255}) {
    SCOPED_TRACE(code);
    auto q = Draw([&] { DrawChar(5, 6, static_cast<char>(code)); });
    ASSERT_EQ(q.size(), 1u);
    ExpectRect(q[0], 5, 6, 13, 14);
    EXPECT_NEAR(q[0].U, 0, 1e-6);
    EXPECT_NEAR(q[0].V, 0.5f, 1e-6);
  }
}

TEST_F(GlyphsAndFrames, TenCharactersSpanSeventyOnePixelsInBlack) {
  glColor3f(1, 1, 1);
  auto q = Draw([] { DrawString(100, 50, "0123456789"); });
  ExpectText(q, 100, 50, "0123456789");
  EXPECT_NEAR(q.back().Right - q.front().Left, 71, 1e-3);
  GLfloat colour[4];
  glGetFloatv(GL_CURRENT_COLOR, colour);
  EXPECT_FLOAT_EQ(colour[0] + colour[1] + colour[2], 0.0f);
}

TEST_F(GlyphsAndFrames, EmptyStringDrawsNothing) {
  EXPECT_TRUE(CaptureFeedback([] { DrawString(0, 0, ""); }).empty());
}

TEST_F(GlyphsAndFrames, RectUV25MapsAQuarterOfTheTexture) {
  auto q = Draw([] { DrawRectUV25(10, 20, 30, 40, 0.25f, 0.5f); });
  ASSERT_EQ(q.size(), 1u);
  ExpectRect(q[0], 10, 20, 40, 60);
  EXPECT_NEAR(q[0].U, 0.25f, 1e-6);
  EXPECT_NEAR(q[0].V, 0.5f, 1e-6);
  EXPECT_NEAR(q[0].U2, 0.5f, 1e-6);
  EXPECT_NEAR(q[0].V2, 0.75f, 1e-6);
}

TEST_F(GlyphsAndFrames, FrameIsNinePiecesFromTheUpperLeftCells) {
  auto q = Draw([] { DrawRect(100, 200, 120, 80); });
  ASSERT_EQ(q.size(), 9u);
  struct Piece {
    float L, T, R, B, U, V;
  };
  const Piece expected[9] = {
      {100, 200, 116, 216, 0, 0},         // top-left corner
      {100, 264, 116, 280, 0, 0.5f},      // bottom-left corner
      {204, 200, 220, 216, 0.5f, 0},      // top-right corner
      {204, 264, 220, 280, 0.5f, 0.5f},   // bottom-right corner
      {116, 200, 204, 216, 0.25f, 0},     // top edge
      {116, 264, 204, 280, 0.25f, 0.5f},  // bottom edge
      {100, 216, 116, 264, 0, 0.25f},     // left edge
      {204, 216, 220, 264, 0.5f, 0.25f},  // right edge
      {116, 216, 204, 264, 0.25f, 0.25f}, // centre
  };
  for (int i = 0; i < 9; ++i) {
    SCOPED_TRACE(i);
    ExpectRect(q[i], expected[i].L, expected[i].T, expected[i].R, expected[i].B);
    EXPECT_NEAR(q[i].U, expected[i].U, 1e-6);
    EXPECT_NEAR(q[i].V, expected[i].V, 1e-6);
    EXPECT_NEAR(q[i].U2 - q[i].U, 0.25f, 1e-6);
    EXPECT_NEAR(q[i].V2 - q[i].V, 0.25f, 1e-6);
  }
}

TEST_F(GlyphsAndFrames, SmallFramesDrawTheirCornersOnly) {
  struct Case {
    int W, H;
    std::size_t Pieces;
  };
  const Case cases[] = {
      {32, 32, 4},  // exactly the corners
      {20, 100, 4}, // too narrow: no negative pieces
      {100, 10, 4}, // too low
      {0, 0, 4},    // degenerate
      {100, 32, 6}, // corners plus top and bottom edges
      {32, 100, 6}, // corners plus left and right edges
      {33, 33, 9},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.W << " x " << c.H);
    auto q = Draw([&] { DrawRect(100, 100, c.W, c.H); });
    ASSERT_EQ(q.size(), c.Pieces);
    for (const auto& piece : q) {
      EXPECT_GT(piece.Right - piece.Left, 0.0f);
      EXPECT_GT(piece.Bottom - piece.Top, 0.0f);
    }
  }
}

TEST_F(GlyphsAndFrames, FrameUsesTheCurrentColour) {
  glColor3f(1, 1, 0);
  auto q = Draw([] { DrawRect(0, 0, 64, 64); });
  ASSERT_EQ(q.size(), 9u);
  for (const auto& piece : q) {
    EXPECT_NEAR(piece.R, 1, 1e-5);
    EXPECT_NEAR(piece.G, 1, 1e-5);
    EXPECT_NEAR(piece.B, 0, 1e-5);
  }
}

} // namespace
