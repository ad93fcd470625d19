// The match view drawn in a window and read back: seat colours, health bars, lit tiles and
// marked targets, and picking through the matrices OpenGL drew with. Runs under a virtual
// display.
#include "app/match_view.h"

#include "app/lighting.h"
#include "app/prog.h"
#include "gfx/media_manager.h"

#include "../support/gl_capture.h"
#include "../support/gl_window.h"
#include "game_camera.h"

#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

const std::string MEDIA = std::string(SOURCE_DIR) + "/media/";

class MatchViewTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(Window.Open());
    Man = std::make_unique<TFileMediaManager>(MEDIA);
    TProg prog; // the client's OpenGL state: blending, culling, the light
    prog.InitGL();
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    View = std::make_unique<TMatchView>(Man.get(), MEDIA);
    View->Clock = [this] { return Now; };
  }

  // A 16 x 16 field with four seats and the given units (id, seat, kind, x, y, health).
  struct TUnitSpec {
    int32_t Seat;
    TUnitKind Kind;
    int32_t X, Y, Health;
  };
  void Start(std::initializer_list<TUnitSpec> Units, int32_t Seat = 0) {
    Game = StartMirror("test", 16, 16, 4);
    int32_t id = 0;
    for (const TUnitSpec& u : Units) {
      ASSERT_TRUE(MirrorUnit(*Game, ++id, u.Seat, u.Kind, u.X, u.Y, u.Health, false, false));
    }
    View->Reset(*Game, Seat);
    View->Update(*Game);
  }

  // One frame as the game screen draws it, under Camera.
  void Draw(const TCamera& Camera) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45, 800.0 / 600.0, 2, game_camera::FAR_PLANE);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glRotatef(45, 1, 0, 0);
    glRotatef(Camera.AngleY, 0, 1, 0);
    glTranslatef(-Camera.X, -Camera.Y, -Camera.Z);
    glLightfv(GL_LIGHT1, GL_POSITION, LightPosition);
    glEnable(GL_LIGHTING);
    View->Update(*Game);
    View->Draw(*Game);
  }

  // The camera looking down the rows at tile (X, Y) from 20 high.
  TCamera Over(int32_t X, int32_t Y) const {
    const TVector c = View->Field().Centre(X, Y);
    return {c.X, 20, c.Z + 20, 0};
  }

  // The pixel (top-left origin) where world point P was drawn under Camera.
  bool PixelOf(const TCamera& Camera, const TVector& P, int& MX, int& MY) const {
    TVector w;
    if (!ProjectPoint(game_camera::Projection(), game_camera::View(Camera), game_camera::WINDOW, P,
                      w)) {
      return false;
    }
    MX = static_cast<int>(w.X);
    MY = 600 - 1 - static_cast<int>(w.Y);
    return true;
  }

  TTestGLWindow Window;
  std::unique_ptr<TFileMediaManager> Man;
  std::unique_ptr<TMatchView> View;
  std::unique_ptr<TGame> Game;
  double Now = 0;
};

bool Close(const TPixel& P, const TRGB& C, int Tolerance = 3) {
  return std::abs(P.R - static_cast<int>(std::lround(C.R * 255))) <= Tolerance &&
         std::abs(P.G - static_cast<int>(std::lround(C.G * 255))) <= Tolerance &&
         std::abs(P.B - static_cast<int>(std::lround(C.B * 255))) <= Tolerance;
}

// The seat whose colour points the way P's does (lighting scales a colour, keeps its hue).
int32_t NearestSeatHue(const TPixel& P) {
  auto unit = [](float R, float G, float B) {
    const float length = std::sqrt(R * R + G * G + B * B);
    return TVector{R / length, G / length, B / length};
  };
  const TVector p = unit(P.R, P.G, P.B);
  int32_t best = -1;
  float nearest = 1e9f;
  for (int32_t seat = 0; seat < MaxSeats; ++seat) {
    const TRGB c = SeatColour(seat);
    const float d = Distance(p, unit(c.R, c.G, c.B));
    if (d < nearest) {
      nearest = d;
      best = seat;
    }
  }
  return best;
}

TEST_F(MatchViewTest, AUnitIsDrawnInItsSeatsColour) {
  for (int32_t seat = 0; seat < MaxSeats; ++seat) {
    Start({{seat, TUnitKind::Viking, 8, 8, 10}});
    const TCamera camera = Over(8, 8);
    Draw(camera);
    const TVector at = View->Field().Centre(8, 8);
    int mx = 0, my = 0;
    // Its base, on the near side, in the seat's colour exactly...
    ASSERT_TRUE(PixelOf(camera, {at.X, 0.05f, at.Z + 1.3f}, mx, my));
    const TPixel base = ReadPixel(mx, my);
    EXPECT_TRUE(Close(base, SeatColour(seat)))
        << seat << ": " << int(base.R) << "," << int(base.G) << "," << int(base.B);
    // ...and its tunic, lit, in the seat's hue.
    ASSERT_TRUE(PixelOf(camera, {at.X, 1.45f, at.Z}, mx, my));
    const TPixel tunic = ReadPixel(mx, my);
    EXPECT_EQ(NearestSeatHue(tunic), seat)
        << int(tunic.R) << "," << int(tunic.G) << "," << int(tunic.B);
  }
}

TEST_F(MatchViewTest, AHealthBarShrinksWithHealth) {
  int widths[3] = {};
  const int32_t healths[3] = {10, 5, 2};
  for (int i = 0; i < 3; ++i) {
    Start({{0, TUnitKind::Viking, 8, 8, healths[i]}});
    const TCamera camera = Over(8, 8);
    Draw(camera);
    // The bar hangs over the unit: the widest run of its fill colour in the rows above.
    const TRGB fill = HealthBarColour(healths[i] / 10.0f);
    const TVector at = View->Field().Centre(8, 8);
    int mx = 0, my = 0;
    ASSERT_TRUE(PixelOf(camera, {at.X, 3.0f, at.Z}, mx, my));
    for (int y = my - 30; y <= my; ++y) {
      int run = 0;
      for (int x = mx - 40; x <= mx + 40; ++x) {
        run += Close(ReadPixel(x, y), fill) ? 1 : 0;
      }
      widths[i] = std::max(widths[i], run);
    }
  }
  ASSERT_GE(widths[0], 20) << "a full bar";
  EXPECT_NEAR(widths[1], widths[0] / 2.0, 1.0);
  EXPECT_NEAR(widths[2], widths[0] / 5.0, 1.0);
}

TEST_F(MatchViewTest, TheSelectedUnitsTilesAreLitAndItsTargetsMarked) {
  // Seat 0's viking at (8,8), seat 1's viking next to it at (9,8).
  Start({{0, TUnitKind::Viking, 8, 8, 10}, {1, TUnitKind::Viking, 9, 8, 10}});
  const TCamera camera = Over(8, 8);
  const TVector lit = View->Field().Centre(7, 8); // empty, one step away
  const TVector target = View->Field().Centre(9, 8);
  int litX = 0, litY = 0, ringX = 0, ringY = 0;
  ASSERT_TRUE(PixelOf(camera, {lit.X, 0, lit.Z + 1}, litX, litY));
  ASSERT_TRUE(PixelOf(camera, {target.X, 0.06f, target.Z + 1.8f}, ringX, ringY));
  Draw(camera);
  const TPixel plainTile = ReadPixel(litX, litY);
  const TPixel plainRing = ReadPixel(ringX, ringY);
  // A click on the unit, through the camera the frame was drawn with, selects it.
  int mx = 0, my = 0;
  ASSERT_TRUE(PixelOf(camera, View->Field().Centre(8, 8), mx, my));
  View->Click(*Game, mx, my);
  ASSERT_EQ(View->Selection.Selected(), 1);
  Draw(camera);
  const TPixel litTile = ReadPixel(litX, litY);
  EXPECT_GT(litTile.B, plainTile.B + 40) << "lit in pale blue";
  const TPixel ring = ReadPixel(ringX, ringY);
  EXPECT_GT(ring.R, 200);
  EXPECT_LT(ring.G, 60);
  EXPECT_NE(ring, plainRing);
}

TEST_F(MatchViewTest, PickingGoesThroughTheMatricesTheFrameWasDrawnWith) {
  Start({});
  const TCamera cameras[] = {{100, 25, 150, 30}, {140, 40, 90, 200}, StartCamera(3, View->Field())};
  for (const TCamera& camera : cameras) {
    Draw(camera);
    // The test's camera is OpenGL's.
    TMatrix4 projection, modelview;
    glGetFloatv(GL_PROJECTION_MATRIX, projection.data());
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview.data());
    const TMatrix4 view = game_camera::View(camera);
    const TMatrix4 perspective = game_camera::Projection();
    for (std::size_t i = 0; i < 16; ++i) {
      EXPECT_NEAR(modelview[i], view[i], 1e-3) << i;
      EXPECT_NEAR(projection[i], perspective[i], 1e-5) << i;
    }
    int shown = 0;
    for (int32_t y = 0; y < 16; y += 3) {
      for (int32_t x = 0; x < 16; x += 3) {
        int mx = 0, my = 0;
        if (!PixelOf(camera, View->Field().Centre(x, y), mx, my) || mx < 0 || mx >= 800 || my < 0 ||
            my >= 600) {
          continue;
        }
        TTilePos tile;
        ASSERT_TRUE(View->TileAt(mx, my, tile));
        EXPECT_EQ(tile, (TTilePos{x, y}));
        ++shown;
      }
    }
    EXPECT_GT(shown, 0);
  }
}

} // namespace
