// Where the battlefield lies and how a pointer finds a tile through the game screen's camera,
// without a window (game_camera.h builds the camera's matrices; a window test checks them
// against OpenGL's).
#include "app/match_field.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

constexpr float DEGREE = std::numbers::pi_v<float> / 180;
const TViewport WINDOW{0, 0, 800, 600};

TMatrix4 Projection() {
  return PerspectiveMatrix(45 * DEGREE, 800.0f / 600.0f, 2, 500);
}

// glRotatef(45, 1, 0, 0); glRotatef(AngleY, 0, 1, 0); glTranslatef(-X, -Y, -Z).
TMatrix4 View(const TCamera& C) {
  return Multiply(
      Multiply(RotationMatrix(45 * DEGREE, 1, 0, 0), RotationMatrix(C.AngleY * DEGREE, 0, 1, 0)),
      TranslationMatrix(-C.X, -C.Y, -C.Z));
}

bool Pick(const TCamera& C, int MX, int MY, const TFieldPlacement& Field, TTilePos& Tile) {
  return PickTile(Projection(), View(C), WINDOW, MX, MY, Field, Tile);
}

TEST(MatchField, TheFieldLiesInTheMiddleOfTheGround) {
  const TFieldPlacement field = PlaceField(20, 20);
  EXPECT_EQ(field.Left, 88);
  EXPECT_EQ(field.Top, 88);
  const TVector centre = field.Centre(2, 3);
  EXPECT_EQ(centre.X, 98);
  EXPECT_EQ(centre.Z, 102);
  TTilePos tile;
  ASSERT_TRUE(field.TileAt({91.99f, 0, 96.01f}, tile));
  EXPECT_EQ(tile, (TTilePos{0, 2}));
  EXPECT_FALSE(field.TileAt({87.9f, 0, 100}, tile));
  EXPECT_FALSE(field.TileAt({100, 0, 168}, tile));
  EXPECT_TRUE(field.TileAt({100, 0, 167.9f}, tile));
  EXPECT_EQ(tile.Y, 19);
}

// The middle of the window looks along the camera's axis: at 45 degrees down it meets the
// ground as far ahead as the camera is high, ahead being (sin a, -cos a) for AngleY a.
TEST(MatchField, TheWindowsMiddleFindsTheTileAheadOfTheCamera) {
  const TFieldPlacement field = PlaceField(20, 20);
  const struct {
    TCamera Camera;
    TTilePos Tile;
  } cases[] = {
      {{110, 20, 150, 0}, {5, 10}},    // looking along -Z: ground at (110, 130)
      {{110, 20, 130, 90}, {10, 10}},  // turned to +X: (130, 130)
      {{150, 20, 130, 180}, {15, 15}}, // turned to +Z: (150, 150)
      {{150, 40, 90, 270}, {5, 0}},    // raised and turned to -X: (110, 90)
  };
  for (const auto& c : cases) {
    TTilePos tile;
    ASSERT_TRUE(Pick(c.Camera, 400, 300, field, tile)) << c.Camera.AngleY;
    EXPECT_EQ(tile, c.Tile) << c.Camera.AngleY;
  }
}

// Under a camera scrolled at the edges, turned and raised, every tile the camera shows is
// found again from the pixel its centre is drawn on.
TEST(MatchField, PickingFindsTheTileDrawnUnderThePointer) {
  const TFieldPlacement field = PlaceField(20, 20);
  TCamera scrolled = START_CAMERA;
  for (int i = 0; i < 400; ++i) {
    ScrollCamera(scrolled, 799, 300); // at the right edge: to the right
  }
  const TCamera cameras[] = {
      StartCamera(0, field), StartCamera(2, field), scrolled,
      {128, 20, 160, 0},     {140, 35, 100, 123},   {100, 60, 170, -30},
  };
  int found = 0;
  for (const TCamera& camera : cameras) {
    for (int32_t y = 0; y < field.Rows; y += 3) {
      for (int32_t x = 0; x < field.Columns; x += 3) {
        TVector window;
        if (!ProjectPoint(Projection(), View(camera), WINDOW, field.Centre(x, y), window) ||
            window.X < 0 || window.X >= 800 || window.Y < 0 || window.Y >= 600) {
          continue; // not on the screen
        }
        const int mx = static_cast<int>(window.X);
        const int my = 600 - 1 - static_cast<int>(window.Y);
        TTilePos tile;
        ASSERT_TRUE(Pick(camera, mx, my, field, tile));
        EXPECT_EQ(tile, (TTilePos{x, y})) << camera.X << "," << camera.Z << "," << camera.AngleY;
        ++found;
      }
    }
  }
  EXPECT_GT(found, 60); // the cameras together show much of the field
}

TEST(MatchField, APointerOffTheFieldOrNotOverTheGroundFindsNoTile) {
  const TFieldPlacement field = PlaceField(16, 16);
  TTilePos tile;
  EXPECT_FALSE(Pick({0, 20, 40, 45}, 400, 300, field, tile)) << "the ground beside the field";
  EXPECT_FALSE(Pick({128, -5, 128, 0}, 400, 300, field, tile)) << "a camera under the ground";
  EXPECT_FALSE(PickTile(Projection(), View({128, 20, 128, 0}), {0, 0, 0, 0}, 400, 300, field, tile))
      << "no window";
}

TEST(MatchField, TheCameraStartsOverTheSeatsOwnCorner) {
  for (const int32_t side : {16, 20}) {
    const TFieldPlacement field = PlaceField(side, side);
    for (int32_t seat = 0; seat < MaxSeats; ++seat) {
      const TCamera camera = StartCamera(seat, field);
      const TTilePos corner = SeatCorner(seat, side, side);
      // The middle of the window shows the middle of the seat's start tiles...
      TTilePos middle;
      ASSERT_TRUE(Pick(camera, 400, 300, field, middle));
      EXPECT_EQ(middle.X, corner.X == 0 ? 2 : side - 3) << seat;
      EXPECT_EQ(middle.Y, corner.Y == 0 ? 2 : side - 3) << seat;
      // ...the corner is on the screen, below the middle, and the field's middle beyond it.
      TVector near, far;
      ASSERT_TRUE(
          ProjectPoint(Projection(), View(camera), WINDOW, field.Centre(corner.X, corner.Y), near));
      ASSERT_TRUE(ProjectPoint(Projection(), View(camera), WINDOW,
                               field.At(side / 2.0f, side / 2.0f), far));
      EXPECT_GT(near.X, 0);
      EXPECT_LT(near.X, 800);
      EXPECT_GT(near.Y, 0);
      EXPECT_LT(near.Y, 300);
      EXPECT_GT(far.Y, 300);
      EXPECT_NEAR(far.X, 400, 1) << "the field's middle is straight ahead";
      EXPECT_EQ(camera.Y, START_HEIGHT);
    }
  }
}

// The pixel a tile's centre is drawn on, for clicking a unit from outside: picking under the
// screen's own matrices finds the tile again, and every seat's start tiles are on the screen
// under its start camera.
TEST(MatchField, TilePixelIsWherePickingFindsTheTile) {
  const TFieldPlacement field = PlaceField(20, 20);
  const TCamera turned{140, 35, 100, 123};
  EXPECT_EQ(CameraView(turned), View(turned));
  for (int32_t seat = -1; seat < MaxSeats; ++seat) {
    const TCamera camera = seat < 0 ? turned : StartCamera(seat, field);
    for (int32_t y = 0; y < field.Rows; ++y) {
      for (int32_t x = 0; x < field.Columns; ++x) {
        int mx = -1, my = -1;
        if (!TilePixel(camera, field, {x, y}, mx, my)) {
          const TTilePos corner = SeatCorner(seat, 20, 20);
          EXPECT_FALSE(seat >= 0 && std::abs(x - corner.X) < StartSide &&
                       std::abs(y - corner.Y) < StartSide)
              << "start tile " << x << "," << y << " of seat " << seat << " off the screen";
          continue;
        }
        TTilePos tile;
        ASSERT_TRUE(PickTile(ScreenProjection(), CameraView(camera), WINDOW, mx, my, field, tile));
        EXPECT_EQ(tile, (TTilePos{x, y})) << mx << "," << my << " seat " << seat;
      }
    }
  }
}

} // namespace
