#include "app/screens/game_status.h"
#include "gfx/runtime_animator.h"
#include "gui/button.h"
#include "screens_fixture.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace client_test;

namespace {

TEST(ScrollCameraTest, EdgesMoveAlongTheView) {
  const float s = 0.3f * std::sqrt(0.5f); // a step at 45 degrees, split over X and Z
  const struct {
    int MX, MY;
    float DX, DZ;
  } cases[] = {
      {0, 300, -s, -s},  {799, 300, s, s},     {400, 0, s, -s},  {400, 599, -s, s},
      {0, 0, 0, -2 * s}, {799, 599, 0, 2 * s}, {1, 300, 0, 0},   {798, 300, 0, 0},
      {400, 1, 0, 0},    {400, 598, 0, 0},     {400, 300, 0, 0}, {-1, 600, 0, 0},
  };
  for (const auto& c : cases) {
    TCamera camera = START_CAMERA;
    ScrollCamera(camera, c.MX, c.MY);
    EXPECT_NEAR(camera.X, 32 + c.DX, 1e-5) << c.MX << "," << c.MY;
    EXPECT_NEAR(camera.Z, 36 + c.DZ, 1e-5) << c.MX << "," << c.MY;
    EXPECT_EQ(camera.Y, 20);
    EXPECT_EQ(camera.AngleY, 45);
  }
}

TEST(ScrollCameraTest, TenFramesAtTheRightEdge) {
  TCamera camera = START_CAMERA;
  for (int i = 0; i < 10; ++i) {
    ScrollCamera(camera, 799, 300);
  }
  EXPECT_NEAR(camera.X - 32, 2.1213f, 1e-3);
  EXPECT_NEAR(camera.Z - 36, 2.1213f, 1e-3);
}

TEST(ScrollCameraTest, FollowsTheViewAngle) {
  TCamera camera = START_CAMERA;
  camera.AngleY = 90;
  ScrollCamera(camera, 799, 300);
  EXPECT_NEAR(camera.X, 32, 1e-5);
  EXPECT_NEAR(camera.Z, 36.3f, 1e-5);
  camera.AngleY = 0;
  ScrollCamera(camera, 400, 0);
  EXPECT_NEAR(camera.X, 32, 1e-5);
  EXPECT_NEAR(camera.Z, 36.0f, 1e-5);
}

TEST(CameraCaptionTest, GeneralFormat) {
  const struct {
    float X, Z;
    const char* Text;
  } cases[] = {
      {32, 36, "32 36"},
      {32.5f, -0.25f, "32.5 -0.25"},
      {1.0f / 3, 100, "0.333333343267441 100"},
      {0, -0.0f, "0 -0"},
      {1e20f, 1e-7f, "1.00000002004088e+20 1.0000000116861e-07"},
  };
  for (const auto& c : cases) {
    TCamera camera{c.X, 0, c.Z, 0};
    EXPECT_EQ(CameraCaption(camera), c.Text);
  }
}

TEST(NextAnimTimeTest, WrapsKeepingTheOvershoot) {
  float phase = 0;
  float previous = 0;
  int frames = 0;
  do {
    previous = phase;
    phase = NextAnimTime(phase);
    ++frames;
  } while (phase > previous);
  EXPECT_EQ(frames, 334);
  EXPECT_NEAR(phase, 0.002f, 1e-4);
  EXPECT_GT(phase, 0);
  EXPECT_FLOAT_EQ(NextAnimTime(0.5f), 0.503f);
  EXPECT_LT(NextAnimTime(0.999f), 0.01f);
}

// The game screen with its scene replaced by a counter, so it runs without OpenGL.
class TCountingGameStatus : public TGameStatus {
public:
  int Scenes = 0;

protected:
  void DrawScene() override { ++Scenes; }
};

class GameStatusTest : public TScreensTest {
protected:
  void SetUp() override {
    TScreensTest::SetUp();
    UseMedia("game.ui");
    for (const char* model : {"tree.model", "viking_weapon.model", "tank_ok.model"}) {
      WriteMedia(model, EMPTY_MODEL);
    }
  }
  void BuildGame() {
    BuildScreens();
    FGame = std::make_unique<TCountingGameStatus>();
    GameStatus = FGame.get();
    RecordFrames(*FGame, FFrames);
  }
  void TearDown() override {
    ActiveEvent = nullptr;
    FGame.reset();
    TScreensTest::TearDown();
  }
  void MoveMouse(int X, int Y) {
    SDL_MouseMotionEvent move{};
    move.x = static_cast<Uint16>(X);
    move.y = static_cast<Uint16>(Y);
    ActiveEvent->MouseMoveEvent(move);
  }
  std::unique_ptr<TCountingGameStatus> FGame;
};

TEST_F(GameStatusTest, StartsWithCameraLabelAndModels) {
  BuildGame();
  EXPECT_EQ(FGame->Camera.X, 32);
  EXPECT_EQ(FGame->Camera.Y, 20);
  EXPECT_EQ(FGame->Camera.Z, 36);
  EXPECT_EQ(FGame->Camera.AngleY, 45);
  EXPECT_EQ(FGame->AnimTime, 0);
  ASSERT_NE(FGame->Label1, nullptr);
  EXPECT_EQ(FGame->Label1->FCaption, "0,0");
  EXPECT_EQ(FGame->Label1->FLeft, 10);
  EXPECT_EQ(FGame->Label1->FTop, 580);
  EXPECT_EQ(FGame->Desktop->Get(FGame->Desktop->Count() - 1), FGame->Label1)
      << "the label is the desktop's last child";
  EXPECT_NE(FGame->Anim->FActualPose, nullptr) << "the animator is built on the figure";
  EXPECT_NE(FGame->Map, nullptr);
}

// A frame: scene first, then the 2D pass without background, the label showing X and Z.
TEST_F(GameStatusTest, FrameScrollsAndShowsCoordinates) {
  BuildGame();
  ChangeListener(GameStatus);
  MoveMouse(400, 300);
  FFrames.Calls.clear();
  Frame();
  EXPECT_EQ(FGame->Scenes, 1);
  EXPECT_EQ(FGame->Label1->FCaption, "32 36");
  EXPECT_EQ(FFrames.Calls,
            (std::vector<std::string>{"clear", "ortho", "desktop", "image pointer 400 300 64 64",
                                      "end", "present"}));
  MoveMouse(799, 300);
  for (int i = 0; i < 10; ++i) {
    Frame();
  }
  EXPECT_NEAR(FGame->Camera.X, 34.1213f, 1e-3);
  EXPECT_NEAR(FGame->Camera.Z, 38.1213f, 1e-3);
  EXPECT_EQ(FGame->Label1->FCaption, CameraCaption(FGame->Camera));
  EXPECT_NE(FGame->Label1->FCaption.find(' '), std::string::npos);
  EXPECT_EQ(FGame->Label1->FCaption.find(','), std::string::npos);
}

// Left turns, Up and Down change the height, Right only reaches the key state; Escape goes
// back to the lobby and the camera is where it was on return.
TEST_F(GameStatusTest, KeysMoveTheCameraAndEscapeLeaves) {
  BuildGame();
  ChangeListener(GameStatus);
  FGame->KeyDownEvent(Key(SDLK_LEFT));
  FGame->KeyDownEvent(Key(SDLK_LEFT));
  FGame->KeyDownEvent(Key(SDLK_UP));
  FGame->KeyDownEvent(Key(SDLK_UP));
  FGame->KeyDownEvent(Key(SDLK_DOWN));
  FGame->KeyDownEvent(Key(SDLK_RIGHT));
  EXPECT_EQ(FGame->Camera.AngleY, 47);
  EXPECT_EQ(FGame->Camera.Y, 21);
  EXPECT_EQ(FGame->Camera.X, 32);
  EXPECT_EQ(FGame->Camera.Z, 36);
  EXPECT_TRUE(FKeys.Right);
  EXPECT_TRUE(FKeys.Left);

  FLoop.FDone = false;
  FGame->KeyDownEvent(Key(SDLK_ESCAPE, 27));
  EXPECT_TRUE(FChat->Active);
  EXPECT_FALSE(FLoop.FDone) << "Escape on the game screen does not end the program";
  FCreation->OnGameStartButtonClick(nullptr);
  EXPECT_TRUE(FGame->Active);
  EXPECT_EQ(FGame->Camera.AngleY, 47);
  EXPECT_EQ(FGame->Camera.Y, 21);
}

// A held Escape leaves the game for the lobby; its repeats do not end the program there. The
// next press on the lobby does.
TEST_F(GameStatusTest, HeldEscapeOnlyLeavesTheGame) {
  BuildGame();
  ChangeListener(GameStatus);
  FLoop.FDone = false;
  ActiveEvent->KeyDownEvent(Key(SDLK_ESCAPE, 27));
  for (int repeat = 0; repeat < 3; ++repeat) {
    ActiveEvent->KeyDownEvent(Key(SDLK_ESCAPE, 27));
  }
  EXPECT_TRUE(FChat->Active);
  EXPECT_FALSE(FLoop.FDone);
  SDL_KeyboardEvent release = Key(SDLK_ESCAPE, 27);
  release.type = SDL_KEYUP;
  ActiveEvent->KeyUpEvent(release);
  ActiveEvent->KeyDownEvent(Key(SDLK_ESCAPE, 27));
  EXPECT_TRUE(FLoop.FDone);
}

TEST_F(GameStatusTest, ExitButtonGoesToTheLobby) {
  BuildGame();
  ChangeListener(GameStatus);
  auto* exit = FGame->Desktop->Find<TUIButton>("ExitButton");
  ASSERT_NE(exit, nullptr);
  exit->FOnClick(exit);
  EXPECT_TRUE(FChat->Active);
}

TEST_F(GameStatusTest, MissingOrBrokenModelNamesTheFile) {
  for (const char* model : {"tree.model", "viking_weapon.model", "tank_ok.model"}) {
    for (bool missing : {true, false}) {
      if (missing) {
        RemoveMedia(model);
      } else {
        WriteMedia(model, "<MODEL><NAME>x</NAME><NODE><NAME>r</NAME></NODE></MODEL>");
      }
      try {
        TGameStatus game;
        ADD_FAILURE() << model << " accepted";
      } catch (const std::exception& E) {
        EXPECT_NE(std::string(E.what()).find(std::string("media/") + model), std::string::npos)
            << E.what();
      }
      WriteMedia(model, EMPTY_MODEL);
    }
  }
}

} // namespace
